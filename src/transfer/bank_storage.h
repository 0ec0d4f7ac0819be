#pragma once

#include "answer_numbers.h"
#include "bank_contents.h"

namespace zr7 {

// The raw header of a bank: three lines of three numbers, two bytes each.
using TNaglowek = decltype(TBankContents::Naglowek);

// Header line k (0 to 2) fills bytes 6k to 6k + 5: each number's low 16
// bits, high byte first.
void StoreHeaderLine(TNaglowek& naglowek, int line, const TAnswerNumbers& numbers);

// A sample line sets the raw fields only: X and Z as the low 16 bits of the
// absolute value, the pedal force from bits 8 to 15 of the third number.
void StoreSample(TProbka& sample, const TAnswerNumbers& numbers);

} // namespace zr7
