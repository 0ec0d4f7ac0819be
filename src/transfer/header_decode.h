#pragma once

#include "bank_contents.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zr7 {

// The texts a decoded header puts on the tool panel and the status bar,
// UTF-8.
struct THeaderCaptions {
  std::string statusCount; // first status panel: " Ilosc próbek = 240"
  std::string Ldata;       // "7/3/2006"
  std::string Lgodzina;    // "9:5:7"
  std::string Lbeta;       // start angle in whole degrees less 45
  std::string La_zero;     // initial acceleration
  std::string lHamulec;    // brake kind, for kind 1 with the deviation

  bool operator==(const THeaderCaptions&) const = default;
};

constexpr int kMaxSampleCount = 500;

// Decodes the raw header in contents.Naglowek into IloscProbek (capped at 500),
// KatPocz, APocz and the brake texts, and returns the captions. Numbers with
// a fraction use the given decimal separator.
THeaderCaptions DecodeHeader(TBankContents& contents, std::string_view decimalSeparator);

// "day/month/year" from the header's date bytes. The year is 2000 plus its
// byte, so byte 6 gives "2006" and byte 24 gives "2024".
std::string DateCaption(std::uint8_t day, std::uint8_t month, std::uint8_t year);

} // namespace zr7
