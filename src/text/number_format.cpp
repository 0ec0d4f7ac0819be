#include "number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace zr7 {
namespace {

constexpr int kDecimalDigits = 15;

// A finite value as sign, 15 significant digits and the decimal exponent of
// the first digit: value = 0.d1d2..d15 * 10^(exponent + 1).
struct DecimalForm {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// std::to_chars, unlike the printf family, ignores the process's C locale,
// which Qt sets from the user's environment (a comma under pl_PL).
DecimalForm ToDecimal(double value) {
  char buffer[40];
  const char* const end =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, kDecimalDigits - 1)
          .ptr;
  const char* const e = std::find(static_cast<const char*>(buffer), end, 'e');
  DecimalForm form;
  form.negative = std::signbit(value);
  for (const char* p = buffer; p != e; ++p) {
    if (*p != '.') form.digits += *p;
  }
  std::from_chars(e + 1 + (e[1] == '+'), end, form.exponent);
  return form;
}

// The original runtime's texts for values without digits.
std::optional<std::string> NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  return std::nullopt;
}

// Keeps the first `keep` digits, rounding half away from zero; a carry out of
// the first digit raises the exponent.
void RoundDigits(DecimalForm& form, int keep) {
  if (keep >= static_cast<int>(form.digits.size())) return;
  if (keep < 0) {
    form.digits = "0";
    return;
  }
  const bool up = form.digits[keep] >= '5';
  form.digits.resize(keep);
  if (!up) return;
  int i = keep - 1;
  while (i >= 0 && form.digits[i] == '9') form.digits[i--] = '0';
  if (i >= 0) {
    ++form.digits[i];
  } else {
    form.digits.insert(form.digits.begin(), '1');
    ++form.exponent;
  }
}

bool AllZero(const std::string& digits) { return digits.find_first_not_of('0') == std::string::npos; }

// Digit at decimal position `power` (0 = units, -1 = tenths) of the form.
char DigitAt(const DecimalForm& form, int power) {
  const int index = form.exponent - power;
  if (index < 0 || index >= static_cast<int>(form.digits.size())) return '0';
  return form.digits[index];
}

} // namespace

std::string FormatFixed(double value, int decimals, std::string_view decimalSeparator) {
  if (auto text = NonFiniteText(value)) return *text;
  DecimalForm form = ToDecimal(value);
  RoundDigits(form, form.exponent + 1 + decimals);
  std::string out;
  if (form.negative && !AllZero(form.digits)) out += '-';
  for (int power = std::max(form.exponent, 0); power >= 0; --power) out += DigitAt(form, power);
  if (decimals > 0) {
    out += decimalSeparator;
    for (int power = -1; power >= -decimals; --power) out += DigitAt(form, power);
  }
  return out;
}

std::string FormatGeneral(double value, int significantDigits, std::string_view decimalSeparator) {
  if (value == 0) return "0";
  if (auto text = NonFiniteText(value)) return *text;
  DecimalForm form = ToDecimal(value);
  RoundDigits(form, significantDigits);
  while (form.digits.size() > 1 && form.digits.back() == '0') form.digits.pop_back();
  std::string out = form.negative ? "-" : "";
  const int digitCount = static_cast<int>(form.digits.size());
  if (form.exponent >= significantDigits || form.exponent < -5) {
    out += form.digits[0];
    if (digitCount > 1) (out += decimalSeparator) += form.digits.substr(1);
    out += (form.exponent < 0 ? "E-" : "E+") + std::to_string(std::abs(form.exponent));
    return out;
  }
  for (int power = std::max(form.exponent, 0); power >= 0; --power) out += DigitAt(form, power);
  const int lastPower = form.exponent - (digitCount - 1);
  if (lastPower < 0) {
    out += decimalSeparator;
    for (int power = -1; power >= lastPower; --power) out += DigitAt(form, power);
  }
  return out;
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

std::optional<std::int32_t> ParseRuntimeInteger(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  int base = 10;
  if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
    base = 16;
    ++pos;
  } else if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    base = 16;
    pos += 2;
  }
  if (pos >= text.size()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > std::int64_t{1} << 32) return std::nullopt;
  }
  const std::int64_t result = negative ? -magnitude : magnitude;
  if (result < INT32_MIN || result > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(result);
}

} // namespace zr7
