#include "transfer/stored_test.h"

#include <gtest/gtest.h>

namespace zr7 {
namespace {

// A raw header with the given date, time and count value (samples - 100).
TNaglowek Header(int day, int month, int year, int hour, int minute, int second, int countValue = 140,
                 int brakeKind = 1, int deviation = 25) {
  TNaglowek h{};
  const int bytes[] = {day, month, year, hour, minute, second, countValue >> 8, countValue & 0xFF};
  for (std::size_t i = 0; i < std::size(bytes); ++i) h[i] = static_cast<std::uint8_t>(bytes[i]);
  h[12] = static_cast<std::uint8_t>(brakeKind);
  h[13] = static_cast<std::uint8_t>(deviation);
  return h;
}

TEST(StoredTest, HeaderThatIsATest) {
  const auto test = StoredTestOf(Header(7, 3, 24, 9, 5, 7, 140, 1, 25));
  ASSERT_TRUE(test);
  EXPECT_EQ(test->Date(), "2024-03-07");
  EXPECT_EQ(test->Time(), "09:05:07");
  EXPECT_EQ(test->sampleCount, 240);
  EXPECT_DOUBLE_EQ(test->DurationSeconds(), 6.0);
  EXPECT_EQ(test->BrakeText(), "hamulec roboczy");
  EXPECT_DOUBLE_EQ(test->deviation, 2.5);
  EXPECT_EQ(StoredTestOf(Header(1, 1, 0, 0, 0, 0, 0, 4))->BrakeText(), ""); // an unknown kind is still a test
}

// Only a date a calendar has, a time of day and a count the record holds
// make a test; erased memory (every byte 255) and zeros make none.
TEST(StoredTest, ImpossibleHeadersHoldNoTest) {
  const struct {
    TNaglowek header;
    bool isTest;
    const char* what;
  } cases[] = {
      {Header(31, 12, 99, 23, 59, 59, 400), true, "last moment, 500 samples"},
      {Header(29, 2, 24, 12, 0, 0), true, "29 February of a leap year"},
      {Header(29, 2, 0, 12, 0, 0), true, "29 February 2000"},
      {Header(29, 2, 23, 12, 0, 0), false, "29 February 2023"},
      {Header(31, 4, 24, 12, 0, 0), false, "31 April"},
      {Header(0, 5, 24, 12, 0, 0), false, "day 0"},
      {Header(1, 0, 24, 12, 0, 0), false, "month 0"},
      {Header(1, 13, 24, 12, 0, 0), false, "month 13"},
      {Header(1, 5, 24, 24, 0, 0), false, "hour 24"},
      {Header(1, 5, 24, 12, 60, 0), false, "minute 60"},
      {Header(1, 5, 24, 12, 0, 60), false, "second 60"},
      {Header(1, 5, 24, 12, 0, 0, 401), false, "501 samples"},
      {Header(255, 255, 255, 255, 255, 255, 0xFFFF, 255, 255), false, "erased memory"},
      {TNaglowek{}, false, "zeros"},
  };
  for (const auto& c : cases) EXPECT_EQ(StoredTestOf(c.header).has_value(), c.isTest) << c.what;
}

TEST(StoredTest, FileNamesFromTheTestsDateAndTime) {
  const TStoredTest test = *StoredTestOf(Header(7, 3, 24, 9, 5, 7));
  EXPECT_EQ(BankFileName(test, 3), "2024-03-07_09-05-07_bank03.zr");
  EXPECT_EQ(BankFileName(test, 12, 2), "2024-03-07_09-05-07_bank12_2.zr");
}

} // namespace
} // namespace zr7
