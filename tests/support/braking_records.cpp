#include "braking_records.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace zr7 {
namespace {

constexpr double kDt = 0.025;
constexpr int kSteps = 50; // integration steps per sample
constexpr int kMostSamples = 500;

double Smoothstep(double x) {
  x = std::clamp(x, 0.0, 1.0);
  return x * x * (3 - 2 * x);
}

// The vehicle's deceleration `t` seconds after braking began, while it moves.
double VehicleDeceleration(const TBrakingProfile& p, double t) {
  if (t < 0) return 0;
  double d = p.level * Smoothstep(t / p.rise);
  if (p.pumpAt >= 0) {
    // Released over 0.2 s, off for 0.2 s, applied again over 0.3 s.
    const double u = t - p.pumpAt;
    const double released = Smoothstep(u / 0.2) * (1 - Smoothstep((u - 0.4) / 0.3));
    d *= 1 - 0.9 * released;
  }
  if (p.absAmplitude > 0 && t > p.rise) d += p.absAmplitude * std::sin(2 * std::numbers::pi * p.absHz * (t - p.rise));
  return d;
}

} // namespace

TBrakingRecord MakeBrakingRecord(const TBrakingProfile& p) {
  // The motion, finely stepped: the speed from v0 until it reaches zero.
  const double h = kDt / kSteps;
  std::vector<double> speed = {p.v0Kmh / 3.6}; // at t = k h after braking began
  std::vector<double> distance = {0};
  while (speed.back() > 0) {
    const double t = static_cast<double>(speed.size() - 1) * h;
    const double d = (VehicleDeceleration(p, t) + VehicleDeceleration(p, t + h)) / 2;
    const double v = std::max(speed.back() - d * h, 0.0);
    distance.push_back(distance.back() + (speed.back() + v) / 2 * h);
    speed.push_back(v);
  }
  const double brakingTime = static_cast<double>(speed.size() - 1) * h;
  const auto speedAt = [&](double t) {
    const std::size_t k = std::min(static_cast<std::size_t>(std::max(t, 0.0) / h), speed.size() - 1);
    return speed[k];
  };

  TBrakingRecord record;
  // Sample i lies at (i + 1) kDt on the record's time base; braking begins
  // at restBefore.
  const double recordEnd =
      p.cutBeforeStop >= 0 ? p.restBefore + brakingTime - p.cutBeforeStop : p.restBefore + brakingTime + p.restAfter;
  const int samples = std::min(kMostSamples, static_cast<int>(recordEnd / kDt));
  record.cut = p.cutBeforeStop >= 0;
  std::mt19937 random(p.seed);
  std::normal_distribution<double> noise(0.0, p.noise > 0 ? p.noise : 1.0);
  const double stop = p.restBefore + brakingTime;
  for (int i = 0; i < samples; ++i) {
    const double t = (i + 1) * kDt;
    double a = t < stop ? VehicleDeceleration(p, t - p.restBefore) : 0.0;
    if (p.pitchBack > 0 && t >= stop) {
      const double u = t - stop;
      a -= p.pitchBack * std::exp(-3 * u) * std::sin(2 * std::numbers::pi * p.pitchBackHz * u + 0.5);
    }
    a += p.offset + (p.noise > 0 ? noise(random) : 0.0);
    record.a.push_back(a);
  }

  // The truth: v0 at the first sample of the braking, MFDD between 0.8 and
  // 0.1 of it from the motion's own distances.
  const double firstBraking = std::max(p.restBefore, kDt);
  const double t0 = firstBraking - p.restBefore;
  record.truth.v0 = speedAt(t0);
  record.truth.stopTime = stop;
  const double vb = 0.8 * record.truth.v0, ve = 0.1 * record.truth.v0;
  const auto distanceAt = [&](double v) {
    std::size_t k = static_cast<std::size_t>(t0 / h);
    while (k + 1 < speed.size() && speed[k + 1] > v) ++k;
    const double f = (speed[k] - v) / (speed[k] - speed[k + 1]);
    return distance[k] + f * (distance[k + 1] - distance[k]);
  };
  record.truth.mfdd = (vb * vb - ve * ve) / (2 * (distanceAt(ve) - distanceAt(vb)));
  return record;
}

