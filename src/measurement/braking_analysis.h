#pragma once

#include "tpomiar.h"

#include <optional>
#include <span>
#include <string>

namespace zr7 {

constexpr double kStandardGravity = 9.81; // m/s2
constexpr double kKmhPerMs = 3.6;

// The figures of one stop, from the deceleration samples of its braking
// phase (SI units).
struct TBrakingFigures {
  double mfdd = 0;             // mean fully developed deceleration [m/s2]
  double brakingRatio = 0;     // mfdd in per cent of g
  double v0 = 0;               // speed when braking began [m/s]
  double stoppingDistance = 0; // [m]
  double brakingTime = 0;      // [s]
};

// Why a record has no figures: a short Polish text for the operator.
inline constexpr const char* kNoBraking = "brak hamowania";
inline constexpr const char* kDamagedData = "uszkodzone dane";
inline constexpr const char* kEndsBeforeStop = "pomiar kończy się przed zatrzymaniem";
inline constexpr const char* kBrakingTooShort = "zbyt krótkie hamowanie";

// The figures, or the reason (UTF-8) why there are none.
struct TBrakingAnalysis {
  std::optional<TBrakingFigures> figures;
  std::string reason;
};

// The braking phase runs from the first to the last sample that reaches a
// tenth of the peak, widened over the low tails down to the samples at rest.
// The vehicle stands still at the end of the phase; the speed is integrated
// backwards from there and the distance forwards from the start, both with
// the trapezoid rule. The mean fully developed deceleration is taken between
// 80 % and 10 % of the initial speed. `a` holds decelerations [m/s2] taken
// 0.025 s apart.
TBrakingAnalysis AnalyzeBraking(std::span<const double> a);

// The same for samples 1 to the record's count.
TBrakingAnalysis AnalyzeBraking(const TPomiar& pomiar);

} // namespace zr7
