#include "short_string.h"

#include "cp1250.h"

#include <algorithm>

namespace zr7 {

void TShortString::Assign(std::string_view cp1250) {
  const std::size_t length = std::min(cp1250.size(), kCapacity);
  bytes[0] = static_cast<std::uint8_t>(length);
  std::copy_n(cp1250.begin(), length, bytes.begin() + 1);
}

std::string TShortString::Text() const {
  return std::string(reinterpret_cast<const char*>(bytes.data()) + 1, bytes[0]);
}

void TShortString::AssignUtf8(std::string_view utf8) { Assign(Utf8ToCp1250(utf8)); }

std::string TShortString::Utf8() const { return Cp1250ToUtf8(Text()); }

} // namespace zr7
