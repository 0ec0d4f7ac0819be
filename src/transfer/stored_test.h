#pragma once

#include "bank_storage.h"

#include <optional>
#include <string>

namespace zr7 {

// What a bank's raw header says of the test stored there, for the list of
// the instrument's memory and the names of the files a batch writes.
struct TStoredTest {
  int year = 2000; // 2000 plus the header's year byte
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int sampleCount = 0;  // 100 to 500
  int brakeKind = 0;    // 1 to 3 known, anything else unknown
  double deviation = 0; // from the driving direction, m

  // Samples are taken 40 times a second.
  double DurationSeconds() const { return sampleCount / 40.0; }
  // The brake kind's text ("hamulec roboczy"), empty for an unknown kind; UTF-8.
  std::string BrakeText() const;
  // "RRRR-MM-DD" and "GG:MM:SS", zero-padded.
  std::string Date() const;
  std::string Time() const;

  bool operator==(const TStoredTest&) const = default;
};

// The test a header describes, or nothing when the bank holds no test: a
// date that no calendar has (month 13, day 0, 31 April, 29 February outside
// a leap year), a time past 23:59:59, or more samples than a record holds.
// Erased memory and a bank never written both fail those checks.
std::optional<TStoredTest> StoredTestOf(const TNaglowek& naglowek);

// The file a batch writes a bank's test to: "RRRR-MM-DD_GG-MM-SS_bankNN.zr"
// from the test's own date and time. A copy that must not replace a
// different file of that name gets a suffix: "..._bankNN_2.zr" for copy 2.
std::string BankFileName(const TStoredTest& test, int bank, int copy = 1);

} // namespace zr7
