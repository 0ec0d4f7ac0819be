#include "sim/sim_bank.h"
#include "sim/sim_bank_file.h"
#include "sim/sim_instrument.h"
#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

namespace zr7::sim {
namespace {

// Deceleration in m/s2 of a sample line as the program will compute it.
double Deceleration(const TSimLine& line) {
  const double ax = std::abs(line[0]) * 3 * 9.81 / 2048;
  const double az = std::abs(line[1]) * 3 * 9.81 * 0.99 / 2048;
  const double radicand = ax * ax + az * az - 96.2361;
  return radicand > 0 ? std::sqrt(radicand) : 0;
}

TEST(SimBanks, GeneratedTestsLookLikeBrakeTests) {
  std::set<int> kinds;
  std::set<int> counts;
  for (int b = 1; b <= kBanks; ++b) {
    const TSimTest test = GeneratedTest(b);
    kinds.insert(test.brakeKind);
    counts.insert(test.count);
    EXPECT_GE(test.count, 100);
    EXPECT_LE(test.count, 500);
    EXPECT_GE(test.day, 1);
    EXPECT_LE(test.day, 31);
    EXPECT_GE(test.month, 1);
    EXPECT_LE(test.month, 12);

    double peak = 0;
    int peakAt = 0;
    for (int i = 1; i <= test.count; ++i) {
      const auto& line = test.samples[i - 1];
      const double az = line[1] * 3 * 9.81 * 0.99 / 2048;
      ASSERT_NEAR(az, 9.81, 0.05) << b << " " << i; // the Z axis carries gravity
      ASSERT_LE(line[0], 0);
      const double a = Deceleration(line);
      if (a > peak) peak = a, peakAt = i;
    }
    // Starts at rest, rises to a plateau held for more than a second inside
    // the test (a slow parking-brake stop below 3 m/s2 in bank 12), and is
    // at rest again at the end.
    EXPECT_LT(Deceleration(test.samples[0]), 1.0) << b;
    EXPECT_GT(peak, b == kBanks ? 2.0 : 4.0) << b;
    EXPECT_LT(peak, b == kBanks ? 3.0 : 10.0) << b;
    EXPECT_LT(Deceleration(test.samples[test.count - 1]), 1.0) << b;
    int held = 0;
    int forceWhileHeld = 0;
    for (int i = 1; i <= test.count; ++i) {
      if (Deceleration(test.samples[i - 1]) > peak * 0.8) {
        ++held;
        forceWhileHeld = test.samples[i - 1][2] >> 8; // the pedal force: the high byte of the third number
      }
    }
    EXPECT_GT(held, 40) << b;
    EXPECT_GT(peakAt, 10) << b;
    EXPECT_GT(forceWhileHeld, 20) << b;
    EXPECT_LT(forceWhileHeld, 256) << b;
  }
  EXPECT_EQ(kinds, (std::set<int>{1, 2, 3, 4}));
  EXPECT_TRUE(counts.contains(100));
  EXPECT_TRUE(counts.contains(500));
  EXPECT_EQ(GeneratedBanks(), GeneratedBanks());
}

TEST(SimBanks, HeaderPacksTwoBytesPerNumber) {
  TSimTest test;
  test.day = 7, test.month = 3, test.year = 6, test.hour = 9, test.minute = 5, test.second = 7;
  test.count = 240, test.angleMilliradians = 785, test.accelerationCenti = -50;
  test.brakeKind = 1, test.deviationDecimetres = 25;
  const TSimBank bank = EncodeBank(test);
  EXPECT_EQ(bank.header[0], (TSimLine{7 * 256 + 3, 6 * 256 + 9, 5 * 256 + 7}));
  EXPECT_EQ(bank.header[1], (TSimLine{140, 785, -50}));
  EXPECT_EQ(bank.header[2], (TSimLine{256 + 25, 0, 0}));
}

TEST(SimBankFile, DumpReadsBackTheSameBanks) {
  std::stringstream file;
  WriteBankFile(file, GeneratedBanks());
  const auto result = ReadBankFile(file);
  ASSERT_TRUE(result.banks) << result.error;
  EXPECT_EQ(*result.banks, GeneratedBanks());
}

// An empty bank is written as such and reads back as erased memory, whose
// header holds no test, beside banks that keep their lines.
TEST(SimBankFile, EmptyBanksRoundTrip) {
  TSimBanks banks = GeneratedBanks();
  banks[2] = banks[6] = ErasedBank();
  std::stringstream file;
  WriteBankFile(file, banks);
  EXPECT_NE(file.str().find("empty 3\n"), std::string::npos);
  EXPECT_EQ(file.str().find("bank 3\n"), std::string::npos);
  const auto result = ReadBankFile(file);
  ASSERT_TRUE(result.banks) << result.error;
  EXPECT_EQ(*result.banks, banks);
  EXPECT_EQ(banks[2].header[0], (TSimLine{-1, -1, -1}));
  EXPECT_EQ(banks[2].samples[527], (TSimLine{-1, -1, -1}));

  std::istringstream mixed("empty 12\nbank 1\nh 1 2 3\n");
  const auto r = ReadBankFile(mixed);
  ASSERT_TRUE(r.banks) << r.error;
  EXPECT_EQ((*r.banks)[11], ErasedBank());
  EXPECT_EQ((*r.banks)[0].header[0], (TSimLine{1, 2, 3}));
}

TEST(SimBankFile, PartialFileAndErrors) {
  std::istringstream partial("# two lines only\n\nbank 3\r\nh 1 2 3\ns -5 690 2560\n");
  const auto result = ReadBankFile(partial);
  ASSERT_TRUE(result.banks) << result.error;
  EXPECT_EQ((*result.banks)[2].header[0], (TSimLine{1, 2, 3}));
  EXPECT_EQ((*result.banks)[2].header[1], (TSimLine{}));
  EXPECT_EQ((*result.banks)[2].samples[0], (TSimLine{-5, 690, 2560}));
  EXPECT_EQ((*result.banks)[0], TSimBank{});

  const struct {
    std::string text;
    std::string error;
  } bad[] = {
      {"h 1 2 3\n", "line 1: \"bank N\" must come first"},
      {"bank 13\n", "line 1: bank number 1 to 12 expected"},
      {"bank 1\nh 1 2\n", "line 2: three integers expected"},
      {"bank 1\nh 1 2 3 4\n", "line 2: more than three numbers"},
      {"bank 1\nh 1 2 3\nh 1 2 3\nh 1 2 3\nh 1 2 3\n", "line 5: more than 3 header lines"},
      {"bank 1\nx 1 2 3\n", "line 2: unknown keyword \"x\""},
      {"empty 0\n", "line 1: bank number 1 to 12 expected"},
      {"empty 2\nh 1 2 3\n", "line 2: \"bank N\" must come first"},
  };
  for (const auto& c : bad) {
    std::istringstream in(c.text);
    const auto r = ReadBankFile(in);
    EXPECT_FALSE(r.banks) << c.text;
    EXPECT_EQ(r.error, c.error);
  }
}

TEST(SimInstrument, AnswersTheSelectedBlocksLines) {
  const auto banks = GeneratedBanks();
  TSimInstrument instrument(banks);
  const auto line = [](const TSimLine& l) {
    return std::to_string(l[0]) + " " + std::to_string(l[1]) + " " + std::to_string(l[2]) + "\r\n";
  };
  EXPECT_EQ(instrument.Answer("L143"), "OK\r\n");
  EXPECT_EQ(instrument.Answer("D2"), line(banks[11].header[2]));
  EXPECT_EQ(instrument.Answer("D3"), "0 0 0\r\n"); // a header block holds three lines
  instrument.Answer("L155");
  EXPECT_EQ(instrument.Answer("D43"), line(banks[11].samples[527]));
  EXPECT_EQ(instrument.Answer("D44"), "0 0 0\r\n");
  instrument.Answer("L14");
  EXPECT_EQ(instrument.Answer("D0"), line(banks[1].samples[0]));
  instrument.Answer("L156");
  EXPECT_EQ(instrument.Answer("D0"), "0 0 0\r\n");
  for (const char* request : {"", "L", "X1", "D-1", "D1a", "d1"}) {
    EXPECT_EQ(instrument.Answer(request), std::nullopt) << request;
  }
}

TEST(SimInstrument, RequestsEndAtCarriageReturn) {
  TRequestSplitter splitter;
  EXPECT_TRUE(splitter.Feed("L1").empty());
  EXPECT_EQ(splitter.Feed("2\rD0\r\nD"), (std::vector<std::string>{"L12", "D0"}));
  EXPECT_EQ(splitter.Feed("43\r"), (std::vector<std::string>{"D43"}));
  EXPECT_EQ(MalformedAnswer("1 2 3\r\n"), "1  2 3\r\n");
}

TEST(SimOptions, CommandLine) {
  const char* argv[] = {
      "zr7-sim", "--latency",      "3",     "--pace",         "--silent-at", "2,5",        "--split-at",
      "4",       "--malformed-at", "7",     "--late-at",      "9:700",       "--late-at",  "10:5",
      "--link",  "/tmp/x",         "--log", "/tmp/log",       "--banks",     "/tmp/banks", "--empty",
      "3,7",     "--silent-from",  "600",   "--malformed-at", "20-22,30"};
  const auto r = ParseSimOptions(std::size(argv), argv);
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.latencyMs, 3);
  EXPECT_TRUE(r.options.pace);
  EXPECT_EQ(r.options.silentAt, (std::set<long>{2, 5}));
  EXPECT_EQ(r.options.splitAt, (std::set<long>{4}));
  EXPECT_EQ(r.options.malformedAt, (std::set<long>{7, 20, 21, 22, 30}));
  EXPECT_EQ(r.options.emptyBanks, (std::set<int>{3, 7}));
  EXPECT_EQ(r.options.silentFrom, 600);
  EXPECT_EQ(r.options.lateAt, (std::map<long, int>{{9, 700}, {10, 5}}));
  EXPECT_EQ(r.options.link, "/tmp/x");
  EXPECT_EQ(r.options.logFile, "/tmp/log");
  EXPECT_EQ(r.options.banksFile, "/tmp/banks");

  const std::vector<std::vector<const char*>> bad = {
      {"zr7-sim", "--latency"},          {"zr7-sim", "--latency", "-1"},
      {"zr7-sim", "--silent-at", "0"},   {"zr7-sim", "--silent-at", "1,,2"},
      {"zr7-sim", "--late-at", "3"},     {"zr7-sim", "--bogus"},
      {"zr7-sim", "--link", ""},         {"zr7-sim", "--empty", "0"},
      {"zr7-sim", "--empty", "13"},      {"zr7-sim", "--empty", "2,"},
      {"zr7-sim", "--silent-from", "0"}, {"zr7-sim", "--silent-at", "5-3"},
      {"zr7-sim", "--silent-at", "1-"},  {"zr7-sim", "--silent-at", "1-1000000"}};
  for (const auto& args : bad) {
    EXPECT_NE(ParseSimOptions(static_cast<int>(args.size()), args.data()).error, "") << args[1];
  }
}

} // namespace
} // namespace zr7::sim
