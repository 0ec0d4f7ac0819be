#include "transfer/bank_read.h"

#include "sim/sim_bank.h"
#include "sim/sim_instrument.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zr7 {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// What the window would have done with the outcomes of one read.
struct TReadLog {
  std::vector<TRequestOutcome> outcomes;
  int progress = 0;
  int timeOuts = 0;
  std::vector<int> blockCaptions;
  std::optional<THeaderCaptions> header;
  bool failed = false;
  TTimeAxis axis;
};

// How the other side reacts to one request: the chunks it delivers in turn
// (empty: silence, the answer timer fires), or nullopt when the port was
// closed during the wait.
using TResponder = std::function<std::optional<std::vector<std::string>>(long number, const std::string& request)>;

TReadLog Read(TBankContents& state, int bank, const TResponder& respond, std::string separator = ".") {
  TReadLog log;
  TBankRead read(state, bank, std::move(separator));
  long number = 0;
  while (!read.Finished()) {
    const std::string request = read.BeginRequest();
    const auto chunks = respond(++number, request);
    if (chunks) {
      for (const auto& chunk : *chunks) {
        if (read.Receive(Bytes(chunk))) break;
      }
      if (read.StatusRS() == TRequestWait::kWaiting) read.TimeOut();
    }
    const auto outcome = read.EndRequest();
    log.outcomes.push_back(outcome);
    log.progress += outcome.advanceProgress;
    log.timeOuts += outcome.timedOut;
    if (outcome.blockCaption) log.blockCaptions.push_back(*outcome.blockCaption);
    if (outcome.header) log.header = outcome.header;
    log.failed = log.failed || outcome.failed;
  }
  log.axis = read.Finish();
  return log;
}

// The simulated instrument answering every request at once.
TResponder Instrument(const sim::TSimBanks& banks) {
  auto instrument = std::make_shared<sim::TSimInstrument>(banks);
  return [instrument](long, const std::string& request) -> std::optional<std::vector<std::string>> {
    const auto answer = instrument->Answer(std::string_view(request).substr(0, request.size() - 1));
    if (!answer) return std::vector<std::string>{};
    return std::vector<std::string>{*answer};
  };
}

// Changes the instrument's answer to the request with the given number.
TResponder Altered(TResponder base, long at, std::function<std::vector<std::string>(std::string)> change) {
  return [base, at, change](long number, const std::string& request) -> std::optional<std::vector<std::string>> {
    auto chunks = base(number, request);
    if (number != at || !chunks || chunks->empty()) return chunks;
    return change(chunks->front());
  };
}

TEST(BankRead, FullReadStoresHeaderSamplesAndDerivedValues) {
  const auto banks = sim::GeneratedBanks();
  for (const int bank : {1, 6, 12}) {
    const sim::TSimTest test = sim::GeneratedTest(bank);
    TBankContents state;
    // Beyond the new count the record keeps what it held before.
    state.Pomiar.Probki[500].a = 99;
    const auto log = Read(state, bank, Instrument(banks));

    EXPECT_FALSE(log.failed);
    EXPECT_EQ(log.timeOuts, 0);
    EXPECT_EQ(log.progress, 15); // three header lines and twelve blocks
    std::vector<int> blocks;
    for (int j = 0; j <= 12; ++j) blocks.push_back(13 * (bank - 1) + j + 1);
    EXPECT_EQ(log.blockCaptions, blocks);

    ASSERT_TRUE(log.header);
    EXPECT_EQ(state.IloscProbek, test.count);
    EXPECT_EQ(log.header->statusCount, " Ilosc próbek = " + std::to_string(test.count));
    EXPECT_EQ(log.header->Ldata,
              std::to_string(test.day) + "/" + std::to_string(test.month) + "/" + std::to_string(2000 + test.year));
    EXPECT_DOUBLE_EQ(state.KatPocz, test.angleMilliradians / 1000.0);
    EXPECT_DOUBLE_EQ(state.APocz, test.accelerationCenti / 100.0);
    EXPECT_EQ(state.Naglowek[12], test.brakeKind);
    EXPECT_EQ(log.axis.minimum, 0);
    EXPECT_DOUBLE_EQ(log.axis.maximum, test.count / 40.0);
    EXPECT_EQ(log.axis.increment, 0.1);

    for (int i = 1; i <= 500; ++i) {
      const auto& sample = state.Pomiar.Probki[i];
      const auto& line = test.samples[i - 1];
      ASSERT_EQ(sample.surX, std::abs(line[0])) << i;
      ASSERT_EQ(sample.surZ, std::abs(line[1])) << i;
      ASSERT_EQ(sample.F, line[2] / 256) << i;
      if (i <= test.count) {
        ASSERT_EQ(sample.n, test.count) << i;
        ASSERT_DOUBLE_EQ(sample.ax, sample.surX * 3 * 9.81 / 2048) << i;
      } else {
        ASSERT_EQ(sample.n, 0) << i;
        ASSERT_EQ(sample.ax, 0) << i;
      }
    }
    if (test.count < 500) {
      EXPECT_EQ(state.Pomiar.Probki[500].a, 99);
    }
  }
}

