#include "measurement_curves.h"

#include <algorithm>
#include <cmath>

namespace zr7 {

std::vector<TPoint> TMeasurementCurves::MaximumMarks() const {
  return {{tmax - kSamplePeriod, amax}, {tmax, amax}, {tmax + kSamplePeriod, amax}};
}

double LargerOf(double largest, double y) {
  if (std::isnan(largest)) return y;
  return y > largest ? y : largest;
}

int DisplayedSampleCount(const TPomiar& pomiar) { return std::clamp(pomiar.Probki[1].n, 0, TProbki::kCount); }

TMeasurementCurves MeasurementCurves(const TPomiar& pomiar) {
  TMeasurementCurves curves;
  const int count = DisplayedSampleCount(pomiar);
  curves.force.reserve(count);
  curves.deceleration.reserve(count);
  for (int i = 1; i <= count; ++i) {
    const double t = i / kSamplesPerSecond;
    const TProbka& sample = pomiar.Probki[i];
    curves.force.push_back({t, static_cast<double>(sample.F)});
    curves.deceleration.push_back({t, sample.a});
    if (sample.a > curves.amax) {
      curves.amax = sample.a;
      curves.tmax = t;
    }
  }
  return curves;
}

} // namespace zr7
