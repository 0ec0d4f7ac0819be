#include "transfer/bank_requests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zr7 {
namespace {

// The bytes of every request of a bank read, one string each.
std::vector<std::string> RequestBytes(int bank) {
  std::vector<std::string> bytes;
  for (const auto& request : BankRequests(bank)) bytes.push_back(request.Bytes());
  return bytes;
}

// What the sequence must be: select the header block, its three lines,
// then each sample block with its 44 lines.
std::vector<std::string> ExpectedBytes(int firstBlock) {
  std::vector<std::string> bytes{"L" + std::to_string(firstBlock) + "\r", "D0\r", "D1\r", "D2\r"};
  for (int j = 1; j <= 12; ++j) {
    bytes.push_back("L" + std::to_string(firstBlock + j) + "\r");
    for (int k = 0; k <= 43; ++k) bytes.push_back("D" + std::to_string(k) + "\r");
  }
  return bytes;
}

TEST(BankRequests, OrderOfTheWholeRead) {
  const struct {
    int bank;
    int firstBlock;
    std::string lastSelect;
  } cases[] = {{1, 0, "L12\r"}, {12, 143, "L155\r"}, {5, 52, "L64\r"}};
  for (const auto& c : cases) {
    const auto bytes = RequestBytes(c.bank);
    ASSERT_EQ(bytes.size(), 544u) << c.bank;
    EXPECT_EQ(bytes, ExpectedBytes(c.firstBlock)) << c.bank;
    EXPECT_EQ(bytes[bytes.size() - 45], c.lastSelect) << c.bank;
  }
  EXPECT_EQ(RequestBytes(12).front(), std::string("\x4C\x31\x34\x33\x0D"));
}

TEST(BankRequests, SampleNumbersAndHeaderLines) {
  const auto requests = BankRequests(1);
  EXPECT_EQ(requests[1].kind, TRequest::TKind::HeaderLine);
  EXPECT_EQ(requests[3].headerLine, 2);
  // Line k of sample block j holds sample 44(j-1)+k+1.
  EXPECT_EQ(requests[5].kind, TRequest::TKind::SampleLine);
  EXPECT_EQ(requests[5].sampleNumber, 1);
  EXPECT_EQ(requests[5 + 43].sampleNumber, 44);
  EXPECT_EQ(requests[5 + 45].sampleNumber, 45);
  EXPECT_EQ(requests[5 + 45].sampleBlock, 2);
  EXPECT_EQ(requests.back().sampleNumber, 528);
  EXPECT_EQ(requests.back().sampleBlock, 12);
}

} // namespace
} // namespace zr7