TEST(BankRead, SamplesAbove500AreDropped) {
  sim::TSimBanks banks{};
  banks[0].header[1] = {400, 0, 0};
  for (int i = 0; i < 528; ++i) banks[0].samples[i] = {i + 1, 700, 0};
  TBankContents state;
  const auto log = Read(state, 1, Instrument(banks));
  EXPECT_FALSE(log.failed);
  EXPECT_EQ(state.IloscProbek, 500);
  EXPECT_EQ(state.Pomiar.Probki[500].surX, 500);
  EXPECT_EQ(state.Pomiar.Probki[500].n, 500);
  EXPECT_EQ(log.progress, 15);
}

TEST(BankRead, SilentInstrument) {
  TBankContents state;
  state.Pomiar.Probki[1].surZ = 700; // kept from an earlier measurement
  const auto log = Read(state, 3, [](long, const std::string&) { return std::vector<std::string>{}; });
  EXPECT_EQ(log.timeOuts, 544);
  EXPECT_TRUE(log.blockCaptions.empty());
  EXPECT_FALSE(log.failed);
  EXPECT_EQ(log.progress, 12); // only the sample blocks advance without answers
  // The header bytes are still zero: 100 samples, derived from the old raw values.
  ASSERT_TRUE(log.header);
  EXPECT_EQ(state.IloscProbek, 100);
  EXPECT_EQ(log.header->Ldata, "0/0/2000");
  EXPECT_EQ(log.header->Lbeta, "-45");
  EXPECT_EQ(log.header->lHamulec, "");
  EXPECT_DOUBLE_EQ(log.axis.maximum, 2.5);
  EXPECT_EQ(state.Pomiar.Probki[100].n, 100);
  EXPECT_EQ(state.Pomiar.Probki[101].n, 0);
  EXPECT_NEAR(state.Pomiar.Probki[1].a, 1.7136, 1e-3);
}

TEST(BankRead, TimedOutLinesKeepTheirValues) {
  const auto banks = sim::GeneratedBanks();
  TBankContents state;
  state.Pomiar.Probki[1].surX = 1234;
  // Request 6 is the line of sample 1.
  const auto log =
      Read(state, 1, Altered(Instrument(banks), 6, [](std::string) { return std::vector<std::string>{}; }));
  EXPECT_EQ(log.timeOuts, 1);
  EXPECT_TRUE(log.outcomes[5].timedOut);
  EXPECT_FALSE(log.failed);
  EXPECT_EQ(state.Pomiar.Probki[1].surX, 1234);
  EXPECT_EQ(state.Pomiar.Probki[2].surX, std::abs(sim::GeneratedTest(1).samples[1][0]));
}

TEST(BankRead, LineSplitAcrossChunksIsTakenWhole) {
  const auto banks = sim::GeneratedBanks();
  TBankContents state;
  const auto log = Read(state, 1, Altered(Instrument(banks), 6, [](std::string) {
                          return std::vector<std::string>{"-150 7", "00 6400\r\n"};
                        }));
  EXPECT_FALSE(log.failed);
  EXPECT_EQ(state.Pomiar.Probki[1].surX, 150);
  EXPECT_EQ(state.Pomiar.Probki[1].surZ, 700);
  EXPECT_EQ(state.Pomiar.Probki[1].F, 25);
}

