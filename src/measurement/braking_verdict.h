#pragma once

#include "braking_analysis.h"
#include "station_data.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zr7 {

// A day of the calendar as a number that orders like the day: 20120101.
using TDayNumber = int;
constexpr TDayNumber DayNumber(int year, int month, int day) { return year * 10000 + month * 100 + day; }

// The minimum braking ratio the law sets for a vehicle kind's brake, for
// vehicles first registered within [registeredFrom, registeredBefore) (0:
// no bound), and where the law sets it.
struct TBrakingRequirement {
  int vehicleKind; // index into kVehicleKinds
  int brakeKind;   // index into kBrakeKinds
  TDayNumber registeredFrom;
  TDayNumber registeredBefore;
  double minimumRatioPct;
  std::string_view source;
};

// The highest force on the service brake's control that type approval
// allows for a vehicle kind, and where it is set.
struct TControlForceLimit {
  int vehicleKind;
  double maximumDaN;
  std::string_view source;
};

// The requirements and limits this program judges by: only figures read in
// the legal texts themselves.
std::span<const TBrakingRequirement> BrakingRequirements();
std::span<const TControlForceLimit> ControlForceLimits();

// Why a test gets no verdict.
inline constexpr const char* kNoVehicleKind = "brak rodzaju pojazdu";
inline constexpr const char* kNoRequirement = "brak wymagania dla tego pojazdu";
inline constexpr const char* kNoRegistrationDate = "brak daty 1-szej rejestracji";

// The verdict on a test: pass or fail against the minimum that applies, or
// none and why; with a note when the push on the pedal was harder than the
// control force type approval allows, since such a test does not show the
// brake's normal performance. It rests on the MFDD alone and informs the
// examiner's decision, never replaces it.
struct TBrakingVerdict {
  enum class TOutcome { Pass, Fail, None };
  TOutcome outcome = TOutcome::None;
  double ratioPct = 0;
  double requiredRatioPct = 0;
  std::string_view source;
  std::string reason; // for None (UTF-8)
  std::optional<TControlForceLimit> forceAbove;
};

// The brake kind (index into kBrakeKinds) of a record's brake name; -1 for
// a name outside the list.
int BrakeKindOf(std::string_view hamulec);

// The first registration date as the examiner types it: "2015-03-12",
// "12.03.2015", "12-03-2015", "12/03/2015", "03.2015", "2015", with or
// without "r." after it. A month or a year alone gives its first and last
// days, so that a bound inside it is known to be undecidable. None for text
// that holds no such date.
struct TRegistrationDate {
  TDayNumber earliest;
  TDayNumber latest;
};
std::optional<TRegistrationDate> ParseRegistrationDate(std::string_view text);

TBrakingVerdict JudgeBraking(const TBrakingAnalysis& analysis, int vehicleKind, int brakeKind,
                             std::string_view firstRegistration,
                             std::span<const TBrakingRequirement> requirements = BrakingRequirements(),
                             std::span<const TControlForceLimit> limits = ControlForceLimits());

// The verdict on a test of the named brake (a record's Hamulec) of the
// vehicle the station data describe.
TBrakingVerdict JudgeBraking(const TBrakingAnalysis& analysis, const TStationData& vehicle, std::string_view hamulec);

} // namespace zr7
