#pragma once

#include <QString>

#include <string_view>

namespace zr7 {

// A UTF-8 text of the cores (a table entry, a message) as Qt shows it.
inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace zr7