TEST(BankRead, MalformedLineEndsTheRead) {
  const auto banks = sim::GeneratedBanks();
  const sim::TSimTest test = sim::GeneratedTest(1);
  const struct {
    long at; // request whose answer is bad
    std::string answer;
    std::size_t requestsMade;
    int count; // IloscProbek after the read
  } cases[] = {
      {2, "1282  4872 1287\r\n", 2, 0},            // header line: nothing decoded
      {7, "1  2 3\r\n", 7, 140},                   // second sample line: two spaces
      {7, std::string(500, '9') + "\r\n", 7, 140}, // over-long line
      {7, "\r\n", 7, 140},
  };
  for (const auto& c : cases) {
    TBankContents state;
    state.Pomiar.Probki[2].surX = 4321;
    const auto log = Read(
        state, 1, Altered(Instrument(banks), c.at, [&](std::string) { return std::vector<std::string>{c.answer}; }));
    EXPECT_TRUE(log.failed) << c.at;
    EXPECT_TRUE(log.outcomes.back().failed);
    EXPECT_EQ(log.outcomes.size(), c.requestsMade) << c.at;
    EXPECT_EQ(state.IloscProbek, c.count) << c.at;
    EXPECT_DOUBLE_EQ(log.axis.maximum, c.count / 40.0);
    EXPECT_EQ(state.Pomiar.Probki[2].surX, 4321); // the bad line stores nothing
    // Derived values only for a decoded header, over the whole count.
    EXPECT_EQ(state.Pomiar.Probki[1].n, c.count);
    if (c.count > 0) {
      EXPECT_EQ(state.Pomiar.Probki[1].surX, std::abs(test.samples[0][0]));
    }
  }
}

TEST(BankRead, ClosedPortEndsEveryWaitWithoutStoring) {
  TBankContents state;
  state.Pomiar.Probki[1].surX = 77;
  const auto log = Read(state, 2, [](long, const std::string&) { return std::nullopt; });
  EXPECT_EQ(log.timeOuts, 0);
  EXPECT_FALSE(log.failed);
  // A selection not timed out counts as made; the header lines advance nothing.
  EXPECT_EQ(log.blockCaptions.size(), 13u);
  EXPECT_EQ(log.blockCaptions.front(), 14);
  EXPECT_EQ(log.progress, 12);
  EXPECT_EQ(state.IloscProbek, 100);
  EXPECT_EQ(state.Pomiar.Probki[1].surX, 77);
}

TEST(BankRead, LateAnswerIsTakenForTheNextRequest) {
  const auto banks = sim::GeneratedBanks();
  auto instrument = Instrument(banks);
  std::string held;
  // The answer to D0 (request 2) comes only while D1 waits; D1's own is lost.
  const TResponder late = [&](long number, const std::string& request) -> std::optional<std::vector<std::string>> {
    auto chunks = instrument(number, request);
    if (number == 2) {
      held = chunks->front();
      return std::vector<std::string>{};
    }
    if (number == 3) return std::vector<std::string>{held};
    return chunks;
  };
  TBankContents state;
  const auto log = Read(state, 1, late);
  EXPECT_TRUE(log.outcomes[1].timedOut);
  EXPECT_EQ(state.Naglowek[0], 0);         // line 0 never stored
  EXPECT_EQ(state.Naglowek[6], 1282 >> 8); // line 0's numbers went to line 1's bytes
  EXPECT_EQ(state.Naglowek[7], 1282 & 0xFF);
}

