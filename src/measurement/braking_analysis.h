#pragma once

#include "tpomiar.h"

#include <optional>
#include <span>
#include <string>

namespace zr7 {

constexpr double kStandardGravity = 9.81; // m/s2
constexpr double kKmhPerMs = 3.6;

// The figures of one stop, from the deceleration samples of its braking
// phase (SI units), and where in the record they come from. Times are on the
// chart's time base: the sample at index i of the record lies at (i + 1) /
// 40 s.
struct TBrakingFigures {
  double mfdd = 0;             // mean fully developed deceleration [m/s2]
  double brakingRatio = 0;     // mfdd in per cent of g
  double v0 = 0;               // speed when braking began [m/s]
  double stoppingDistance = 0; // [m]
  double brakingTime = 0;      // [s]
  double restLevel = 0;        // the sensor's reading at rest, taken off every sample [m/s2]
  double brakingStart = 0;     // time braking began [s]
  double stopTime = 0;         // time the vehicle came to rest [s]
  double mfddFrom = 0;         // time the speed fell to 0.8 v0 [s]
  double mfddTo = 0;           // time the speed fell to 0.1 v0 [s]
  double meanPedalForce = 0;   // over the samples from mfddFrom to mfddTo [daN], from a record only
};

// Why a record has no figures: a short Polish text for the operator.
inline constexpr const char* kNoBraking = "brak hamowania";
inline constexpr const char* kDamagedData = "uszkodzone dane";
inline constexpr const char* kEndsBeforeStop = "pomiar kończy się przed zatrzymaniem";
inline constexpr const char* kBrakingTooShort = "zbyt krótkie hamowanie";
inline constexpr const char* kIncompleteRead = "pomiar niekompletny";

// The figures, or the reason (UTF-8) why there are none.
struct TBrakingAnalysis {
  std::optional<TBrakingFigures> figures;
  std::string reason;
};

// The braking phase is found from the shape of the signal: the braking level
// is the highest deceleration held for a quarter of a second; the stop is
// where the deceleration, after the last stretch held above half that
// level, has fallen back to the rest level; the start is the foot of the
// first rise to braking. What follows the stop (the body's pitch back, the
// sensor's noise at rest) belongs to no braking. The sensor's reading at
// rest before braking and after the stop is its offset and is taken off
// every sample before the speed is integrated backwards from the stop and
// the distance forwards from the start, both with the trapezoid rule. The
// mean fully developed deceleration is taken between 80 % and 10 % of the
// initial speed. `a` holds decelerations [m/s2] taken 0.025 s apart.
TBrakingAnalysis AnalyzeBraking(std::span<const double> a);

// The same for samples 1 to the record's count, with the mean pedal force
// of the samples within the interval from 0.8 v0 to 0.1 v0: the push the
// mean fully developed deceleration was reached with.
TBrakingAnalysis AnalyzeBraking(const TPomiar& pomiar);

// The same for the record a bank read has just filled: none when requests
// went unanswered, since the samples that did not come hold zeros or an
// earlier test's values ("pomiar niekompletny").
TBrakingAnalysis AnalyzeReadBraking(const TPomiar& pomiar, bool readComplete);

} // namespace zr7
