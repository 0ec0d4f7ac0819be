#include "chart/axis_scale.h"

#include <algorithm>
#include <cmath>

namespace zr7 {

void TExtent::Include(double value) {
  if (!std::isfinite(value)) return;
  minimum = empty ? value : std::min(minimum, value);
  maximum = empty ? value : std::max(maximum, value);
  empty = false;
}

TAxisRange AutomaticRange(const TExtent& data) {
  if (data.empty) return {0, 1};
  if (data.minimum == data.maximum) return {data.minimum - 1, data.maximum + 1};
  return {data.minimum, data.maximum};
}

namespace {

bool LabelsFit(double step, double span, double axisLength, double labelExtent) {
  const double labels = std::floor(span / step + 1e-9) + 1;
  return labels * labelExtent <= axisLength;
}

} // namespace

double ReadableLabelStep(double requested, double span, double axisLength, double labelExtent) {
  double base = requested;
  if (!(base > 0)) base = std::pow(10.0, std::floor(std::log10(span > 0 && std::isfinite(span) ? span : 1)) - 2);
  if (!(span > 0) || !std::isfinite(span) || !(axisLength > 0)) return base;
  constexpr double kMultipliers[] = {1, 2, 5};
  for (double decade = 1;; decade *= 10) {
    for (double multiplier : kMultipliers) {
      const double step = base * multiplier * decade;
      // One label always fits as well as it ever will.
      if (step >= span || LabelsFit(step, span, axisLength, labelExtent)) return step;
    }
  }
}

int LabelDecimals(double step) {
  constexpr int kMostDecimals = 6;
  double scaled = std::fabs(step);
  for (int decimals = 0; decimals < kMostDecimals; ++decimals, scaled *= 10) {
    if (std::fabs(scaled - std::round(scaled)) < 1e-9 * std::max(1.0, scaled)) return decimals;
  }
  return kMostDecimals;
}

TAxisRange Interpolate(const TAxisRange& from, const TAxisRange& to, double fraction) {
  if (fraction >= 1) return to;
  return {from.minimum + (to.minimum - from.minimum) * fraction, from.maximum + (to.maximum - from.maximum) * fraction};
}

} // namespace zr7