TEST(BankRead, CompletenessCountsUnansweredRequestsAndSamplesRead) {
  const auto banks = sim::GeneratedBanks();
  const int count = sim::GeneratedTest(1).count;
  const auto silentAt = [&](std::set<long> numbers) {
    return [numbers, instrument = Instrument(banks)](long number, const std::string& request) {
      return numbers.contains(number) ? std::optional(std::vector<std::string>{}) : instrument(number, request);
    };
  };
  const struct {
    const char* name;
    TResponder respond;
    TReadCompleteness expected;
  } cases[] = {
      {"every answer", Instrument(banks), {0, count, count}},
      // Requests 6 and 7 ask for samples 1 and 2, request 5 selects their block.
      {"two sample lines silent", silentAt({6, 7}), {2, count - 2, count}},
      {"a block selection silent", silentAt({5}), {1, count, count}},
      {"silent instrument", [](long, const std::string&) { return std::vector<std::string>{}; }, {544, 0, 100}},
      {"port closed after five samples",
       [instrument = Instrument(banks)](long number,
                                        const std::string& request) -> std::optional<std::vector<std::string>> {
         if (number > 10) return std::nullopt;
         return instrument(number, request);
       },
       {534, 5, count}},
      {"malformed third sample",
       Altered(Instrument(banks), 8, [](std::string) { return std::vector<std::string>{"1  2 3\r\n"}; }),
       {544 - 7, 2, count}},
  };
  for (const auto& c : cases) {
    TBankContents state;
    TBankRead read(state, 1, ".");
    long number = 0;
    while (!read.Finished()) {
      const std::string request = read.BeginRequest();
      if (const auto chunks = c.respond(++number, request)) {
        for (const auto& chunk : *chunks) read.Receive(Bytes(chunk));
        if (read.StatusRS() == TRequestWait::kWaiting) read.TimeOut();
      }
      read.EndRequest();
    }
    read.Finish();
    const TReadCompleteness got = read.Completeness();
    EXPECT_EQ(got.unansweredRequests, c.expected.unansweredRequests) << c.name;
    EXPECT_EQ(got.samplesRead, c.expected.samplesRead) << c.name;
    EXPECT_EQ(got.sampleCount, c.expected.sampleCount) << c.name;
    EXPECT_EQ(got.Complete(), c.expected.unansweredRequests == 0) << c.name;
  }
}

TEST(BankRead, WhatArrivesWhileTheLineIsWaitedQuietIsDropped) {
  const auto banks = sim::GeneratedBanks();
  auto instrument = Instrument(banks);
  TBankContents state;
  TBankRead read(state, 1, ".");
  for (long number = 1; number <= 5; ++number) { // block 0 with its header, then block 1
    const std::string request = read.BeginRequest();
    read.Receive(Bytes(instrument(number, request)->front()));
    read.EndRequest();
  }
  const std::string sample1 = instrument(6, read.BeginRequest())->front();
  read.TimeOut();
  EXPECT_TRUE(read.EndRequest().timedOut);

  read.BeginQuietPeriod();
  EXPECT_FALSE(read.Receive(Bytes(sample1))) << "the late answer to the timed-out request";
  EXPECT_TRUE(read.HeardDuringQuietPeriod());
  EXPECT_FALSE(read.QuietPeriodOver());
  read.TimeOut();
  EXPECT_TRUE(read.QuietPeriodOver());
  read.BeginQuietPeriod();
  read.TimeOut();
  EXPECT_FALSE(read.HeardDuringQuietPeriod());
  read.EndQuietWait();

  const std::string sample2 = instrument(7, read.BeginRequest())->front();
  EXPECT_EQ(read.StatusRS(), TRequestWait::kWaiting) << "the quiet wait's timer is no time-out of the request";
  EXPECT_TRUE(read.Receive(Bytes(sample2)));
  read.EndRequest();
  const sim::TSimTest held = sim::GeneratedTest(1);
  EXPECT_EQ(state.Pomiar.Probki[1].surX, 0) << "sample 1 timed out";
  EXPECT_EQ(state.Pomiar.Probki[2].surX, std::abs(held.samples[1][0]));
}

TEST(BankRead, NotConnectedStartsWithNoCount) {
  TBankContents state;
  state.IloscProbek = 240;
  TBankRead read(state, 1, ".");
  EXPECT_EQ(state.IloscProbek, 0);
  EXPECT_EQ(read.BeginRequest(), "L0\r");
}

} // namespace
} // namespace zr7
