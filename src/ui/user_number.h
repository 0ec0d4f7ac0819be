#pragma once

#include <QString>

#include <string>

namespace zr7 {

// The decimal separator of the user's regional settings; the program never
// imposes its own.
std::string UserDecimalSeparator();

// A number in the pattern "0.0" (decimals 1) or "0", with that separator.
QString FormatUserNumber(double value, int decimals);

} // namespace zr7
