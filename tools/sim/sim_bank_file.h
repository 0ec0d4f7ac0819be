#pragma once

#include "sim_bank.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace zr7::sim {

// A bank file in plain text:
//   # comment            (blank lines too are skipped)
//   bank N               the lines below belong to bank N (1 to 12)
//   empty N              bank N holds no test (ErasedBank)
//   h N1 N2 N3           the bank's next header line (at most 3)
//   s N1 N2 N3           the bank's next sample line (at most 528)
// Lines a file does not give answer "0 0 0"; banks it does not name hold
// nothing else. The result, or the reason the file was refused.
struct TBankFileResult {
  std::optional<TSimBanks> banks;
  std::string error;
};
TBankFileResult ReadBankFile(std::istream& in);

// Writes all twelve banks in that format.
void WriteBankFile(std::ostream& out, const TSimBanks& banks);

extern const char* const kBankFileHelp;

} // namespace zr7::sim
