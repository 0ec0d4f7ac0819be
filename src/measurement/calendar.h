#pragma once

#include <array>
#include <cstddef>

namespace zr7 {

constexpr bool LeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days of a month 1 to 12 of a year of the Gregorian calendar.
constexpr int DaysInMonth(int year, int month) {
  constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && LeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

} // namespace zr7
