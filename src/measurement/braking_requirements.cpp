#include "braking_verdict.h"

namespace zr7 {

// The minimum braking ratios and control force limits by which tests are
// judged. A figure goes in only once it has been read in the act itself,
// with the act, annex and item as its source: the summaries that circulate
// among stations differ by country and date. Until then every test is
// shown with its figures and without a verdict.
std::span<const TBrakingRequirement> BrakingRequirements() { return {}; }
std::span<const TControlForceLimit> ControlForceLimits() { return {}; }

} // namespace zr7
