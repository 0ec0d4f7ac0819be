#include "bank_storage.h"

#include <cstdlib>

namespace zr7 {
namespace {

std::uint16_t Low16(std::int64_t value) { return static_cast<std::uint16_t>(value & 0xFFFF); }

} // namespace

void StoreHeaderLine(TNaglowek& naglowek, int line, const TAnswerNumbers& numbers) {
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const std::uint16_t word = Low16(numbers[i]);
    const std::size_t position = static_cast<std::size_t>(6 * line) + 2 * i;
    naglowek.at(position) = static_cast<std::uint8_t>(word >> 8);
    naglowek.at(position + 1) = static_cast<std::uint8_t>(word & 0xFF);
  }
}

void StoreSample(TProbka& sample, const TAnswerNumbers& numbers) {
  sample.surX = static_cast<std::int16_t>(Low16(std::llabs(numbers[0])));
  sample.surZ = static_cast<std::int16_t>(Low16(std::llabs(numbers[1])));
  sample.F = static_cast<std::int16_t>(Low16(numbers[2]) >> 8);
}

} // namespace zr7
