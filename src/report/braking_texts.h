#pragma once

#include "measurement/braking_analysis.h"

#include <QString>
#include <QStringList>

namespace zr7 {

// The braking figures in one line for the window's status bar, numbers in
// the user's format ("MFDD 5,3 m/s2 (54 %)  v0 98 km/h  s 38,1 m"); empty
// when there are none.
QString BrakingSummary(const TBrakingAnalysis& analysis);

// The hint of that panel: the whole summary with the braking time, which
// the panel may be too narrow to show, or why there are no figures.
QString BrakingHint(const TBrakingAnalysis& analysis);

// The figures as report lines, indented like the results they follow; one
// line with the reason when there are none.
QStringList BrakingReportLines(const TBrakingAnalysis& analysis);

} // namespace zr7
