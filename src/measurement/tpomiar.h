#pragma once

#include "text/short_string.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zr7 {

// One sample of a brake test, taken at i / 40 s.
struct TProbka {
  std::uint16_t rez1 = 0;
  std::int16_t surX = 0; // raw X acceleration, 2048 counts = 3 g
  std::int16_t surZ = 0; // raw Z acceleration, same scale
  std::int16_t F = 0;    // pedal force [daN]
  double a = 0;          // deceleration [m/s2]
  double ax = 0;         // X acceleration [m/s2]
  double az = 0;         // Z acceleration [m/s2]
  double rez2 = 0;
  std::int32_t n = 0; // sample count of the measurement

  bool operator==(const TProbka&) const = default;
};

// The 500 samples, numbered 1 to 500 as the instrument numbers them.
class TProbki {
public:
  static constexpr int kCount = 500;

  TProbka& operator[](int i) { return samples_.at(static_cast<std::size_t>(i - 1)); }
  const TProbka& operator[](int i) const { return samples_.at(static_cast<std::size_t>(i - 1)); }

  bool operator==(const TProbki&) const = default;

private:
  std::array<TProbka, kCount> samples_{};
};

// The measurement record: samples, the texts shown for the test and the
// station and vehicle data of the report.
struct TPomiar {
  TProbki Probki;
  TShortString Godzina;
  TShortString Data;
  TShortString Hamulec;
  TShortString Uwaga;
  TShortString Odchylenie;
  TShortString SKP;
  TShortString Adres;
  std::int32_t RodzajPojazdu = 0;
  TShortString Marka;
  TShortString Model;
  TShortString PierwszaRej;
  TShortString Rej;
  TShortString Przebieg;
  TShortString Uwagi;
  TShortString Diagnosta;

  bool operator==(const TPomiar&) const = default;
};

// The byte image of a record, as a measurement file holds it: little-endian,
// 48-byte sample slots, 256-byte counted texts, fillers written as zero.
constexpr std::size_t kSampleSlotSize = 48;
constexpr std::size_t kPomiarImageSize = 27592;
using TPomiarImage = std::array<std::uint8_t, kPomiarImageSize>;

TPomiarImage ToImage(const TPomiar& pomiar);
TPomiar FromImage(std::span<const std::uint8_t, kPomiarImageSize> image);

} // namespace zr7
