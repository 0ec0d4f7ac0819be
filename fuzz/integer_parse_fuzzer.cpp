// The integer conversion behind konfiguracja.txt's port and zr7-cli's bank,
// and the three numbers of each instrument answer line.
#include "fuzz_check.h"
#include "text/number_format.h"
#include "transfer/answer_numbers.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

using zr7::ParseAnswerNumbers;
using zr7::ParseRuntimeInteger;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// What the conversion must accept, worked out from the text's parts:
// leading blanks, a sign, "$"/"x"/"X"/"0x"/"0X" for hexadecimal, and at
// least one digit of the base up to the end; the value within 32 bits.
std::optional<std::int32_t> Expected(std::string_view text) {
  std::size_t pos = text.find_first_not_of(' ');
  if (pos == std::string_view::npos) return std::nullopt;
  const bool negative = text[pos] == '-';
  if (text[pos] == '-' || text[pos] == '+') ++pos;
  std::string_view digits = text.substr(pos);
  bool hexadecimal = false;
  for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
    if (digits.starts_with(prefix)) {
      hexadecimal = true;
      digits.remove_prefix(prefix.size());
      break;
    }
  }
  const std::string_view alphabet = hexadecimal ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.empty() || digits.find_first_not_of(alphabet) != std::string_view::npos) return std::nullopt;
  digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size() - 1));
  if (digits.size() > 12) return std::nullopt;
  const std::int64_t magnitude = std::stoll(std::string(digits), nullptr, hexadecimal ? 16 : 10);
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::string Hexadecimal(std::uint32_t magnitude) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", magnitude);
  return buffer;
}

void CheckRuntimeInteger(std::string_view text) {
  const auto parsed = ParseRuntimeInteger(text);
  ZR7_FUZZ_CHECK(parsed == Expected(text), Quoted(text));
  ZR7_FUZZ_CHECK(ParseRuntimeInteger("  " + std::string(text)) == parsed, Quoted(text) + " after blanks");
  ZR7_FUZZ_CHECK(!ParseRuntimeInteger(std::string(text) + " "), Quoted(text) + " with a trailing blank");
}

// Every 32-bit number written in decimal or hexadecimal reads back.
void CheckWrittenInteger(std::int32_t number) {
  ZR7_FUZZ_CHECK(ParseRuntimeInteger(std::to_string(number)) == number, std::to_string(number));
  const auto magnitude = static_cast<std::uint32_t>(number < 0 ? -static_cast<std::int64_t>(number) : number);
  const std::string sign = number < 0 ? "-" : "";
  for (std::string prefix : {"$", "0x", "X"}) {
    const std::string text = sign + prefix + Hexadecimal(magnitude);
    ZR7_FUZZ_CHECK(ParseRuntimeInteger(text) == number, text);
  }
}

void CheckAnswerLine(std::string_view line) {
  const auto numbers = ParseAnswerNumbers(line);
  if (!numbers) return;
  // Only decimal numbers: the instrument never sends another form.
  ZR7_FUZZ_CHECK(line.find_first_not_of(" +-0123456789") == std::string_view::npos, Quoted(line));
  const std::string written =
      std::to_string((*numbers)[0]) + " " + std::to_string((*numbers)[1]) + " " + std::to_string((*numbers)[2]);
  ZR7_FUZZ_CHECK(ParseAnswerNumbers(written) == numbers, Quoted(line) + " written as " + Quoted(written));
}

void CheckWrittenAnswer(const zr7::TAnswerNumbers& numbers) {
  const std::string line =
      std::to_string(numbers[0]) + " " + std::to_string(numbers[1]) + " " + std::to_string(numbers[2]);
  ZR7_FUZZ_CHECK(ParseAnswerNumbers(line) == numbers, Quoted(line));
}

} // namespace

// Input: any text. Its first 12 bytes also give three 32-bit numbers that
// are written out and read back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckRuntimeInteger(text);
  CheckAnswerLine(text);
  if (size >= 12) {
    zr7::TAnswerNumbers numbers{};
    std::memcpy(numbers.data(), data, sizeof numbers);
    for (const std::int32_t number : numbers) CheckWrittenInteger(number);
    CheckWrittenAnswer(numbers);
  }
  return 0;
}
