#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zr7 {

// A counted text as the record and its files keep it: a length byte and room
// for 255 Windows-1250 characters. Bytes after the text are left as they are,
// because a measurement file carries them through unchanged.
struct TShortString {
  static constexpr std::size_t kCapacity = 255;

  std::array<std::uint8_t, kCapacity + 1> bytes{};

  // Stores a Windows-1250 text, cut to its first 255 characters.
  void Assign(std::string_view cp1250);
  // The Windows-1250 text.
  std::string Text() const;
  std::size_t Length() const { return bytes[0]; }

  // The same, converted from and to UTF-8 for the window.
  void AssignUtf8(std::string_view utf8);
  std::string Utf8() const;

  bool operator==(const TShortString&) const = default;
};

} // namespace zr7
