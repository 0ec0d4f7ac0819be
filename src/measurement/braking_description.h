#pragma once

#include "braking_analysis.h"

#include <string>

namespace zr7 {

// The braking figures as "name: value" lines ("." as decimal separator), in
// the units their names carry; "mfdd_ms2: n/a (reason)" when there are none.
std::string DescribeBraking(const TBrakingAnalysis& analysis);

} // namespace zr7
