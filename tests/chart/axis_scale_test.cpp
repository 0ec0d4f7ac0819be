#include "chart/axis_scale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zr7 {
namespace {

struct TStepCase {
  std::string name;
  double requested, span, axisLength, labelExtent;
  double expected;
};

TEST(AxisScaleTest, LabelStepIsTheRequestedOneOrTheSmallestReadableMultiple) {
  const std::vector<TStepCase> cases = {
      {"requested step fits", 0.1, 1.0, 800, 30, 0.1},
      {"12.5 s at 0.1 on a wide chart", 0.1, 12.5, 800, 30, 0.5},
      {"12.5 s at 0.1 on a narrow chart", 0.1, 12.5, 300, 30, 2},
      {"exactly fitting labels", 0.1, 12.5, 26 * 30, 30, 0.5},
      {"one pixel short", 0.1, 12.5, 26 * 30 - 1, 30, 1},
      {"step beyond the span", 1, 0.5, 10, 100, 1},
      {"no room at all stops at the span", 1, 10, 10, 100, 10},
      {"axis not laid out yet", 0.1, 12.5, 0, 30, 0.1},
      {"chosen step for 0..10", 0, 10, 400, 21, 1},
      {"chosen step for a small span", 0, 0.04, 400, 21, 0.005},
  };
  for (const TStepCase& c : cases) {
    EXPECT_DOUBLE_EQ(ReadableLabelStep(c.requested, c.span, c.axisLength, c.labelExtent), c.expected) << c.name;
  }
}

TEST(AxisScaleTest, LabelDecimalsShowEveryMultipleOfTheStep) {
  const std::vector<std::pair<double, int>> cases = {
      {1, 0}, {5, 0}, {20, 0}, {0.1, 1}, {0.1 * 2, 1}, {0.1 * 3, 1}, {0.5, 1}, {2.5, 1}, {0.25, 2}, {0.005, 3},
  };
  for (const auto& [step, decimals] : cases) EXPECT_EQ(LabelDecimals(step), decimals) << step;
}

TEST(AxisScaleTest, AutomaticRangeFitsTheData) {
  EXPECT_EQ(AutomaticRange(TExtent{}), (TAxisRange{0, 1}));
  TExtent one;
  one.Include(3);
  EXPECT_EQ(AutomaticRange(one), (TAxisRange{2, 4}));
  TExtent several;
  for (double v : {0.025, -1.5, 12.5, 3.0}) several.Include(v);
  EXPECT_EQ(AutomaticRange(several), (TAxisRange{-1.5, 12.5}));
}

} // namespace
} // namespace zr7
