#include "chart/series_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace zr7 {
namespace {

std::vector<TPoint> Filled(const std::vector<TPoint>& added) {
  TSeriesPoints points;
  for (const TPoint& p : added) points.Add(p.x, p.y);
  return points.All();
}

struct TOrderCase {
  std::string name;
  std::vector<TPoint> added;
  std::vector<TPoint> expected;
};

TEST(SeriesPointsTest, KeepsPointsOrderedByXAndEqualXInAddingOrder) {
  const std::vector<TOrderCase> cases = {
      {"ascending x is appended", {{0, 1}, {1, 2}, {2, 3}}, {{0, 1}, {1, 2}, {2, 3}}},
      {"equal x is appended", {{1, 1}, {1, 2}, {1, 3}}, {{1, 1}, {1, 2}, {1, 3}}},
      {"smaller x goes in the middle", {{0, 0}, {2, 2}, {1, 1}}, {{0, 0}, {1, 1}, {2, 2}}},
      {"smallest x goes first", {{1, 1}, {2, 2}, {0, 5}}, {{0, 5}, {1, 1}, {2, 2}}},
      {"inserted after the equal x already there",
       {{1, 10}, {2, 20}, {1, 11}, {1, 12}},
       {{1, 10}, {1, 11}, {1, 12}, {2, 20}}},
      {"before the first of several equal x", {{1, 10}, {1, 11}, {0, 1}}, {{0, 1}, {1, 10}, {1, 11}}},
      // The three points around the largest deceleration: with no samples
      // (a count of 0) they are all that is drawn.
      {"maximum marks alone", {{-0.025, 0}, {0, 0}, {0.025, 0}}, {{-0.025, 0}, {0, 0}, {0.025, 0}}},
      // Largest deceleration at the first sample: one mark before all
      // samples, the others each after the sample with the same time.
      {"maximum marks among samples",
       {{0.025, 5}, {0.05, 1}, {0.075, 0}, {0.0, 5}, {0.025, 5}, {0.05, 5}},
       {{0.0, 5}, {0.025, 5}, {0.025, 5}, {0.05, 1}, {0.05, 5}, {0.075, 0}}},
  };
  for (const TOrderCase& c : cases) {
    EXPECT_EQ(Filled(c.added), c.expected) << c.name;
  }
}

// Adding one point at a time by the rule gives what a stable sort by x of
// all added points gives; many ties make the order of equal x matter.
TEST(SeriesPointsTest, AgreesWithAStableSortOnRandomPoints) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> x(0, 9);
  for (int round = 0; round < 200; ++round) {
    std::vector<TPoint> added;
    for (int i = 0; i < 30; ++i) added.push_back({x(random) * 0.025, double(i)});
    std::vector<TPoint> expected = added;
    std::stable_sort(expected.begin(), expected.end(), [](const TPoint& a, const TPoint& b) { return a.x < b.x; });
    ASSERT_EQ(Filled(added), expected) << "round " << round;
  }
}

TEST(SeriesPointsTest, MaxYIsTheLargestYAndZeroWhenEmpty) {
  TSeriesPoints points;
  EXPECT_EQ(points.MaxY(), 0);
  points.Add(0, -3);
  points.Add(1, -1);
  points.Add(0.5, -2);
  EXPECT_EQ(points.MaxY(), -1);
  points.Add(-1, 4); // inserted first
  EXPECT_EQ(points.MaxY(), 4);
  points.Clear();
  EXPECT_EQ(points.Count(), 0);
  EXPECT_EQ(points.MaxY(), 0);
  points.Add(0, -5);
  EXPECT_EQ(points.MaxY(), -5);
}

} // namespace
} // namespace zr7
