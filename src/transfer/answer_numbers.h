#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zr7 {

using TAnswerNumbers = std::array<std::int32_t, 3>;

// The three numbers of an answer line "n1 n2 n3": the first two end at a
// single space each, the third runs to the end of the line. Each may have
// leading blanks and a sign. An empty or non-numeric part, or a line with
// fewer than two spaces, is a malformed line: no value.
std::optional<TAnswerNumbers> ParseAnswerNumbers(std::string_view text);

} // namespace zr7
