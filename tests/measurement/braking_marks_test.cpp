#include "measurement/braking_marks.h"

#include <gtest/gtest.h>

namespace zr7 {
namespace {

TEST(BrakingMarks, MarkTheIntervalTheLevelAndTheStopOnTheCurve) {
  // At rest, a rise over 10 samples to 6 m/s2, held, at rest again.
  TPomiar p;
  p.Probki[1].n = 200;
  for (int i = 21; i <= 150; ++i) p.Probki[i].a = i < 31 ? 0.6 * (i - 20) : 6.0;
  const TMeasurementCurves curves = MeasurementCurves(p);
  const TBrakingAnalysis analysis = AnalyzeBraking(p);
  ASSERT_TRUE(analysis.figures) << analysis.reason;
  const TBrakingFigures& f = *analysis.figures;
  const TBrakingMarks marks = BrakingMarks(curves, analysis);

  ASSERT_GE(marks.interval.size(), 3u);
  EXPECT_DOUBLE_EQ(marks.interval.front().x, f.mfddFrom);
  EXPECT_DOUBLE_EQ(marks.interval.back().x, f.mfddTo);
  for (std::size_t i = 1; i < marks.interval.size(); ++i) {
    EXPECT_LT(marks.interval[i - 1].x, marks.interval[i].x);
    EXPECT_NEAR(marks.interval[i].y, 6.0, 1e-9) << "the interval lies on the plateau";
  }
  // The ends lie on the curve: on the rise when 0.8 v0 is passed on it.
  const double from = f.mfddFrom * 40;
  const double expectedFrom = from >= 30 ? 6.0 : 0.6 * (from - 20);
  EXPECT_NEAR(marks.interval.front().y, expectedFrom, 1e-9);
  EXPECT_EQ(marks.mfddLevel, (std::vector<TPoint>{{f.mfddFrom, f.mfdd}, {f.mfddTo, f.mfdd}}));
  EXPECT_EQ(marks.stop, (std::vector<TPoint>{{f.stopTime, 0}, {f.stopTime, 6.0}}));
  EXPECT_NEAR(f.stopTime, 151 / 40.0, 1e-12);

  const TBrakingMarks none = BrakingMarks(curves, TBrakingAnalysis{std::nullopt, kEndsBeforeStop});
  EXPECT_TRUE(none.interval.empty());
  EXPECT_TRUE(none.mfddLevel.empty());
  EXPECT_TRUE(none.stop.empty());
}

} // namespace
} // namespace zr7
