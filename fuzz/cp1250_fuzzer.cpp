// Windows-1250 texts from files and the UTF-8 the window works in.
#include "fuzz_check.h"
#include "text/cp1250.h"
#include "text/short_string.h"

#include <cstdint>
#include <string>

namespace {

using zr7::Cp1250ToUtf8;
using zr7::Utf8ToCp1250;

std::string Hex(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<std::uint8_t>(c);
    (out += digits[byte >> 4]) += digits[byte & 15];
  }
  return out;
}

// The number of characters in well-formed UTF-8 (shortest forms, no
// surrogates, at most U+10FFFF), or no value for anything else.
std::optional<std::size_t> WellFormedLength(std::string_view text) {
  std::size_t characters = 0;
  for (std::size_t pos = 0; pos < text.size(); ++characters) {
    const auto lead = static_cast<std::uint8_t>(text[pos]);
    const int extra = lead < 0x80                    ? 0
                      : lead >= 0xC2 && lead <= 0xDF ? 1
                      : lead >= 0xE0 && lead <= 0xEF ? 2
                      : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                     : -1;
    if (extra < 0 || pos + static_cast<std::size_t>(extra) >= text.size()) return std::nullopt;
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
      const auto next = static_cast<std::uint8_t>(text[pos + i]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      cp = cp << 6 | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (cp < smallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    pos += static_cast<std::size_t>(extra) + 1;
  }
  return characters;
}

// The ASCII characters other than '?' in order: conversion keeps each of
// them and makes no new one out of a longer sequence.
std::string PlainAscii(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (static_cast<std::uint8_t>(c) < 0x80 && c != '?') out += c;
  }
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // As Windows-1250 bytes: every byte becomes one character and comes back.
  const std::string utf8 = Cp1250ToUtf8(input);
  ZR7_FUZZ_CHECK(WellFormedLength(utf8) == size, Hex(input));
  ZR7_FUZZ_CHECK(Utf8ToCp1250(utf8) == input, Hex(input));

  // As UTF-8 from the window: one byte per character, '?' for what the code
  // page lacks and for malformed bytes.
  const std::string cp1250 = Utf8ToCp1250(input);
  ZR7_FUZZ_CHECK(cp1250.size() <= size, Hex(input));
  ZR7_FUZZ_CHECK(PlainAscii(cp1250) == PlainAscii(input), Hex(input) + " gave " + Hex(cp1250));
  if (const auto characters = WellFormedLength(input)) ZR7_FUZZ_CHECK(cp1250.size() == *characters, Hex(input));
  ZR7_FUZZ_CHECK(Utf8ToCp1250(Cp1250ToUtf8(cp1250)) == cp1250, Hex(input));

  // A record's text keeps the first 255 characters.
  zr7::TShortString text;
  text.AssignUtf8(input);
  ZR7_FUZZ_CHECK(text.Text() == cp1250.substr(0, zr7::TShortString::kCapacity), Hex(input));
  ZR7_FUZZ_CHECK(text.Utf8() == Cp1250ToUtf8(text.Text()), Hex(input));
  return 0;
}
