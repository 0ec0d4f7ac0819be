#include "sim_bank.h"

#include <algorithm>
#include <cmath>

namespace zr7::sim {
namespace {

constexpr double kGravity = 9.81;
constexpr double kCountsPerMs2 = 2048 / (3 * kGravity);
// The Z axis reads 0.99 of the true value, so gravity is this many counts.
constexpr double kGravityCountsZ = kGravity * kCountsPerMs2 / 0.99;

// Small deterministic noise, the same on every run.
class TNoise {
public:
  explicit TNoise(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
  // Uniform in [-1, 1].
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / (1u << 23) - 1;
  }

private:
  std::uint32_t state_;
};

// 0 before `start`, 1 after `start + length`, smooth between.
double Ramp(double t, double start, double length) {
  const double x = std::clamp((t - start) / length, 0.0, 1.0);
  return x * x * (3 - 2 * x);
}

std::int32_t Pack(int high, int low) { return high * 256 + low; }

} // namespace

TSimBank EncodeBank(const TSimTest& test) {
  TSimBank bank;
  bank.header[0] = {Pack(test.day, test.month), Pack(test.year, test.hour), Pack(test.minute, test.second)};
  bank.header[1] = {test.count - 100, test.angleMilliradians, test.accelerationCenti};
  bank.header[2] = {Pack(test.brakeKind, test.deviationDecimetres), 0, 0};
  bank.samples = test.samples;
  return bank;
}

TSimTest GeneratedTest(int bank) {
  static constexpr int kCounts[kBanks] = {140, 100, 240, 320, 400, 500, 180, 260, 360, 450, 220, 500};
  TSimTest test;
  test.day = static_cast<std::uint8_t>(3 + 2 * bank);
  test.month = static_cast<std::uint8_t>(bank % 12 + 1);
  test.year = static_cast<std::uint8_t>(bank == 2 ? 6 : 18 + bank % 7);
  test.hour = static_cast<std::uint8_t>(7 + bank);
  test.minute = static_cast<std::uint8_t>(5 * bank % 60);
  test.second = static_cast<std::uint8_t>(7 * bank % 60);
  test.count = kCounts[bank - 1];
  test.angleMilliradians = 770 + 7 * bank % 30;
  test.accelerationCenti = -50 + 9 * (bank - 1);
  test.brakeKind = static_cast<std::uint8_t>(bank == 11 ? 4 : (bank - 1) % 3 + 1);
  test.deviationDecimetres = static_cast<std::uint8_t>(bank == 1 ? 25 : 13 * bank % 50);

  // A stop as on the road: at rest, the brake applied, the deceleration held
  // until the vehicle stands still, where it ends at once, then at rest
  // again. Bank 12, the longest, is a slow stop on the parking brake.
  const bool parking = bank == kBanks;
  const double duration = test.count / 40.0;
  const double plateau = parking ? 2.2 : 4.5 + 0.3 * bank;            // m/s2
  const double rise = parking ? 1.2 : 0.4;                            // s
  const double speed = (parking ? 40 : 30 + 5 * bank) / 3.6;          // m/s when braking begins
  const double peakForce = parking ? 22 : 30 + 3 * bank;              // daN
  const double spare = duration - 0.6 - 0.3;                          // time left after the shortest rests
  const double braking = std::min(speed / plateau + rise / 2, spare); // the stop ends a shorter test early
  const double start = 0.3 + std::min(2.0, 0.3 * (spare - braking));
  const double stop = start + braking;

  TNoise noise(static_cast<std::uint32_t>(bank));
  for (int i = 1; i <= kSampleLinesPerBank; ++i) {
    const double t = i / 40.0;
    const bool measuring = i <= test.count;
    const double vehicle = t < stop ? plateau * Ramp(t, start, rise) : 0;
    const double deceleration = measuring ? vehicle + 0.12 * noise.Next() : 0;
    const double force = measuring ? peakForce * Ramp(t, start - 0.15, rise) * (1 - Ramp(t, stop, 0.3)) : 0;
    const int x = static_cast<int>(std::lround(std::max(deceleration, 0.0) * kCountsPerMs2));
    const int z = static_cast<int>(std::lround(kGravityCountsZ + 2 * noise.Next()));
    const int status = (i * 37) & 0xFF;
    test.samples[i - 1] = {-x, z, Pack(static_cast<int>(std::lround(force)), status)};
  }
  return test;
}

TSimBanks GeneratedBanks() {
  TSimBanks banks;
  for (int b = 1; b <= kBanks; ++b) banks[b - 1] = EncodeBank(GeneratedTest(b));
  return banks;
}

TSimBank ErasedBank() {
  TSimBank bank;
  bank.header.fill({-1, -1, -1});
  bank.samples.fill({-1, -1, -1});
  return bank;
}

} // namespace zr7::sim
