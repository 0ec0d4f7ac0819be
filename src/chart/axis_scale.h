#pragma once

namespace zr7 {

// The smallest and largest of some finite values; empty until the first one.
// Infinities and NaN from a damaged file have no place on an axis.
struct TExtent {
  double minimum = 0;
  double maximum = 0;
  bool empty = true;
  void Include(double value);
};

struct TAxisRange {
  double minimum = 0;
  double maximum = 1;
  bool operator==(const TAxisRange&) const = default;
};

// The range of an automatic axis: exactly the data; 0..1 with no data, and
// one unit either side of a single value so the line is not drawn on the
// frame.
TAxisRange AutomaticRange(const TExtent& data);

// The label step of an axis with `span` values over `axisLength` pixels and
// labels that need `labelExtent` pixels each, gap included: the requested
// step when its labels fit, else the smallest of 2, 5, 10, 20, 50 ... times
// it whose labels fit. A requested step of 0 or less lets the axis choose
// from 1, 2, 5 times a power of ten, starting at a hundredth of the span's
// order of magnitude.
double ReadableLabelStep(double requested, double span, double axisLength, double labelExtent);

// How many decimals show every multiple of `step` (0.1 -> 1, 2.5 -> 1, 5 -> 0).
int LabelDecimals(double step);

// The range `fraction` of the way from `from` to `to` (0 gives from, 1 to).
TAxisRange Interpolate(const TAxisRange& from, const TAxisRange& to, double fraction);

} // namespace zr7
