#pragma once

#include "tpomiar.h"

#include <vector>

namespace zr7 {

constexpr double kSamplesPerSecond = 40;
constexpr double kSamplePeriod = 1 / kSamplesPerSecond;

struct TPoint {
  double x = 0;
  double y = 0;
  bool operator==(const TPoint&) const = default;
};

// What the chart shows of a record: force and deceleration against time for
// samples 1 to the count held in sample 1, and the largest deceleration with
// the time of its first occurrence.
struct TMeasurementCurves {
  std::vector<TPoint> force;
  std::vector<TPoint> deceleration;
  double amax = 0;
  double tmax = 0;

  // One sample period before, at and after the maximum, drawn on the red
  // curve so the peak stands out.
  std::vector<TPoint> MaximumMarks() const;
};

// The larger of a curve's largest value so far and its next value, where a
// NaN counts as smaller than any number, so one damaged sample cannot hide
// the largest real value. The chart's series and the command line take the
// maxima they show this way.
double LargerOf(double largest, double y);

// A count outside 0..500 can only come from a foreign file; the table ends
// at sample 500, so the count is held to that range.
int DisplayedSampleCount(const TPomiar& pomiar);

TMeasurementCurves MeasurementCurves(const TPomiar& pomiar);

} // namespace zr7
