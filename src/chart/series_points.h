#pragma once

#include "measurement/measurement_curves.h"

#include <vector>

namespace zr7 {

// The points of one chart series, kept sorted by x. A point whose x is not
// smaller than the last one's is appended; any other goes after the last
// point whose x is smaller than or equal to its own, so points with equal x
// keep the order in which they were added.
class TSeriesPoints {
public:
  void Clear();
  void Add(double x, double y);
  int Count() const { return static_cast<int>(points_.size()); }
  const TPoint& At(int index) const { return points_.at(index); }
  const std::vector<TPoint>& All() const { return points_; }
  double MaxY() const; // 0 when empty; NaN only when every y is NaN

private:
  std::vector<TPoint> points_;
  double maxY_ = 0;
};

} // namespace zr7
