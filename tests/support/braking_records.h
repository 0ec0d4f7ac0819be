#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zr7 {

// A road brake test as the vehicle drove it and as the instrument recorded
// it. The vehicle's deceleration follows the profile from the moment
// braking begins until its speed reaches zero; the record adds what the
// sensor adds: its offset, its noise, and the body's swing back at the stop.
struct TBrakingProfile {
  const char* what = "";
  double v0Kmh = 60;       // speed when braking begins
  double level = 6;        // deceleration held [m/s2]
  double rise = 0.3;       // time to reach it [s]
  double restBefore = 1;   // at rest before braking [s]; below 0: braking began before the record
  double restAfter = 2;    // at rest after the stop [s]
  double noise = 0;        // standard deviation of the sensor's noise [m/s2]
  double offset = 0;       // the sensor's reading at rest [m/s2]
  double absAmplitude = 0; // ABS cycling of the deceleration [m/s2]
  double absHz = 7;
  double pitchBack = 0;      // depth of the swing back at the stop [m/s2]
  double pitchBackHz = 1.5;  // its frequency; it dies out in about a second
  double pumpAt = -1;        // brake released once at this time after braking began [s]
  double cutBeforeStop = -1; // the record ends this long before the stop [s]
  unsigned seed = 1;
};

// The truth of a profile, worked out from the vehicle's motion alone.
struct TBrakingTruth {
  double v0 = 0; // speed at the first sample of the braking [m/s]
  double mfdd = 0;
  double stopTime = 0; // on the record's time base [s]
};

struct TBrakingRecord {
  std::vector<double> a; // sample i at (i + 1) / 40 s
  TBrakingTruth truth;
  bool cut = false; // the record ends before the stop
};

TBrakingRecord MakeBrakingRecord(const TBrakingProfile& profile);

// The profiles the method is judged on: noise, offset, swing back, rest
// after the stop, ABS, a pumped brake, parking-brake stops, a record that
// starts while braking, and records cut before the stop.
std::vector<TBrakingProfile> RealisticBrakingProfiles();

} // namespace zr7
