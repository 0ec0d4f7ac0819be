#include "measurement/braking_analysis.h"
#include "measurement/derived_values.h"
#include "sim/sim_bank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace zr7 {
namespace {

constexpr double kDt = 0.025;

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

struct TReference {
  std::string reason;
  double mfdd = 0, v0 = 0, distance = 0, time = 0;
};

// The figures worked out straight from the instrument's lines: the speed at
// a sample is the area under the deceleration from there to the stop.
TReference ReferenceOf(const sim::TSimTest& test) {
  std::vector<double> a;
  for (int i = 0; i < test.count; ++i) {
    const double ax = std::abs(test.samples[i][0]) * 3 * 9.81 / 2048;
    const double az = std::abs(test.samples[i][1]) * 3 * 9.81 * 0.99 / 2048;
    a.push_back(std::sqrt(std::max(ax * ax + az * az - 9.81 * 9.81, 0.0)));
  }
  const int n = static_cast<int>(a.size());
  const double peak = *std::max_element(a.begin(), a.end());
  if (peak < 1) return {kNoBraking};
  const auto reaches = [&](double value) { return value >= peak / 10; };
  int b = static_cast<int>(std::find_if(a.begin(), a.end(), reaches) - a.begin());
  int e = n - 1 - static_cast<int>(std::find_if(a.rbegin(), a.rend(), reaches) - a.rbegin());
  while (b > 0 && a[b - 1] > 0) --b;
  while (e < n - 1 && a[e + 1] > 0) ++e;
  if (e == n - 1) return {kEndsBeforeStop};
  if (e - b < 7) return {kBrakingTooShort};

  const auto speed = [&](int i) {
    double twice = 0;
    for (int j = i; j < e; ++j) twice += a[j] + a[j + 1];
    return twice * kDt / 2;
  };
  std::vector<double> s = {0};
  for (int i = b; i < e; ++i) s.push_back(s.back() + (speed(i) + speed(i + 1)) * kDt / 2);
  const double v0 = speed(b);
  const auto distanceAt = [&](double v) {
    for (int i = b; i < e; ++i) {
      if (speed(i) > v && speed(i + 1) <= v) {
        const double f = (speed(i) - v) / (speed(i) - speed(i + 1));
        return s[i - b] + f * (s[i - b + 1] - s[i - b]);
      }
    }
    ADD_FAILURE() << "the speed never falls to " << v;
    return 0.0;
  };
  const double vb = 0.8 * v0, ve = 0.1 * v0;
  return {"", (vb * vb - ve * ve) / (2 * (distanceAt(ve) - distanceAt(vb))), v0, s.back(), (e - b) * kDt};
}

TEST(BrakingSimBanks, FiguresOfEveryBankMatchTheReference) {
  int computable = 0;
  for (int bank = 1; bank <= sim::kBanks; ++bank) {
    const sim::TSimTest test = sim::GeneratedTest(bank);
    const TReference expected = ReferenceOf(test);
    const TBrakingAnalysis analysis = AnalyzeBraking(RecordOf(test));
    EXPECT_EQ(analysis.reason, expected.reason) << "bank " << bank;
    ASSERT_EQ(analysis.figures.has_value(), expected.reason.empty()) << "bank " << bank;
    if (!analysis.figures) continue;
    ++computable;
    const TBrakingFigures& f = *analysis.figures;
    EXPECT_NEAR(f.mfdd, expected.mfdd, expected.mfdd * 1e-9) << "bank " << bank;
    EXPECT_NEAR(f.brakingRatio, expected.mfdd / 9.81 * 100, 1e-6) << "bank " << bank;
    EXPECT_NEAR(f.v0, expected.v0, expected.v0 * 1e-9) << "bank " << bank;
    EXPECT_NEAR(f.stoppingDistance, expected.distance, expected.distance * 1e-9) << "bank " << bank;
    EXPECT_NEAR(f.brakingTime, expected.time, 1e-9) << "bank " << bank;
    // The simulated test brakes at its plateau of 4.5 + 0.3 bank m/s2.
    EXPECT_NEAR(f.mfdd, 4.5 + 0.3 * bank, 0.6) << "bank " << bank;
  }
  // In a few banks the noise at rest runs on to the last sample, so those
  // end before the vehicle stands still; most come to rest.
  EXPECT_GE(computable, 8);
}

} // namespace
} // namespace zr7
