#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zr7 {

// The pattern "0" (decimals 0) or "0.0" (decimals 1): fixed decimals, halves
// rounded away from zero on the value's 15-digit decimal form, so 0.15 gives
// "0.2" as an examiner would expect. The separator is the user's locale's.
std::string FormatFixed(double value, int decimals, std::string_view decimalSeparator);

// Shortest general form with at most `significantDigits` digits and no
// trailing zeros: -0.5 -> "-0.5", 123.45 -> "123.5" (4 digits), 0 -> "0".
std::string FormatGeneral(double value, int significantDigits, std::string_view decimalSeparator);

// Round to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// The integer conversion of the original runtime: leading blanks, an optional
// sign, decimal digits or hexadecimal after "$", "x", "X", "0x" or "0X".
// Anything else (a trailing blank too) or an out-of-range value: no value.
std::optional<std::int32_t> ParseRuntimeInteger(std::string_view text);

} // namespace zr7
