#include "measurement/braking_analysis.h"
#include "measurement/derived_values.h"
#include "sim/sim_bank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace zr7 {
namespace {

// The simulated instrument's bank as a bank read stores it.
TPomiar RecordOf(const sim::TSimTest& test) {
  TPomiar p;
  for (int i = 1; i <= test.count; ++i) {
    TProbka& sample = p.Probki[i];
    sample.surX = static_cast<std::int16_t>(std::abs(test.samples[i - 1][0]));
    sample.surZ = static_cast<std::int16_t>(std::abs(test.samples[i - 1][1]));
    ComputeDerived(sample);
    sample.n = test.count;
  }
  return p;
}

// Every bank is a whole stop, with the noise of the sensor at rest before
// and after it, and gives figures a road test can give: the deceleration it
// holds, a speed a test is driven at, a distance that fits both.
TEST(BrakingSimBanks, EveryBankGivesBelievableFigures) {
  for (int bank = 1; bank <= sim::kBanks; ++bank) {
    const TBrakingAnalysis analysis = AnalyzeBraking(RecordOf(sim::GeneratedTest(bank)));
    ASSERT_TRUE(analysis.figures) << "bank " << bank << ": " << analysis.reason;
    const TBrakingFigures& f = *analysis.figures;
    // The simulated test brakes at 4.5 + 0.3 bank m/s2, bank 12 at 2.2.
    const double plateau = bank == 12 ? 2.2 : 4.5 + 0.3 * bank;
    EXPECT_NEAR(f.mfdd, plateau, plateau * 0.05) << "bank " << bank;
    EXPECT_GE(f.v0 * kKmhPerMs, 20) << "bank " << bank;
    EXPECT_LE(f.v0 * kKmhPerMs, 90) << "bank " << bank;
    // From 0.1 v0 on the deceleration is the plateau; before 0.8 v0 it rises.
    EXPECT_GT(f.stoppingDistance, f.v0 * f.v0 / (2 * plateau)) << "bank " << bank;
    EXPECT_LT(f.stoppingDistance, f.v0 * f.v0 / (2 * plateau) * 1.5) << "bank " << bank;
    EXPECT_LT(f.brakingTime, 8) << "bank " << bank;
  }
}

} // namespace
} // namespace zr7
