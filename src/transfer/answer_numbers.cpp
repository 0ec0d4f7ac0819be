#include "answer_numbers.h"

#include "text/number_format.h"

namespace zr7 {
namespace {

// Decimal only: the runtime's conversion would also take hexadecimal forms.
std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  if (text.find_first_not_of(" +-0123456789") != std::string_view::npos) return std::nullopt;
  return ParseRuntimeInteger(text);
}

} // namespace

std::optional<TAnswerNumbers> ParseAnswerNumbers(std::string_view text) {
  const std::size_t first = text.find(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = text.find(' ', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto n1 = ParseDecimal(text.substr(0, first));
  const auto n2 = ParseDecimal(text.substr(first + 1, second - first - 1));
  const auto n3 = ParseDecimal(text.substr(second + 1));
  if (!n1 || !n2 || !n3) return std::nullopt;
  return TAnswerNumbers{*n1, *n2, *n3};
}

} // namespace zr7
