#include "transfer/answer_numbers.h"
#include "transfer/bank_storage.h"
#include "transfer/request_wait.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace zr7 {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(RequestWait, LineSplitAcrossChunksIsReadWhole) {
  TRequestWait wait;
  wait.Begin();
  EXPECT_FALSE(wait.Receive(Bytes("-150 7")));
  EXPECT_EQ(wait.StatusRS(), TRequestWait::kWaiting);
  EXPECT_FALSE(wait.Receive(Bytes("00 64")));
  EXPECT_TRUE(wait.Receive(Bytes("00\r\n")));
  EXPECT_EQ(wait.StatusRS(), TRequestWait::kAnswered);
  EXPECT_EQ(wait.Text(), "-150 700 6400");
  EXPECT_FALSE(wait.Overlong());
}

TEST(RequestWait, EachRequestStartsWithAnEmptyLine) {
  TRequestWait wait;
  wait.Begin();
  wait.Receive(Bytes("1 2"));
  wait.TimeOut();
  EXPECT_EQ(wait.StatusRS(), TRequestWait::kTimedOut);
  wait.Begin();
  EXPECT_EQ(wait.StatusRS(), TRequestWait::kWaiting);
  EXPECT_TRUE(wait.Receive(Bytes("4 5 6\r\n")));
  EXPECT_EQ(wait.Text(), "4 5 6");
}

TEST(RequestWait, BytesAfterTheLineFeedAreNotPartOfTheAnswer) {
  TRequestWait wait;
  wait.Begin();
  EXPECT_TRUE(wait.Receive(Bytes("1 2 3\r\n9 9 9\r\n")));
  EXPECT_EQ(wait.Text(), "1 2 3");
  // A chunk after the answer is complete changes nothing.
  EXPECT_FALSE(wait.Receive(Bytes("7 7 7\r\n")));
  EXPECT_EQ(wait.Text(), "1 2 3");
}

TEST(RequestWait, TimeOutOnlyEndsAnOpenWait) {
  TRequestWait wait;
  wait.Begin();
  wait.Receive(Bytes("1 2 3\r\n"));
  wait.TimeOut();
  EXPECT_EQ(wait.StatusRS(), TRequestWait::kAnswered);
}

TEST(RequestWait, LineLongerThanItsRoomIsOverlong) {
  const std::string fits = std::string(398, '7') + "\r\n"; // 400 bytes with CR LF
  TRequestWait wait;
  wait.Begin();
  EXPECT_TRUE(wait.Receive(Bytes(fits)));
  EXPECT_FALSE(wait.Overlong());

  // The 401st byte ends the wait at once, without waiting for a line feed.
  wait.Begin();
  EXPECT_FALSE(wait.Receive(Bytes(std::string(300, '1'))));
  EXPECT_TRUE(wait.Receive(Bytes(std::string(101, '2'))));
  EXPECT_EQ(wait.StatusRS(), TRequestWait::kAnswered);
  EXPECT_TRUE(wait.Overlong());

  wait.Begin();
  EXPECT_TRUE(wait.Receive(Bytes(std::string(2048, '3') + "\r\n")));
  EXPECT_TRUE(wait.Overlong());
}

TEST(AnswerNumbers, WellFormedAndMalformedLines) {
  const struct {
    std::string_view text;
    std::optional<TAnswerNumbers> numbers;
  } cases[] = {
      {"-150 700 6400", TAnswerNumbers{-150, 700, 6400}},
      {"0 0 0", TAnswerNumbers{0, 0, 0}},
      {"+5 -6 7", TAnswerNumbers{5, -6, 7}},
      {"1 2  3", TAnswerNumbers{1, 2, 3}}, // the third number may have leading blanks
      {"2147483647 -2147483648 1", TAnswerNumbers{2147483647, -2147483647 - 1, 1}},
      {"1  2 3", std::nullopt}, // two spaces: the second number is empty
      {"1 2", std::nullopt},
      {"", std::nullopt},
      {"OK", std::nullopt},
      {"1 2 3 ", std::nullopt},
      {"1 2 3 4", std::nullopt},
      {"a 2 3", std::nullopt},
      {"1 2 -", std::nullopt},
      {"$10 2 3", std::nullopt}, // decimal only
      {"0x10 2 3", std::nullopt},
      {"2147483648 0 0", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseAnswerNumbers(c.text), c.numbers) << '"' << c.text << '"';
}

TEST(BankStorage, SampleLineRawFields) {
  const struct {
    TAnswerNumbers numbers;
    std::int16_t surX, surZ, F;
  } cases[] = {
      {{-150, 700, 6400}, 150, 700, 25},
      {{150, -700, 6655}, 150, 700, 25},     // low byte of the force word is not force
      {{0, 0, -256}, 0, 0, 255},             // 0xFF00: bits 8 to 15 only
      {{70000, 0, 65536 + 512}, 4464, 0, 2}, // low 16 bits
      {{-32768, 0, 0}, -32768, 0, 0},
  };
  for (const auto& c : cases) {
    TProbka sample;
    sample.a = 1.5; // fields other than the raw ones are left alone
    StoreSample(sample, c.numbers);
    EXPECT_EQ(sample.surX, c.surX) << c.numbers[0];
    EXPECT_EQ(sample.surZ, c.surZ) << c.numbers[1];
    EXPECT_EQ(sample.F, c.F) << c.numbers[2];
    EXPECT_EQ(sample.a, 1.5);
  }
}

TEST(BankStorage, HeaderLinesHighByteFirst) {
  TNaglowek h{};
  h.fill(0xAA);
  StoreHeaderLine(h, 0, {7 * 256 + 3, 6 * 256 + 9, 5 * 256 + 7});
  StoreHeaderLine(h, 1, {140, 785, -50});
  const TNaglowek expectedStart{7, 3, 6, 9, 5, 7, 0, 140, 3, 17, 255, 206, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(h, expectedStart);
  StoreHeaderLine(h, 2, {1 * 256 + 25, 65537, -1});
  EXPECT_EQ(h[12], 1);
  EXPECT_EQ(h[13], 25);
  EXPECT_EQ((std::array<int, 4>{h[14], h[15], h[16], h[17]}), (std::array<int, 4>{0, 1, 255, 255}));
}

} // namespace
} // namespace zr7
