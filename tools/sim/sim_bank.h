#pragma once

#include <array>
#include <cstdint>

namespace zr7::sim {

using TSimLine = std::array<std::int32_t, 3>;

constexpr int kBanks = 12;
constexpr int kHeaderLinesPerBank = 3;
constexpr int kSampleLinesPerBank = 528;

// One memory bank as the instrument answers it: the header block's three
// lines and the 528 lines of its twelve sample blocks.
struct TSimBank {
  std::array<TSimLine, kHeaderLinesPerBank> header{};
  std::array<TSimLine, kSampleLinesPerBank> samples{};

  bool operator==(const TSimBank&) const = default;
};

using TSimBanks = std::array<TSimBank, kBanks>;

// A brake test in the instrument's own terms, before it is packed into a
// bank's lines.
struct TSimTest {
  std::uint8_t day = 1, month = 1, year = 0; // year less 2000
  std::uint8_t hour = 0, minute = 0, second = 0;
  int count = 100;            // samples taken, 100 to 500
  int angleMilliradians = 0;  // start angle
  int accelerationCenti = 0;  // initial acceleration, hundredths of m/s2
  std::uint8_t brakeKind = 1; // 1 service, 2 emergency, 3 auxiliary
  std::uint8_t deviationDecimetres = 0;
  // Sample lines: X (negative while braking), Z, pedal force in daN times
  // 256 plus status bits in the low byte.
  std::array<TSimLine, kSampleLinesPerBank> samples{};
};

// The header lines: each line carries two bytes per number, high byte first.
TSimBank EncodeBank(const TSimTest& test);

// The deterministic test held in bank 1 to 12 when no bank file is given:
// brake kinds 1 to 3 in turn and an unknown kind in bank 11, counts from
// 100 to 500, a stop from 35 to 85 km/h at 4.8 to 7.8 m/s2 (a slow stop on
// the parking brake from 40 km/h at 2.2 m/s2 in bank 12) between stretches
// at rest, the pedal force leading the deceleration, and the Z axis near
// gravity.
TSimTest GeneratedTest(int bank);
TSimBanks GeneratedBanks();

// A bank that holds no test: erased memory, every line "-1 -1 -1" (each
// number's 16 bits all set), so its header has neither a date nor a count
// that a test could have.
TSimBank ErasedBank();

} // namespace zr7::sim