std::vector<TBrakingProfile> RealisticBrakingProfiles() {
  std::vector<TBrakingProfile> profiles;
  const auto add = [&](TBrakingProfile p) {
    p.seed = static_cast<unsigned>(profiles.size() + 1);
    profiles.push_back(p);
  };
  add({.what = "clean stop from 60 km/h"});
  add({.what = "noise 0.05", .noise = 0.05});
  add({.what = "noise 0.2, offset +0.3", .v0Kmh = 80, .level = 7, .noise = 0.2, .offset = 0.3});
  add({.what = "noise 0.2, offset -0.3", .v0Kmh = 50, .level = 5, .noise = 0.2, .offset = -0.3});
  add({.what = "noise 0.4, offset +0.2", .v0Kmh = 70, .level = 6.5, .noise = 0.4, .offset = 0.2});
  add({.what = "swing back -1 at 1 Hz", .noise = 0.1, .pitchBack = 1, .pitchBackHz = 1});
  add({.what = "swing back -2 at 2 Hz, offset 0.2",
       .v0Kmh = 70,
       .level = 7,
       .noise = 0.15,
       .offset = 0.2,
       .pitchBack = 2,
       .pitchBackHz = 2});
  add({.what = "0.5 s at rest after the stop", .restAfter = 0.5, .noise = 0.2, .pitchBack = 1.5});
  add({.what = "5 s at rest after the stop",
       .v0Kmh = 50,
       .restAfter = 5,
       .noise = 0.2,
       .offset = 0.1,
       .pitchBack = 1.5});
  add({.what = "ABS +-1 at 5 Hz",
       .v0Kmh = 80,
       .level = 7,
       .noise = 0.1,
       .absAmplitude = 1,
       .absHz = 5,
       .pitchBack = 1.5});
  add({.what = "ABS +-1 at 10 Hz, low grip",
       .v0Kmh = 50,
       .level = 3.5,
       .noise = 0.2,
       .offset = 0.15,
       .absAmplitude = 1,
       .absHz = 10,
       .pitchBack = 1});
  add({.what = "brake pumped once", .v0Kmh = 70, .level = 6, .noise = 0.15, .pitchBack = 1.5, .pumpAt = 1.0});
  add({.what = "parking brake 1.5 m/s2",
       .v0Kmh = 30,
       .level = 1.5,
       .rise = 1.0,
       .restAfter = 1.5,
       .noise = 0.1,
       .offset = 0.2,
       .pitchBack = 1});
  add({.what = "parking brake 2 m/s2, noise 0.2",
       .v0Kmh = 30,
       .level = 2,
       .rise = 0.8,
       .restAfter = 1.5,
       .noise = 0.2,
       .offset = -0.2,
       .pitchBack = 1});
  add({.what = "parking brake 3 m/s2, swing back -2",
       .v0Kmh = 40,
       .level = 3,
       .rise = 0.6,
       .noise = 0.2,
       .pitchBack = 2,
       .pitchBackHz = 2});
  add({.what = "starts while braking",
       .v0Kmh = 70,
       .level = 6.5,
       .restBefore = -0.5,
       .noise = 0.15,
       .offset = 0.2,
       .pitchBack = 1.5});
  add({.what = "cut at full braking", .v0Kmh = 70, .noise = 0.15, .cutBeforeStop = 1.5});
  add({.what = "cut 0.2 s before the stop", .v0Kmh = 70, .noise = 0.15, .cutBeforeStop = 0.2});
  add({.what = "cut, parking brake",
       .v0Kmh = 30,
       .level = 2,
       .rise = 0.8,
       .noise = 0.2,
       .offset = 0.2,
       .cutBeforeStop = 1});
  add({.what = "cut after a pumped brake", .v0Kmh = 80, .noise = 0.15, .pumpAt = 1.0, .cutBeforeStop = 1.0});
  return profiles;
}

} // namespace zr7
