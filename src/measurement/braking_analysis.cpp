#include "braking_analysis.h"

#include "measurement_curves.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace zr7 {
namespace {

constexpr double kLeastPeak = 1.0;             // m/s2
constexpr std::size_t kLeastPhaseSamples = 10; // eight braking samples and the feet
constexpr double kFullyDevelopedFrom = 0.8;    // of the initial speed
constexpr double kFullyDevelopedTo = 0.1;
// A quarter of a second: long enough to average out an ABS cycle (5 to 10
// Hz) and the sensor's noise, short enough to keep the shortest stop.
constexpr std::size_t kLevelWindow = 10;
// Three samples smooth single noise samples off the edges of the phase.
constexpr std::size_t kEdgeWindow = 3;
constexpr double kHeldShare = 0.5;  // of the braking level: the vehicle still brakes
constexpr double kRestShare = 0.15; // of the braking level: the deceleration is back at rest
constexpr double kFootShare = 0.05; // of the braking level: the foot of a slow fall, above the noise
// Samples at rest that must follow the stop for the record to show it.
constexpr std::size_t kRestAfterStop = 4;
// The body swings back for about a second after the stop; those samples
// tell nothing of the sensor's offset.
constexpr std::size_t kPitchBackSamples = 40;
constexpr std::size_t kLeastRestSamples = 8;

TBrakingAnalysis NotComputable(const char* reason) { return {std::nullopt, reason}; }

// The centred mean over `width` samples, over fewer at the record's ends.
std::vector<double> MovingAverage(const std::vector<double>& x, std::size_t width) {
  const std::size_t n = x.size();
  std::vector<double> sums(n + 1, 0.0);
  for (std::size_t i = 0; i < n; ++i) sums[i + 1] = sums[i] + x[i];
  std::vector<double> mean(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t from = i >= width / 2 ? i - width / 2 : 0;
    const std::size_t to = std::min(n, from + width);
    mean[i] = (sums[to] - sums[from]) / static_cast<double>(to - from);
  }
  return mean;
}

double Median(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

// The mean of the values that lie within three standard deviations of their
// median (the deviation taken from the median distance): as steady as a
// mean against the sensor's noise, deaf to the odd sample that is no rest.
double RobustMean(const std::vector<double>& values) {
  const double median = Median(values);
  std::vector<double> distances(values.size());
  std::transform(values.begin(), values.end(), distances.begin(), [&](double x) { return std::abs(x - median); });
  const double reach = 3 * 1.4826 * Median(distances);
  double sum = 0;
  std::size_t count = 0;
  for (const double x : values) {
    if (std::abs(x - median) <= reach) sum += x, ++count;
  }
  return sum / static_cast<double>(count);
}

// Where the braking lies in a record whose rest level has been taken off.
struct TPhase {
  const char* reason = nullptr; // set when there is no whole stop in the record
  std::size_t begin = 0;        // foot of the first rise to braking
  std::size_t stop = 0;         // first sample at rest after the last braking
};

TPhase FindPhase(const std::vector<double>& c) {
  const std::size_t n = c.size();
  if (n == 0) return {kNoBraking};
  const std::vector<double> held = MovingAverage(c, kLevelWindow);
  const double level = *std::max_element(held.begin(), held.end());
  if (!(level >= kLeastPeak)) return {kNoBraking};
  const double heldFrom = kHeldShare * level;
  const double restBelow = kRestShare * level;
  const std::vector<double> edge = MovingAverage(c, kEdgeWindow);

  std::size_t first = 0;
  while (held[first] < heldFrom) ++first;
  std::size_t last = n - 1;
  while (held[last] < heldFrom) --last;

  // The stop: from the last sample still braking at half the level, the
  // first sample back at rest, then on to the foot of the fall but not into
  // the swing back below the rest level.
  std::size_t stop = std::min(n - 1, last + kLevelWindow / 2);
  while (stop > first && edge[stop] < heldFrom) --stop;
  while (stop < n && edge[stop] > restBelow) ++stop;
  if (stop == n) return {kEndsBeforeStop};
  while (stop + 1 < n && edge[stop + 1] < edge[stop] && edge[stop + 1] >= 0 && edge[stop] > kFootShare * level) {
    ++stop;
  }
  if (n - 1 - stop < kRestAfterStop) return {kEndsBeforeStop};
  // The three-sample mean reaches rest a sample late: the stop is the first
  // sample itself at the foot.
  while (stop > first && c[stop - 1] <= std::max(c[stop], 0.0) && c[stop - 1] <= restBelow) --stop;

  // The start: back from the first sample braking at half the level to rest, then down to the foot of
  // the rise, and on to the last sample itself at the foot. A record that
  // starts while braking starts the phase.
  std::size_t rise = first;
  while (rise < last && edge[rise] < heldFrom) ++rise;
  std::size_t begin = rise;
  while (begin > 0 && edge[begin] > restBelow) --begin;
  while (begin > 0 && edge[begin - 1] < edge[begin] && edge[begin - 1] >= 0) --begin;
  while (begin < rise && c[begin + 1] <= std::max(c[begin], 0.0) && c[begin + 1] <= restBelow) ++begin;
  // A rise after the stop: only sums that overflowed, in samples no brake
  // test gives, can put it there.
  if (begin > stop) return {kDamagedData};
  return {nullptr, begin, stop};
}

// The sensor's reading at rest: the robust mean of the samples before the phase
// and of those after the body has settled from the stop; when there are too
// few, of every sample that does not brake.
double RestLevel(const std::vector<double>& a, const TPhase& phase, double heldFrom) {
  std::vector<double> rest;
  if (!phase.reason) {
    rest.assign(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(phase.begin));
    if (phase.stop + kPitchBackSamples < a.size()) {
      rest.insert(rest.end(), a.begin() + static_cast<std::ptrdiff_t>(phase.stop + kPitchBackSamples), a.end());
    }
  }
  if (rest.size() < kLeastRestSamples) {
    rest.clear();
    const std::vector<double> held = MovingAverage(a, kLevelWindow);
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (held[i] < heldFrom) rest.push_back(a[i]);
    }
  }
  if (rest.size() < kLeastRestSamples) return 0.0;
  // The instrument's deceleration is the size of the measured acceleration,
  // cut off at zero: at rest it is the noise of that size, which does not
  // add to a deceleration, and no offset. Such a record never goes below
  // zero and sits at exactly zero in many samples at rest.
  const bool cutAtZero = std::none_of(rest.begin(), rest.end(), [](double x) { return x < 0; }) &&
                         static_cast<std::size_t>(std::count(rest.begin(), rest.end(), 0.0)) >= rest.size() / 4;
  return cutAtZero ? 0.0 : RobustMean(rest);
}

std::vector<double> LessRest(const std::vector<double>& a, double restLevel) {
  std::vector<double> c(a.size());
  std::transform(a.begin(), a.end(), c.begin(), [&](double x) { return x - restLevel; });
  return c;
}

// The distance travelled when the speed has first fallen to `speed`, and the
// sample position of that moment, between the two samples around it.
struct TAtSpeed {
  double distance = 0;
  double position = 0;
};
TAtSpeed AtSpeed(const std::vector<double>& v, const std::vector<double>& s, double speed) {
  for (std::size_t i = 1; i < v.size(); ++i) {
    if (v[i] <= speed) {
      const double fraction = (v[i - 1] - speed) / (v[i - 1] - v[i]);
      return {s[i - 1] + fraction * (s[i] - s[i - 1]), static_cast<double>(i - 1) + fraction};
    }
  }
  return {s.back(), static_cast<double>(v.size() - 1)};
}

double TimeOf(double index) { return (index + 1) * kSamplePeriod; }

} // namespace

