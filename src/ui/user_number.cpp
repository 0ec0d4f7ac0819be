#include "user_number.h"

#include "text/number_format.h"

#include <QLocale>

namespace zr7 {

std::string UserDecimalSeparator() { return QLocale::system().decimalPoint().toStdString(); }

QString FormatUserNumber(double value, int decimals) {
  return QString::fromStdString(FormatFixed(value, decimals, UserDecimalSeparator()));
}

} // namespace zr7
