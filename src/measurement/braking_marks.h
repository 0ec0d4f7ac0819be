#pragma once

#include "braking_analysis.h"
#include "measurement_curves.h"

#include <vector>

namespace zr7 {

// Where the braking figures come from, drawn over the deceleration curve.
struct TBrakingMarks {
  // The curve from 0.8 v0 to 0.1 v0, its ends interpolated between samples:
  // the area under it is shaded.
  std::vector<TPoint> interval;
  // The mean fully developed deceleration across that interval (dashed).
  std::vector<TPoint> mfddLevel;
  // A vertical line at the stop, from zero to the curve's peak.
  std::vector<TPoint> stop;
};

// The marks of a record's figures on its deceleration curve as the chart
// draws it; none without figures.
TBrakingMarks BrakingMarks(const TMeasurementCurves& curves, const TBrakingAnalysis& analysis);

} // namespace zr7
