#include "braking_marks.h"

#include <algorithm>

namespace zr7 {
namespace {

// The curve's value at x, on the straight line between its samples.
double ValueAt(const std::vector<TPoint>& curve, double x) {
  const auto after = std::lower_bound(curve.begin(), curve.end(), x, [](const TPoint& p, double v) { return p.x < v; });
  if (after == curve.begin()) return curve.front().y;
  if (after == curve.end()) return curve.back().y;
  const TPoint& b = *after;
  const TPoint& a = *(after - 1);
  return a.y + (x - a.x) / (b.x - a.x) * (b.y - a.y);
}

} // namespace

TBrakingMarks BrakingMarks(const TMeasurementCurves& curves, const TBrakingAnalysis& analysis) {
  TBrakingMarks marks;
  if (!analysis.figures || curves.deceleration.empty()) return marks;
  const TBrakingFigures& f = *analysis.figures;
  const std::vector<TPoint>& curve = curves.deceleration;
  marks.interval.push_back({f.mfddFrom, ValueAt(curve, f.mfddFrom)});
  for (const TPoint& p : curve) {
    if (p.x > f.mfddFrom && p.x < f.mfddTo) marks.interval.push_back(p);
  }
  marks.interval.push_back({f.mfddTo, ValueAt(curve, f.mfddTo)});
  marks.mfddLevel = {{f.mfddFrom, f.mfdd}, {f.mfddTo, f.mfdd}};
  marks.stop = {{f.stopTime, 0}, {f.stopTime, curves.amax}};
  return marks;
}

} // namespace zr7
