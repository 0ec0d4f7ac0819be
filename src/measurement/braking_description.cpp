#include "braking_description.h"

#include "text/number_format.h"

namespace zr7 {

namespace {

std::string DescribeVerdict(const TBrakingVerdict& verdict) {
  if (verdict.outcome == TBrakingVerdict::TOutcome::None) return "verdict: n/a (" + verdict.reason + ")\n";
  std::string out = "required_ratio_pct: " + FormatFixed(verdict.requiredRatioPct, 0, ".") + "\n";
  out += "requirement_source: " + std::string(verdict.source) + "\n";
  out += verdict.outcome == TBrakingVerdict::TOutcome::Pass ? "verdict: pass\n" : "verdict: fail\n";
  return out;
}

} // namespace

std::string DescribeBraking(const TBrakingAnalysis& analysis, const TBrakingVerdict& verdict) {
  if (!analysis.figures) return "mfdd_ms2: n/a (" + analysis.reason + ")\n" + DescribeVerdict(verdict);
  const TBrakingFigures& f = *analysis.figures;
  // Enough decimals that rounding stays far below a per cent of a real stop.
  const std::pair<const char*, std::string> lines[] = {
      {"mfdd_ms2", FormatFixed(f.mfdd, 2, ".")},
      {"braking_ratio_pct", FormatFixed(f.brakingRatio, 1, ".")},
      {"v0_kmh", FormatFixed(f.v0 * kKmhPerMs, 2, ".")},
      {"stopping_distance_m", FormatFixed(f.stoppingDistance, 2, ".")},
      {"braking_time_s", FormatFixed(f.brakingTime, 3, ".")},
      {"mean_pedal_force_daN", FormatFixed(f.meanPedalForce, 1, ".")},
  };
  std::string out;
  for (const auto& [name, value] : lines) ((out += name) += ": ") += value + "\n";
  out += DescribeVerdict(verdict);
  if (verdict.forceAbove) {
    out += "control_force_limit_daN: " + FormatFixed(verdict.forceAbove->maximumDaN, 0, ".") + " (" +
           std::string(verdict.forceAbove->source) + ")\n";
  }
  return out;
}

} // namespace zr7
