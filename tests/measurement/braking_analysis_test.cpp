#include "braking_records.h"
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
std::vector<double> AtRestAround(const std::vector<double>& braking, std::size_t rest = 10) {
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
  // 149 samples of 6 m/s2 bring 80.46 km/h to rest in 3.725 s; the phase
  // runs from the last sample at rest before them to the first after them.
  const TBrakingFigures f = Figures(AtRestAround(std::vector<double>(149, 6.0)));
  // Only the distances between samples, read off a straight line, are not
  // exact.
  EXPECT_NEAR(f.mfdd, 6.0, 1e-4);
  EXPECT_NEAR(f.brakingRatio, f.mfdd / 9.81 * 100, 1e-9);
  EXPECT_NEAR(f.v0, 149 * kDt * 6, 1e-9);
  // The deceleration is taken to rise over the sample period before the
  // first braking sample, at nearly full speed.
  EXPECT_NEAR(f.stoppingDistance, f.v0 * f.v0 / 12, f.v0 * kDt);
  EXPECT_NEAR(f.brakingTime, 150 * kDt, 1e-12);
  EXPECT_EQ(f.restLevel, 0);
  // Samples 10 to 158 brake; sample i lies at (i + 1) / 40 s.
  EXPECT_NEAR(f.brakingStart, 10 * kDt, 1e-12);
  EXPECT_NEAR(f.stopTime, 160 * kDt, 1e-12);
  EXPECT_GT(f.mfddFrom, f.brakingStart);
  EXPECT_LT(f.mfddFrom, f.mfddTo);
  EXPECT_LT(f.mfddTo, f.stopTime);
  // The speed falls by 6 m/s2 from v0 at the first braking sample.
  EXPECT_NEAR(f.mfddFrom, 11 * kDt + 0.2 * f.v0 / 6 - kDt / 2, kDt);
  EXPECT_NEAR(f.mfddTo, 11 * kDt + 0.9 * f.v0 / 6 - kDt / 2, kDt);
}

