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
  test.brakeKind = static_cast<std::uint8_t>(bank == kBanks ? 4 : (bank - 1) % 3 + 1);
  test.deviationDecimetres = static_cast<std::uint8_t>(bank == 1 ? 25 : 13 * bank % 50);

  TNoise noise(static_cast<std::uint32_t>(bank));
  const double duration = test.count / 40.0;
  const double plateau = 4.5 + 0.3 * bank; // m/s2
  const double peakForce = 30 + 3 * bank;  // daN
  for (int i = 1; i <= kSampleLinesPerBank; ++i) {
    const double t = (i - 1) / 40.0;
    const bool measuring = i <= test.count;
    const double falling = 1 - Ramp(t, duration - 0.6, 0.5);
    const double deceleration = measuring ? plateau * Ramp(t, 0.2, 0.8) * falling + 0.12 * noise.Next() : 0;
    const double force = measuring ? peakForce * Ramp(t, 0.05, 0.5) * (1 - Ramp(t, duration - 0.7, 0.4)) : 0;
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
