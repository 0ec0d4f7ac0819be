#include "bank_requests.h"

namespace zr7 {

std::string TRequest::Bytes() const {
  const char letter = kind == TKind::SelectBlock ? 'L' : 'D';
  return letter + std::to_string(number) + '\r';
}

std::vector<TRequest> BankRequests(int bank) {
  const int base = (bank - 1) * kBlocksPerBank;
  std::vector<TRequest> requests;
  requests.reserve(kRequestsPerBank);
  requests.push_back({TRequest::TKind::SelectBlock, base});
  for (int k = 0; k < kHeaderLines; ++k) {
    requests.push_back({TRequest::TKind::HeaderLine, k, k});
  }
  for (int j = 1; j <= kSampleBlocks; ++j) {
    requests.push_back({TRequest::TKind::SelectBlock, base + j});
    for (int k = 0; k < kLinesPerSampleBlock; ++k) {
      requests.push_back({TRequest::TKind::SampleLine, k, -1, kLinesPerSampleBlock * (j - 1) + k + 1, j});
    }
  }
  return requests;
}

} // namespace zr7