TBrakingAnalysis AnalyzeBraking(std::span<const double> a) {
  // Samples that are no numbers are searched as rest; inside the phase they
  // make the record damaged.
  std::vector<double> finite(a.begin(), a.end());
  bool damaged = false;
  for (double& x : finite) {
    if (!std::isfinite(x)) x = 0, damaged = true;
  }
  // The rest level is taken from around the phase, which is found again
  // once the rest level is off.
  const std::vector<double> held = MovingAverage(finite, kLevelWindow);
  const double rawLevel = held.empty() ? 0.0 : *std::max_element(held.begin(), held.end());
  double restLevel = RestLevel(finite, TPhase{kNoBraking}, kHeldShare * rawLevel);
  TPhase phase = FindPhase(LessRest(finite, restLevel));
  if (!phase.reason) {
    restLevel = RestLevel(finite, phase, kHeldShare * rawLevel);
    phase = FindPhase(LessRest(finite, restLevel));
  }
  // Without a whole stop, a record with such samples is told as damaged.
  if (phase.reason) return NotComputable(damaged ? kDamagedData : phase.reason);

  const std::span<const double> raw = a.subspan(phase.begin, phase.stop - phase.begin + 1);
  if (!std::all_of(raw.begin(), raw.end(), [](double x) { return std::isfinite(x); })) {
    return NotComputable(kDamagedData);
  }
  if (raw.size() < kLeastPhaseSamples) return NotComputable(kBrakingTooShort);
  const std::vector<double> c = LessRest(std::vector<double>(raw.begin(), raw.end()), restLevel);

  const std::size_t count = c.size();
  std::vector<double> v(count, 0.0);
  for (std::size_t i = count - 1; i-- > 0;) v[i] = v[i + 1] + (c[i] + c[i + 1]) / 2 * kSamplePeriod;
  std::vector<double> s(count, 0.0);
  for (std::size_t i = 1; i < count; ++i) s[i] = s[i - 1] + (v[i - 1] + v[i]) / 2 * kSamplePeriod;

  TBrakingFigures figures;
  figures.v0 = v.front();
  figures.stoppingDistance = s.back();
  figures.brakingTime = static_cast<double>(count - 1) * kSamplePeriod;
  figures.restLevel = restLevel;
  figures.brakingStart = TimeOf(static_cast<double>(phase.begin));
  figures.stopTime = TimeOf(static_cast<double>(phase.stop));
  const double vb = kFullyDevelopedFrom * figures.v0;
  const double ve = kFullyDevelopedTo * figures.v0;
  const TAtSpeed from = AtSpeed(v, s, vb);
  const TAtSpeed to = AtSpeed(v, s, ve);
  figures.mfddFrom = TimeOf(static_cast<double>(phase.begin) + from.position);
  figures.mfddTo = TimeOf(static_cast<double>(phase.begin) + to.position);
  figures.mfdd = (vb * vb - ve * ve) / (2 * (to.distance - from.distance));
  figures.brakingRatio = figures.mfdd / kStandardGravity * 100;
  // Values no brake test can give (numbers too large to integrate, speeds
  // that rise on the way to the stop) come only from a damaged or foreign
  // file.
  const bool sound = figures.v0 > 0 && to.distance > from.distance && std::isfinite(figures.mfdd) &&
                     std::isfinite(figures.stoppingDistance) && std::isfinite(figures.brakingRatio);
  if (!sound) return NotComputable(kDamagedData);
  return {figures, {}};
}

TBrakingAnalysis AnalyzeBraking(const TPomiar& pomiar) {
  std::vector<double> a;
  const int count = DisplayedSampleCount(pomiar);
  a.reserve(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) a.push_back(pomiar.Probki[i].a);
  TBrakingAnalysis analysis = AnalyzeBraking(a);
  if (analysis.figures) {
    TBrakingFigures& f = *analysis.figures;
    double sum = 0;
    int samples = 0;
    for (int i = 1; i <= count; ++i) {
      const double t = i * kSamplePeriod;
      if (t >= f.mfddFrom && t <= f.mfddTo) sum += pomiar.Probki[i].F, ++samples;
    }
    // An interval shorter than a sample period holds the nearest sample.
    const int nearest = std::clamp(static_cast<int>(std::lround(f.mfddFrom / kSamplePeriod)), 1, count);
    f.meanPedalForce = samples > 0 ? sum / samples : pomiar.Probki[nearest].F;
  }
  return analysis;
}

TBrakingAnalysis AnalyzeReadBraking(const TPomiar& pomiar, bool readComplete) {
  return readComplete ? AnalyzeBraking(pomiar) : NotComputable(kIncompleteRead);
}

} // namespace zr7
