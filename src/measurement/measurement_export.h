#pragma once

#include "tpomiar.h"

#include <string>

namespace zr7 {

// The largest deceleration [m/s2] and pedal force [daN] of samples 1..count,
// as the tool panel shows them; 0 for a record without samples.
struct TMaxima {
  double a = 0;
  double F = 0;
};
TMaxima Maxima(const TPomiar& pomiar);

// A measurement as "name: value" lines (UTF-8, "." as decimal separator):
// date, time, brake kind, deviation, count, a max, F max, station and vehicle.
// Line breaks inside a text are shown as blanks.
std::string DescribeMeasurement(const TPomiar& pomiar);

// The samples 1..count as CSV: t_s,F_daN,a_ms2,ax_ms2,az_ms2,surX,surZ, with
// the shortest numbers that read back as the same double.
std::string MeasurementCsv(const TPomiar& pomiar);

} // namespace zr7
