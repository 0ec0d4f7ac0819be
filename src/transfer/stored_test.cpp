#include "stored_test.h"

#include "header_decode.h"
#include "measurement/calendar.h"
#include "measurement/station_data.h"

namespace zr7 {
namespace {

std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

} // namespace

std::string TStoredTest::BrakeText() const {
  if (brakeKind < 1 || brakeKind > static_cast<int>(kBrakeKinds.size())) return {};
  return std::string(kBrakeKinds[static_cast<std::size_t>(brakeKind - 1)].hamulec);
}

std::string TStoredTest::Date() const { return std::to_string(year) + "-" + TwoDigits(month) + "-" + TwoDigits(day); }

std::string TStoredTest::Time() const { return TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second); }

std::optional<TStoredTest> StoredTestOf(const TNaglowek& h) {
  TStoredTest test;
  test.day = h[0];
  test.month = h[1];
  test.year = 2000 + h[2];
  test.hour = h[3];
  test.minute = h[4];
  test.second = h[5];
  const int count = h[6] * 256 + h[7] + 100;
  if (test.month < 1 || test.month > 12 || test.day < 1 || test.day > DaysInMonth(test.year, test.month) ||
      test.hour > 23 || test.minute > 59 || test.second > 59 || count > kMaxSampleCount) {
    return std::nullopt;
  }
  test.sampleCount = count;
  test.brakeKind = h[12];
  test.deviation = h[13] / 10.0;
  return test;
}

std::string BankFileName(const TStoredTest& test, int bank, int copy) {
  std::string name = test.Date() + "_" + TwoDigits(test.hour) + "-" + TwoDigits(test.minute) + "-" +
                     TwoDigits(test.second) + "_bank" + TwoDigits(bank);
  if (copy > 1) name += "_" + std::to_string(copy);
  return name + ".zr";
}

} // namespace zr7
