#pragma once

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// Shared by the fuzz targets: a broken invariant aborts, so libFuzzer keeps
// the input that showed it.
#define ZR7_FUZZ_CHECK(condition, detail)                                                        \
  do {                                                                                           \
    if (!(condition)) {                                                                          \
      std::fprintf(stderr, "%s:%d: invariant broken: %s (%s)\n", __FILE__, __LINE__, #condition, \
                   std::string(detail).c_str());                                                 \
      std::abort();                                                                              \
    }                                                                                            \
  } while (false)

namespace zr7::fuzz {

// A number as the program writes it for people: an optional '-', digits,
// the given decimal separator and digits, and an optional "E+nn"/"E-nn".
// No value for anything else, so a malformed text is caught as well. Read
// in the wider long double, so a value rounded past the largest double
// still reads back.
inline std::optional<long double> ReadBackNumber(std::string_view text, std::string_view separator) {
  std::string plain;
  std::size_t pos = 0;
  if (pos < text.size() && text[pos] == '-') plain += text[pos++];
  const auto digits = [&] {
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') plain += text[pos++];
    return pos > start;
  };
  if (!digits()) return std::nullopt;
  if (text.substr(pos, separator.size()) == separator && !separator.empty()) {
    pos += separator.size();
    plain += '.';
    if (!digits()) return std::nullopt;
  }
  if (pos < text.size() && text[pos] == 'E') {
    plain += text[pos++];
    if (pos >= text.size() || (text[pos] != '+' && text[pos] != '-')) return std::nullopt;
    plain += text[pos++];
    if (!digits()) return std::nullopt;
  }
  if (pos != text.size()) return std::nullopt;
  long double value = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc{} || end != plain.data() + plain.size()) return std::nullopt;
  return value;
}

} // namespace zr7::fuzz
