#pragma once

#include "measurement/braking_analysis.h"
#include "measurement/braking_verdict.h"

#include <QString>
#include <QStringList>

namespace zr7 {

// The braking figures in one line for the window's status bar, numbers in
// the user's format. With a verdict, the verdict and the ratio it rests on
// come first, where the narrow panel still shows them ("62 % ≥ 58 %:
// spełnia  MFDD 6,1 m/s2  v0 98 km/h  s 38,1 m"); without one the figures
// alone ("MFDD 5,3 m/s2 (54 %)  v0 98 km/h  s 38,1 m"); empty when there
// are none.
QString BrakingSummary(const TBrakingAnalysis& analysis, const TBrakingVerdict& verdict);

// The hint of that panel: the whole summary with the braking time and the
// pedal force, what the verdict rests on and its source, or why there are
// no figures or no verdict.
QString BrakingHint(const TBrakingAnalysis& analysis, const TBrakingVerdict& verdict);

// The figures as report lines, indented like the results they follow,
// then the verdict with the requirement and its source; one line with the
// reason when there are no figures.
QStringList BrakingReportLines(const TBrakingAnalysis& analysis, const TBrakingVerdict& verdict);

} // namespace zr7
