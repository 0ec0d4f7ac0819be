#include "measurement/braking_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace zr7 {
namespace {

constexpr double kDt = 0.025;

// Samples at rest, then `braking`, then samples at rest again.
std::vector<double> AtRestAround(const std::vector<double>& braking, std::size_t rest = 5) {
  std::vector<double> a(rest, 0.0);
  a.insert(a.end(), braking.begin(), braking.end());
  a.insert(a.end(), rest, 0.0);
  return a;
}

TBrakingFigures Figures(const std::vector<double>& a) {
  const TBrakingAnalysis analysis = AnalyzeBraking(a);
  EXPECT_TRUE(analysis.figures.has_value()) << analysis.reason;
  EXPECT_EQ(analysis.reason, "");
  return analysis.figures.value_or(TBrakingFigures{});
}

TEST(BrakingAnalysis, ConstantDecelerationFrom80KmH) {
  // 149 samples of 6 m/s2 bring 79.92 km/h to rest in 3.7 s.
  const TBrakingFigures f = Figures(AtRestAround(std::vector<double>(149, 6.0)));
  // Only the distances between samples, read off a straight line, are not
  // exact.
  EXPECT_NEAR(f.mfdd, 6.0, 1e-4);
  EXPECT_NEAR(f.brakingRatio, f.mfdd / 9.81 * 100, 1e-9);
  EXPECT_NEAR(f.v0 * kKmhPerMs, 80, 6 * kDt * kKmhPerMs);
  EXPECT_NEAR(f.v0, 148 * kDt * 6, 1e-9);
  // The speed falls linearly, which the trapezoid rule integrates exactly.
  EXPECT_NEAR(f.stoppingDistance, f.v0 * f.v0 / 12, 1e-9);
  EXPECT_NEAR(f.stoppingDistance, 41.15, f.v0 * kDt);
  EXPECT_NEAR(f.brakingTime, 3.7, 1e-12);
}

TEST(BrakingAnalysis, RampThenPlateauMatchesTheClosedForm) {
  // The deceleration rises linearly to A over tr and holds until the stop at
  // T; 80 % of the initial speed is passed while it still rises, so the mean
  // deceleration lies below A.
  const double A = 8, tr = 1.5, T = 2.5;
  const int steps = static_cast<int>(std::lround(T / kDt));
  std::vector<double> a(5, 0.0);
  for (int k = 0; k <= steps; ++k) a.push_back(A * std::min(k * kDt / tr, 1.0));
  a.insert(a.end(), 5, 0.0);

  const auto speed = [&](double t) { return t >= tr ? A * (T - t) : A * (T - tr) + A * (tr * tr - t * t) / (2 * tr); };
  const auto distance = [&](double t) { // travelled since t = 0, while on the ramp
    return A * (T - tr) * t + A / (2 * tr) * (tr * tr * t - t * t * t / 3);
  };
  const double stopDistance = distance(tr) + A * (T - tr) * (T - tr) / 2;
  // The phase starts at the first sample that brakes, one step after t = 0.
  const double v0 = speed(kDt);
  const double vb = 0.8 * v0, ve = 0.1 * v0;
  const double tb = std::sqrt(tr * tr + 2 * tr * ((T - tr) - vb / A));
  ASSERT_LT(tb, tr);
  ASSERT_GT(ve, 0);
  const double sb = distance(tb);
  const double se = stopDistance - ve * ve / (2 * A);
  const double mfdd = (vb * vb - ve * ve) / (2 * (se - sb));
  ASSERT_LT(mfdd, A - 0.5);

  const TBrakingFigures f = Figures(a);
  EXPECT_NEAR(f.v0, v0, 1e-9);
  EXPECT_NEAR(f.stoppingDistance, stopDistance - distance(kDt), 1e-3);
  EXPECT_NEAR(f.mfdd, mfdd, mfdd * 1e-3);
  EXPECT_NEAR(f.brakingRatio, f.mfdd / 9.81 * 100, 1e-9);
  EXPECT_NEAR(f.brakingTime, T - kDt, 1e-12);
}

TEST(BrakingAnalysis, NoisyCurveGivesTheFiguresOfItsSmoothShape) {
  std::vector<double> smooth;
  std::vector<double> noisy;
  std::uint32_t state = 12345;
  for (int k = 0; k < 200; ++k) {
    const double value = 7 * std::min(k / 30.0, 1.0) * std::min((200 - k) / 20.0, 1.0);
    state = state * 1664525u + 1013904223u;
    const double noise = 0.8 * (static_cast<double>(state >> 8) / (1u << 23) - 1); // +-0.8 m/s2
    smooth.push_back(value);
    noisy.push_back(k == 0 ? value : std::max(value + noise, 0.05));
  }
  const TBrakingFigures clean = Figures(AtRestAround(smooth));
  const TBrakingFigures f = Figures(AtRestAround(noisy));
  EXPECT_NEAR(f.mfdd, clean.mfdd, clean.mfdd * 0.02);
  EXPECT_NEAR(f.v0, clean.v0, clean.v0 * 0.01);
  EXPECT_NEAR(f.stoppingDistance, clean.stoppingDistance, clean.stoppingDistance * 0.02);
  EXPECT_NEAR(f.brakingTime, clean.brakingTime, 2 * kDt);
}

TEST(BrakingAnalysis, PhaseWidensOverTheLowTailsDownToRest) {
  // Peak 5, so a tenth is 0.5: the phase starts at 0.3 (the run of positive
  // samples before 0.6) and ends at 0.1; the 0.3 after the rest is not in it.
  std::vector<double> a = {0, 0.3, 0.2, 0.6};
  a.insert(a.end(), 10, 5.0);
  a.insert(a.end(), {0.4, 0.1, 0, 0.3, 0});
  const TBrakingFigures f = Figures(a);
  EXPECT_NEAR(f.brakingTime, 14 * kDt, 1e-12);
  EXPECT_NEAR(f.v0, kDt * (0.3 / 2 + 0.2 + 0.6 + 10 * 5 + 0.4 + 0.1 / 2), 1e-12);
}

TEST(BrakingAnalysis, RecordsWithoutAStopAreNotComputable) {
  const auto with = [](std::vector<double> braking, std::vector<double> after) {
    std::vector<double> a(3, 0.0);
    a.insert(a.end(), braking.begin(), braking.end());
    a.insert(a.end(), after.begin(), after.end());
    return a;
  };
  const std::vector<double> plateau(40, 6.0);
  const struct {
    const char* what;
    std::vector<double> a;
    const char* reason; // empty: computable
  } cases[] = {
      {"no samples", {}, kNoBraking},
      {"at rest", std::vector<double>(100, 0.0), kNoBraking},
      {"peak just below 1 m/s2", with(std::vector<double>(40, 0.99), {0}), kNoBraking},
      {"peak of 1 m/s2", with(std::vector<double>(40, 1.0), {0}), ""},
      {"cut while braking", with(plateau, {}), kEndsBeforeStop},
      {"cut in the low tail", with(plateau, {0.3, 0.2}), kEndsBeforeStop},
      {"one sample at rest after the tail", with(plateau, {0.3, 0}), ""},
      {"7 samples", with(std::vector<double>(7, 6.0), {0}), kBrakingTooShort},
      {"8 samples", with(std::vector<double>(8, 6.0), {0}), ""},
  };
  for (const auto& c : cases) {
    const TBrakingAnalysis analysis = AnalyzeBraking(c.a);
    EXPECT_EQ(analysis.reason, c.reason) << c.what;
    EXPECT_EQ(analysis.figures.has_value(), *c.reason == '\0') << c.what;
  }
}

TEST(BrakingAnalysis, NonFiniteSamplesInsideThePhaseAreDamagedData) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // Rest at 0..4, braking at 5..44, rest at 45..49.
  const std::vector<double> clean = AtRestAround(std::vector<double>(40, 6.0));
  const TBrakingFigures expected = Figures(clean);
  const struct {
    std::size_t at;
    double value;
    bool damaged;
  } cases[] = {
      {20, nan, true}, {6, nan, true},   {43, -inf, true},  {20, inf, true},   {2, inf, true}, {2, nan, false},
      {4, nan, false}, {45, nan, false}, {47, -inf, false}, {20, -2000, true}, // drives the speed below zero
  };
  for (const auto& c : cases) {
    std::vector<double> a = clean;
    a[c.at] = c.value;
    const TBrakingAnalysis analysis = AnalyzeBraking(a);
    if (c.damaged) {
      EXPECT_EQ(analysis.reason, kDamagedData) << c.at << " " << c.value;
      EXPECT_FALSE(analysis.figures) << c.at << " " << c.value;
    } else {
      ASSERT_TRUE(analysis.figures) << c.at << " " << c.value << " " << analysis.reason;
      EXPECT_EQ(analysis.figures->mfdd, expected.mfdd) << c.at;
      EXPECT_EQ(analysis.figures->v0, expected.v0) << c.at;
      EXPECT_EQ(analysis.figures->stoppingDistance, expected.stoppingDistance) << c.at;
    }
  }
  // Finite numbers too large to integrate give no infinite figures.
  EXPECT_EQ(AnalyzeBraking(AtRestAround(std::vector<double>(40, 1e300))).reason, kDamagedData);
}

TEST(BrakingAnalysis, RecordUsesSamplesUpToItsCountOnly) {
  TPomiar p;
  // An earlier, longer measurement left its samples above the count.
  for (int i = 1; i <= 500; ++i) p.Probki[i].a = 7;
  std::vector<double> own;
  for (int i = 1; i <= 60; ++i) {
    p.Probki[i].a = i >= 10 && i <= 40 ? 5.0 : 0.0;
    own.push_back(p.Probki[i].a);
  }
  p.Probki[1].n = 60;
  const TBrakingAnalysis analysis = AnalyzeBraking(p);
  ASSERT_TRUE(analysis.figures) << analysis.reason;
  EXPECT_EQ(analysis.figures->v0, Figures(own).v0);
  EXPECT_NEAR(analysis.figures->brakingTime, 30 * kDt, 1e-12);

  p.Probki[1].n = 35;
  EXPECT_EQ(AnalyzeBraking(p).reason, kEndsBeforeStop);
  p.Probki[1].n = 0;
  EXPECT_EQ(AnalyzeBraking(p).reason, kNoBraking);
  p.Probki[1].n = -5;
  EXPECT_EQ(AnalyzeBraking(p).reason, kNoBraking);
}

} // namespace
} // namespace zr7
