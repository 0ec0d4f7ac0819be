#include "measurement/measurement_curves.h"

#include <gtest/gtest.h>

namespace zr7 {
namespace {

TPomiar RecordWith(int count, std::initializer_list<std::pair<double, int>> aAndF) {
  TPomiar p;
  int i = 1;
  for (const auto& [a, f] : aAndF) {
    p.Probki[i].a = a;
    p.Probki[i].F = static_cast<std::int16_t>(f);
    ++i;
  }
  p.Probki[1].n = count;
  return p;
}

TEST(MeasurementCurves, EmptyRecordDrawsOnlyTheMaximumMarksAtZero) {
  const TMeasurementCurves curves = MeasurementCurves(TPomiar{});
  EXPECT_TRUE(curves.force.empty());
  EXPECT_TRUE(curves.deceleration.empty());
  EXPECT_EQ(curves.MaximumMarks(), (std::vector<TPoint>{{-0.025, 0}, {0, 0}, {0.025, 0}}));
}

TEST(MeasurementCurves, CurvesAgainstTimeAndTheFirstOfEqualMaxima) {
  const TMeasurementCurves curves = MeasurementCurves(RecordWith(5, {{1, 10}, {6.5, 57}, {3, 20}, {6.5, 40}, {2, 0}}));
  ASSERT_EQ(curves.force.size(), 5u);
  ASSERT_EQ(curves.deceleration.size(), 5u);
  EXPECT_EQ(curves.force[0], (TPoint{0.025, 10}));
  EXPECT_EQ(curves.force[1], (TPoint{0.05, 57}));
  EXPECT_EQ(curves.deceleration[4], (TPoint{0.125, 2}));
  EXPECT_EQ(curves.amax, 6.5);
  EXPECT_EQ(curves.tmax, 0.05);
  const std::vector<TPoint> marks = curves.MaximumMarks();
  ASSERT_EQ(marks.size(), 3u);
  const double expectedX[] = {0.025, 0.05, 0.075};
  for (int k = 0; k < 3; ++k) {
    EXPECT_DOUBLE_EQ(marks[k].x, expectedX[k]);
    EXPECT_EQ(marks[k].y, 6.5);
  }
}

TEST(MeasurementCurves, CountIsHeldToTheTable) {
  TPomiar p;
  for (int i = 1; i <= 500; ++i) p.Probki[i].a = 1;
  const std::pair<int, std::size_t> cases[] = {{500, 500}, {501, 500}, {70000, 500}, {-1, 0}, {0, 0}, {100, 100}};
  for (const auto& [count, drawn] : cases) {
    p.Probki[1].n = count;
    const TMeasurementCurves curves = MeasurementCurves(p);
    EXPECT_EQ(curves.deceleration.size(), drawn) << count;
  }
  p.Probki[1].n = 500;
  EXPECT_EQ(MeasurementCurves(p).force.back().x, 12.5);
}

TEST(MeasurementCurves, CurveThatNeverRisesLeavesTheMaximumAtZero) {
  const TMeasurementCurves curves = MeasurementCurves(RecordWith(3, {{0, 5}, {0, 5}, {0, 5}}));
  EXPECT_EQ(curves.amax, 0);
  EXPECT_EQ(curves.tmax, 0);
}

} // namespace
} // namespace zr7
