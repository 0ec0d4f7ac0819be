#include "chart/series_points.h"

#include <algorithm>

namespace zr7 {

void TSeriesPoints::Clear() {
  points_.clear();
  maxY_ = 0;
}

void TSeriesPoints::Add(double x, double y) {
  maxY_ = points_.empty() ? y : LargerOf(maxY_, y);
  if (points_.empty() || x >= points_.back().x) {
    points_.push_back({x, y});
    return;
  }
  const auto after =
      std::upper_bound(points_.begin(), points_.end(), x, [](double value, const TPoint& p) { return value < p.x; });
  points_.insert(after, {x, y});
}

double TSeriesPoints::MaxY() const { return maxY_; }

} // namespace zr7
