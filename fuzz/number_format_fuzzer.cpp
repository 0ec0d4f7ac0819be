// The number formats of every value the window, the report and zr7-cli show:
// what they write must read back as the value, within the rounding asked for,
// whatever the process's C locale.
#include "fuzz_check.h"
#include "text/number_format.h"

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

using zr7::fuzz::ReadBackNumber;

// Qt sets the process locale from the environment; a Polish desktop has a
// comma there, which no digit may depend on.
constexpr const char* kCommaLocale = "pl_PL.UTF-8";

// The separators a user's regional settings give: a comma, a point, and a
// two-byte one (Arabic).
constexpr std::string_view kSeparators[] = {",", ".", "\xD9\xAB"};

std::string Describe(double value, std::string_view text) {
  char bits[32];
  std::snprintf(bits, sizeof bits, "%016llx", static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(value)));
  return "value bits " + std::string(bits) + " gave \"" + std::string(text) + "\"";
}

// The digits of a general form's mantissa, without sign, separator, exponent
// and leading zeros.
int SignificantDigits(std::string_view text, std::string_view separator) {
  int count = 0;
  bool leading = true;
  for (std::size_t i = 0; i < text.size() && text[i] != 'E'; ++i) {
    if (text.substr(i, separator.size()) == separator) {
      i += separator.size() - 1;
      continue;
    }
    if (text[i] < '0' || text[i] > '9') continue;
    if (leading && text[i] == '0') continue;
    leading = false;
    ++count;
  }
  return count;
}

void CheckFixed(double value, int decimals, std::string_view separator) {
  const std::string text = zr7::FormatFixed(value, decimals, separator);
  const std::string negated = zr7::FormatFixed(-value, decimals, separator);
  if (!std::isfinite(value)) {
    ZR7_FUZZ_CHECK(!text.empty() && !ReadBackNumber(text, separator), Describe(value, text));
    return;
  }
  const auto read = ReadBackNumber(text, separator);
  ZR7_FUZZ_CHECK(read.has_value(), Describe(value, text));
  ZR7_FUZZ_CHECK(text.find('E') == std::string::npos, Describe(value, text));
  const std::size_t point = text.find(separator);
  ZR7_FUZZ_CHECK(
      decimals == 0 ? point == std::string::npos : text.size() - point - separator.size() == std::size_t(decimals),
      Describe(value, text));
  const std::size_t firstDigit = text[0] == '-' ? 1 : 0;
  ZR7_FUZZ_CHECK(text[firstDigit] != '0' || text.size() == firstDigit + 1 ||
                     text.compare(firstDigit + 1, separator.size(), separator) == 0,
                 Describe(value, text));
  // No "-0" or "-0,0": a minus only on a number that is not zero.
  ZR7_FUZZ_CHECK(text[0] != '-' || *read != 0, Describe(value, text));
  // Halves go away from zero, so the two signs mirror each other.
  ZR7_FUZZ_CHECK(*read == 0 ? negated == text : (text[0] == '-' ? "-" + negated == text : "-" + text == negated),
                 Describe(value, text) + " and \"" + negated + "\" for the negation");
  const long double v = value;
  const long double tolerance = 0.5L * std::pow(10.0L, -decimals) * (1 + 1e-12L) + std::fabs(v) * 1e-14L;
  ZR7_FUZZ_CHECK(std::fabs(*read - v) <= tolerance, Describe(value, text));
}

void CheckGeneral(double value, int significantDigits, std::string_view separator) {
  const std::string text = zr7::FormatGeneral(value, significantDigits, separator);
  if (!std::isfinite(value)) {
    ZR7_FUZZ_CHECK(!text.empty() && !ReadBackNumber(text, separator), Describe(value, text));
    return;
  }
  const auto read = ReadBackNumber(text, separator);
  ZR7_FUZZ_CHECK(read.has_value(), Describe(value, text));
  ZR7_FUZZ_CHECK(SignificantDigits(text, separator) <= significantDigits, Describe(value, text));
  const std::size_t exponent = std::min(text.find('E'), text.size());
  if (text.find(separator) < exponent) ZR7_FUZZ_CHECK(text[exponent - 1] != '0', Describe(value, text));
  ZR7_FUZZ_CHECK(value != 0 || text == "0", Describe(value, text));
  ZR7_FUZZ_CHECK(text[0] != '-' || *read != 0, Describe(value, text));
  const long double v = value;
  const long double tolerance = std::fabs(v) * (0.5L * std::pow(10.0L, 1 - significantDigits) * (1 + 1e-12L) + 1e-14L);
  ZR7_FUZZ_CHECK(std::fabs(*read - v) <= tolerance, Describe(value, text));
}

void CheckRoundHalfEven(double value) {
  const double rounded = zr7::RoundHalfEven(value);
  if (!std::isfinite(value)) {
    ZR7_FUZZ_CHECK(std::isnan(value) ? std::isnan(rounded) : rounded == value, Describe(value, "round"));
    return;
  }
  const double distance = std::fabs(rounded - value);
  ZR7_FUZZ_CHECK(std::trunc(rounded) == rounded && distance <= 0.5, Describe(value, "round"));
  ZR7_FUZZ_CHECK(distance < 0.5 || std::fmod(rounded, 2) == 0, Describe(value, "round"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (std::setlocale(LC_ALL, kCommaLocale) == nullptr) {
    std::fprintf(stderr, "the locale %s is not installed (scripts/install-deps.sh generates it)\n", kCommaLocale);
    std::exit(1);
  }
  return 0;
}

// Input: the value's 8 bytes (little-endian bits), then one byte choosing
// decimals (bit 0), separator (bits 1-2) and significant digits (bits 3-7).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 9) return -1;
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | data[i];
  const double value = std::bit_cast<double>(bits);
  const std::uint8_t choice = data[8];
  const int decimals = choice & 1;
  const std::string_view separator = kSeparators[(choice >> 1 & 3) % std::size(kSeparators)];
  const int significantDigits = 1 + (choice >> 3) % 15;

  CheckFixed(value, decimals, separator);
  CheckGeneral(value, significantDigits, separator);
  CheckRoundHalfEven(value);
  return 0;
}
