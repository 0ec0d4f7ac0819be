#pragma once

#include <string>
#include <vector>

namespace zr7 {

// The instrument's memory is a row of blocks; bank b (1 to 12) holds the 13
// blocks from 13 * (b - 1): a header block and twelve sample blocks of 44
// lines each.
constexpr int kBankCount = 12;
constexpr int kBlocksPerBank = 13;
constexpr int kHeaderLines = 3;
constexpr int kSampleBlocks = 12;
constexpr int kLinesPerSampleBlock = 44;
constexpr int kRequestsPerBank = 1 + kHeaderLines + kSampleBlocks * (1 + kLinesPerSampleBlock);

// One request of a bank read and what its answer is for.
struct TRequest {
  enum class TKind { SelectBlock, HeaderLine, SampleLine };

  TKind kind = TKind::SelectBlock;
  int number = 0;       // block number for "L", line number for "D"
  int headerLine = -1;  // 0 to 2 for a header line
  int sampleNumber = 0; // 1 to 528 for a sample line
  int sampleBlock = 0;  // 1 to 12 for a sample line: the block of the bank it belongs to

  // "L" or "D", the decimal digits of the number, CR.
  std::string Bytes() const;

  bool operator==(const TRequest&) const = default;
};

// The 544 requests of one bank read in the order they are sent.
std::vector<TRequest> BankRequests(int bank);

} // namespace zr7
