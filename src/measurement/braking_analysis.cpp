#include "braking_analysis.h"

#include "measurement_curves.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace zr7 {
namespace {

constexpr double kPhaseThreshold = 0.1; // of the peak
constexpr double kLeastPeak = 1.0;      // m/s2
constexpr std::size_t kLeastPhaseSamples = 8;
constexpr double kFullyDevelopedFrom = 0.8; // of the initial speed
constexpr double kFullyDevelopedTo = 0.1;

TBrakingAnalysis NotComputable(const char* reason) { return {std::nullopt, reason}; }

// The distance travelled when the speed has first fallen to `speed`, between
// the two samples around that moment.
double DistanceAtSpeed(const std::vector<double>& v, const std::vector<double>& s, double speed) {
  for (std::size_t i = 1; i < v.size(); ++i) {
    if (v[i] <= speed) {
      const double fraction = (v[i - 1] - speed) / (v[i - 1] - v[i]);
      return s[i - 1] + fraction * (s[i] - s[i - 1]);
    }
  }
  return s.back();
}

} // namespace

TBrakingAnalysis AnalyzeBraking(std::span<const double> a) {
  double peak = 0;
  for (const double value : a) {
    if (value > peak) peak = value;
  }
  if (peak < kLeastPeak) return NotComputable(kNoBraking);

  const double threshold = kPhaseThreshold * peak;
  std::size_t begin = 0;
  while (!(a[begin] >= threshold)) ++begin;
  while (begin > 0 && a[begin - 1] > 0) --begin;
  std::size_t end = a.size() - 1;
  while (!(a[end] >= threshold)) --end;
  while (end + 1 < a.size() && a[end + 1] > 0) ++end;

  const std::span<const double> phase = a.subspan(begin, end - begin + 1);
  for (const double value : phase) {
    if (!std::isfinite(value)) return NotComputable(kDamagedData);
  }
  if (end == a.size() - 1) return NotComputable(kEndsBeforeStop);
  if (phase.size() < kLeastPhaseSamples) return NotComputable(kBrakingTooShort);

  const std::size_t count = phase.size();
  std::vector<double> v(count, 0.0);
  for (std::size_t i = count - 1; i-- > 0;) v[i] = v[i + 1] + (phase[i] + phase[i + 1]) / 2 * kSamplePeriod;
  std::vector<double> s(count, 0.0);
  for (std::size_t i = 1; i < count; ++i) s[i] = s[i - 1] + (v[i - 1] + v[i]) / 2 * kSamplePeriod;

  TBrakingFigures figures;
  figures.v0 = v.front();
  figures.stoppingDistance = s.back();
  figures.brakingTime = static_cast<double>(count - 1) * kSamplePeriod;
  const double vb = kFullyDevelopedFrom * figures.v0;
  const double ve = kFullyDevelopedTo * figures.v0;
  const double sb = DistanceAtSpeed(v, s, vb);
  const double se = DistanceAtSpeed(v, s, ve);
  figures.mfdd = (vb * vb - ve * ve) / (2 * (se - sb));
  figures.brakingRatio = figures.mfdd / kStandardGravity * 100;
  // Values no brake test can give (negative decelerations, numbers too
  // large to integrate) come only from a damaged or foreign file.
  const bool sound = figures.v0 > 0 && se > sb && std::isfinite(figures.mfdd) &&
                     std::isfinite(figures.stoppingDistance) && std::isfinite(figures.brakingRatio);
  if (!sound) return NotComputable(kDamagedData);
  return {figures, {}};
}

TBrakingAnalysis AnalyzeBraking(const TPomiar& pomiar) {
  std::vector<double> a;
  const int count = DisplayedSampleCount(pomiar);
  a.reserve(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) a.push_back(pomiar.Probki[i].a);
  return AnalyzeBraking(a);
}

} // namespace zr7