TEST(BrakingAnalysis, RampThenPlateauMatchesTheClosedForm) {
  // The deceleration rises linearly to A over tr and holds until the stop at
  // T, half a sample period after the last braking sample; 80 % of the
  // initial speed is passed while it still rises, so the mean deceleration
  // lies below A.
  const double A = 8, tr = 1.5, T = 2.5 + kDt / 2;
  const int steps = static_cast<int>(std::floor(T / kDt));
  std::vector<double> a(10, 0.0);
  for (int k = 0; k <= steps; ++k) a.push_back(A * std::min(k * kDt / tr, 1.0));
  a.insert(a.end(), 10, 0.0);

  const auto speed = [&](double t) { return t >= tr ? A * (T - t) : A * (T - tr) + A * (tr * tr - t * t) / (2 * tr); };
  const auto distance = [&](double t) { // travelled since t = 0, while on the ramp
    return A * (T - tr) * t + A / (2 * tr) * (tr * tr * t - t * t * t / 3);
  };
  const double stopDistance = distance(tr) + A * (T - tr) * (T - tr) / 2;
  // The phase starts at the foot of the ramp, at t = 0.
  const double v0 = speed(0);
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
  EXPECT_NEAR(f.stoppingDistance, stopDistance, 2e-3);
  EXPECT_NEAR(f.mfdd, mfdd, mfdd * 1e-3);
  EXPECT_NEAR(f.brakingRatio, f.mfdd / 9.81 * 100, 1e-9);
  EXPECT_NEAR(f.brakingTime, (steps + 1) * kDt, 1e-12);
  EXPECT_NEAR(f.mfddFrom, 11 * kDt + tb, kDt / 10);
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

TEST(BrakingAnalysis, NoiseAtRestAroundTheStopBelongsToNoBraking) {
  // A stop of 6 m/s2 between stretches at rest; then the same with the
  // sensor's noise at rest (0.35 to 0.69 m/s2, as the instrument's own
  // records show) before braking and after the stop, and a swing back below
  // zero at the stop.
  const std::vector<double> braking(120, 6.0);
  const TBrakingFigures clean = Figures(AtRestAround(braking, 80));
  std::vector<double> noisy = AtRestAround(braking, 80);
  for (std::size_t i = 3; i < 77; i += 9) noisy[i] = 0.35 + 0.04 * static_cast<double>(i % 9);
  for (std::size_t i = 205; i < noisy.size(); i += 7) noisy[i] = 0.69;
  const double swingBack[] = {-0.8, -1.6, -1.9, -1.2, -0.3, 0.4, 0.7, 0.5, 0.1, -0.2};
  std::copy(std::begin(swingBack), std::end(swingBack), noisy.begin() + 201);
  const TBrakingFigures f = Figures(noisy);
  EXPECT_NEAR(f.brakingStart, clean.brakingStart, 1e-12);
  EXPECT_NEAR(f.stopTime, clean.stopTime, 1e-12);
  // What the noise adds to the speed is its small mean taken as the rest
  // level: within a per cent.
  EXPECT_NEAR(f.v0, clean.v0, clean.v0 * 0.01);
  EXPECT_NEAR(f.mfdd, clean.mfdd, clean.mfdd * 0.01);
}

// Records made from known speed profiles, the figures checked against the
// truth of the profile: within 3 % (MFDD) and 3 km/h (v0) where the noise is
// at most 0.2 m/s2, within 5 % and 4 km/h at 0.4 m/s2; a record cut before
// the stop has none.
TEST(BrakingAnalysis, RealisticRecordsGiveTheFiguresOfTheirSpeedProfile) {
  for (const TBrakingProfile& profile : RealisticBrakingProfiles()) {
    const TBrakingRecord record = MakeBrakingRecord(profile);
    const TBrakingAnalysis analysis = AnalyzeBraking(record.a);
    if (record.cut) {
      EXPECT_EQ(analysis.reason, kEndsBeforeStop) << profile.what;
      EXPECT_FALSE(analysis.figures) << profile.what;
      continue;
    }
    ASSERT_TRUE(analysis.figures) << profile.what << ": " << analysis.reason;
    const TBrakingFigures& f = *analysis.figures;
    const bool quiet = profile.noise <= 0.2;
    EXPECT_NEAR(f.mfdd, record.truth.mfdd, record.truth.mfdd * (quiet ? 0.03 : 0.05)) << profile.what;
    EXPECT_NEAR(f.v0 * kKmhPerMs, record.truth.v0 * kKmhPerMs, quiet ? 3 : 4) << profile.what;
    EXPECT_NEAR(f.stopTime, record.truth.stopTime, (quiet ? 2 : 4) * kDt) << profile.what;
    EXPECT_NEAR(f.restLevel, profile.offset, 0.1) << profile.what;
    EXPECT_LT(f.mfddFrom, f.mfddTo) << profile.what;
  }
}

TEST(BrakingAnalysis, RecordsWithoutAStopAreNotComputable) {
  const auto with = [](std::vector<double> braking, std::vector<double> after) {
    std::vector<double> a(3, 0.0);
    a.insert(a.end(), braking.begin(), braking.end());
    a.insert(a.end(), after.begin(), after.end());
    return a;
  };
  const std::vector<double> plateau(40, 6.0);
  const std::vector<double> rest(10, 0.0);
  const struct {
    const char* what;
    std::vector<double> a;
    const char* reason; // empty: computable
  } cases[] = {
      {"no samples", {}, kNoBraking},
      {"at rest", std::vector<double>(100, 0.0), kNoBraking},
      {"peak just below 1 m/s2", with(std::vector<double>(40, 0.99), rest), kNoBraking},
      {"peak of 1 m/s2", with(std::vector<double>(40, 1.0), rest), ""},
      {"cut while braking", with(plateau, {}), kEndsBeforeStop},
      {"cut in the fall", with(plateau, {3, 1.5}), kEndsBeforeStop},
      {"the stop and three samples at rest", with(plateau, {0.3, 0, 0, 0, 0}), kEndsBeforeStop},
      {"the stop and four samples at rest", with(plateau, {0.3, 0, 0, 0, 0, 0}), ""},
      {"braking again after rest", with(plateau, {0, 0, 0, 0, 0, 0, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6}), kEndsBeforeStop},
      {"7 samples", with(std::vector<double>(7, 6.0), rest), kBrakingTooShort},
      {"8 samples", with(std::vector<double>(8, 6.0), rest), ""},
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
  // Rest at 0..9, braking at 10..49, rest at 50..59; the phase runs from
  // the foot at 9 to the stop at 50.
  const std::vector<double> clean = AtRestAround(std::vector<double>(40, 6.0));
  const TBrakingFigures expected = Figures(clean);
  const struct {
    std::size_t at;
    double value;
    bool damaged;
  } cases[] = {
      {20, nan, true}, {11, nan, true},  {48, -inf, true},  {20, inf, true},
      {9, nan, true},  {50, inf, true},  {2, inf, false},   {2, nan, false},
      {8, nan, false}, {51, nan, false}, {55, -inf, false}, {20, -2000, true}, // drives the speed below zero
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
  // A record without a whole stop that holds such a sample is damaged too.
  std::vector<double> cut(10, 0.0);
  cut.insert(cut.end(), 40, 6.0);
  cut[30] = nan;
  EXPECT_EQ(AnalyzeBraking(cut).reason, kDamagedData);
  // Finite numbers too large to integrate give no infinite figures.
  EXPECT_EQ(AnalyzeBraking(AtRestAround(std::vector<double>(40, 1e300))).reason, kDamagedData);
  // Nor do numbers whose sums overflow while the phase is searched: an
  // acceleration, a deceleration, then a damaged file's samples of either
  // sign, as the measurement file fuzzer found them.
  std::vector<double> overflowing(12, -0.8);
  for (int i = 0; i < 26; ++i) overflowing.push_back(-1.2 - 0.2 * i);
  overflowing.insert(overflowing.end(), 84, -6.8);
  overflowing.insert(overflowing.end(), 44, 6.3);
  const double damaged[] = {6.3372216796875005,       6.3228515625,
                            -2.9187559951465497e+212, 1.5022503113468107e+274,
                            1.1811347748078342e-294,  -6.102528787545033e-306,
                            3.140890147740522e-262,   -1.1154343696825161e+260,
                            3.140890147740521e-262,   -1.1154343696825158e+260,
                            -8.514615877516935e+290,  -2.1638776674334355e-164,
                            -3.486778332047285e+180,  -5.93370839909403e-57,
                            1.471030460755434e+278,   9.958515597578966e+98,
                            1.091601590345189e-286,   -1.5042841829866253e+141,
                            -3.6560030423799855e+251, 7.40732096182489e-233,
                            -1.3775324423957672e-41,  7.407321085125185e-233,
                            1.3504824228356946e+193,  1.3504824228356946e+193,
                            -1.0394734921937004e+30,  3.144186300247028e-20,
                            9.673361776211965e+263,   -1.7109824096787902e-211,
                            -5.874097035044179e+171,  1.3504824228356946e+193,
                            -2.3413318168610874e-282, -7.55913850493874e+100,
                            1.0207570827522233e-303,  4.221820380185706e-91,
                            -5.8740970350441785e+171, -2.3413318168610874e-282,
                            -4.1821786523392073e+242, 7.407321085125186e-233,
                            -1.7109824096787902e-211, -1.3015884958580846e-140,
                            9.673361776211965e+263,   1.7187455188861606e+122,
                            -4.182178652339207e+242,  -1.0394734921937004e+30,
                            -1.3015884958580846e-140, -4.182178652339207e+242,
                            1.7187455188861606e+122,  -2.3413318168610874e-282,
                            5.690262398725167e-162,   -2.3413318168610874e-282,
                            -4.1821786523392073e+242, -5.8740970350441785e+171,
                            5.690262398725168e-162,   1.0207570827522233e-303,
                            -5.8740970350441785e+171, -9.736666145661625e-70,
                            -1.3015884958580846e-140, 3.144186300247028e-20,
                            4.221820380185706e-91,    -1.3015884958580846e-140,
                            -5.874097035044179e+171,  1.7187455188861606e+122,
                            2.394524282628005e+51,    -1.0394734921937004e+30,
                            7.407321085125185e-233,   3.144186300247028e-20,
                            -1.7109824096787902e-211, -2.3413318168610874e-282,
                            9.673361776211965e+263,   -7.55913850493874e+100,
                            9.673361776211965e+263,   9.673361776211965e+263,
                            -4.1821786523392073e+242, -1.3015884958580846e-140,
                            -9.736666145661625e-70,   -1.7109824096787902e-211};
  overflowing.insert(overflowing.end(), std::begin(damaged), std::end(damaged));
  EXPECT_EQ(AnalyzeBraking(overflowing).reason, kDamagedData);
}

TEST(BrakingAnalysis, MeanPedalForceIsTakenOverTheMfddInterval) {
  // The push rises to 50 daN with the deceleration and is held at 50 while
  // the speed falls from 0.8 v0 to 0.1 v0, except for 20 samples at 30 daN;
  // before and after, other forces that must not count.
  TPomiar p;
  p.Probki[1].n = 200;
  for (int i = 21; i <= 170; ++i) {
    p.Probki[i].a = 6;
    p.Probki[i].F = 50;
  }
  for (int i = 1; i <= 35; ++i) p.Probki[i].F = 90;
  for (int i = 171; i <= 200; ++i) p.Probki[i].F = 5;
  const TBrakingAnalysis before = AnalyzeBraking(p);
  ASSERT_TRUE(before.figures) << before.reason;
  const TBrakingFigures& f = *before.figures;
  const int from = static_cast<int>(std::ceil(f.mfddFrom * 40));
  const int to = static_cast<int>(std::floor(f.mfddTo * 40));
  ASSERT_GT(from, 35);
  ASSERT_LT(to, 171);
  EXPECT_DOUBLE_EQ(f.meanPedalForce, 50);
  for (int i = from; i < from + 20; ++i) p.Probki[i].F = 30;
  const TBrakingAnalysis after = AnalyzeBraking(p);
  ASSERT_TRUE(after.figures);
  EXPECT_NEAR(after.figures->meanPedalForce, 50 - 20.0 * 20 / (to - from + 1), 1e-9);
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
  EXPECT_NEAR(analysis.figures->brakingTime, 32 * kDt, 1e-12);

  p.Probki[1].n = 35;
  EXPECT_EQ(AnalyzeBraking(p).reason, kEndsBeforeStop);
  p.Probki[1].n = 0;
  EXPECT_EQ(AnalyzeBraking(p).reason, kNoBraking);
  p.Probki[1].n = -5;
  EXPECT_EQ(AnalyzeBraking(p).reason, kNoBraking);
}

} // namespace
} // namespace zr7
