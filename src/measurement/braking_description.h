#pragma once

#include "braking_analysis.h"
#include "braking_verdict.h"

#include <string>

namespace zr7 {

// The braking figures as "name: value" lines ("." as decimal separator), in
// the units their names carry; "mfdd_ms2: n/a (reason)" when there are none.
// Then the verdict: the minimum it rests on and its source, "verdict: pass",
// "fail" or "n/a (reason)", and a note when the pedal was pushed harder than
// type approval allows.
std::string DescribeBraking(const TBrakingAnalysis& analysis, const TBrakingVerdict& verdict);

} // namespace zr7
