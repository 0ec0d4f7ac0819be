#include "braking_verdict.h"

#include "calendar.h"

#include <cctype>
#include <vector>

namespace zr7 {
namespace {

struct TDigitGroup {
  int value;
  std::size_t digits;
};

std::string_view WithoutOuterSpaces(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

// The groups of digits of a date typed with "-", "." or "/" between them,
// perhaps followed by "r."; none when anything else is there.
std::optional<std::vector<TDigitGroup>> DigitGroups(std::string_view text) {
  text = WithoutOuterSpaces(text);
  // "12.03.2015 r.": the Polish abbreviation of "year" after a date.
  for (const std::string_view year : {"r.", "r"}) {
    if (text.ends_with(year)) {
      text = WithoutOuterSpaces(text.substr(0, text.size() - year.size()));
      break;
    }
  }
  std::vector<TDigitGroup> groups;
  bool inGroup = false;
  for (const char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c))) {
      if (!inGroup) groups.push_back({0, 0});
      inGroup = true;
      TDigitGroup& group = groups.back();
      if (++group.digits > 4) return std::nullopt;
      group.value = group.value * 10 + (c - '0');
    } else if ((c == '-' || c == '.' || c == '/') && inGroup) {
      inGroup = false;
    } else {
      return std::nullopt;
    }
  }
  if (!inGroup) return std::nullopt;
  return groups;
}

bool PlausibleYear(const TDigitGroup& g) { return g.digits == 4 && g.value >= 1900 && g.value <= 2100; }

std::optional<TRegistrationDate> DayDate(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  return TRegistrationDate{DayNumber(year, month, day), DayNumber(year, month, day)};
}

std::optional<TRegistrationDate> MonthDate(int year, int month) {
  if (month < 1 || month > 12) return std::nullopt;
  return TRegistrationDate{DayNumber(year, month, 1), DayNumber(year, month, DaysInMonth(year, month))};
}

// Whether every day of the date lies within the requirement's bounds;
// none when some days do and some do not.
std::optional<bool> Within(const TBrakingRequirement& r, const TRegistrationDate& date) {
  const auto inside = [&](TDayNumber day) {
    return (r.registeredFrom == 0 || day >= r.registeredFrom) && (r.registeredBefore == 0 || day < r.registeredBefore);
  };
  const bool first = inside(date.earliest);
  if (first != inside(date.latest)) return std::nullopt;
  return first;
}

} // namespace

int BrakeKindOf(std::string_view hamulec) {
  for (std::size_t i = 0; i < kBrakeKinds.size(); ++i) {
    if (kBrakeKinds[i].hamulec == hamulec) return static_cast<int>(i);
  }
  return -1;
}

std::optional<TRegistrationDate> ParseRegistrationDate(std::string_view text) {
  const auto groups = DigitGroups(text);
  if (!groups) return std::nullopt;
  const std::vector<TDigitGroup>& g = *groups;
  if (g.size() == 3 && PlausibleYear(g[0]) && g[1].digits <= 2 && g[2].digits <= 2)
    return DayDate(g[0].value, g[1].value, g[2].value);
  if (g.size() == 3 && PlausibleYear(g[2]) && g[0].digits <= 2 && g[1].digits <= 2)
    return DayDate(g[2].value, g[1].value, g[0].value);
  if (g.size() == 2 && PlausibleYear(g[0]) && g[1].digits <= 2) return MonthDate(g[0].value, g[1].value);
  if (g.size() == 2 && PlausibleYear(g[1]) && g[0].digits <= 2) return MonthDate(g[1].value, g[0].value);
  if (g.size() == 1 && PlausibleYear(g[0]))
    return TRegistrationDate{DayNumber(g[0].value, 1, 1), DayNumber(g[0].value, 12, 31)};
  return std::nullopt;
}

TBrakingVerdict JudgeBraking(const TBrakingAnalysis& analysis, int vehicleKind, int brakeKind,
                             std::string_view firstRegistration, std::span<const TBrakingRequirement> requirements,
                             std::span<const TControlForceLimit> limits) {
  TBrakingVerdict verdict;
  if (!analysis.figures) {
    verdict.reason = analysis.reason;
    return verdict;
  }
  const TBrakingFigures& f = *analysis.figures;
  verdict.ratioPct = f.brakingRatio;
  if (KnownVehicleKind(vehicleKind) < 0 || kVehicleKinds[static_cast<std::size_t>(vehicleKind)].name == "inny") {
    verdict.reason = kNoVehicleKind;
    return verdict;
  }
  // The control force type approval allows is set for the service brake.
  if (brakeKind == 0) {
    for (const TControlForceLimit& limit : limits) {
      if (limit.vehicleKind == vehicleKind && f.meanPedalForce > limit.maximumDaN) verdict.forceAbove = limit;
    }
  }
  std::vector<const TBrakingRequirement*> candidates;
  bool dependsOnDate = false;
  for (const TBrakingRequirement& r : requirements) {
    if (r.vehicleKind != vehicleKind || r.brakeKind != brakeKind) continue;
    candidates.push_back(&r);
    dependsOnDate |= r.registeredFrom != 0 || r.registeredBefore != 0;
  }
  const TBrakingRequirement* applies = candidates.size() == 1 && !dependsOnDate ? candidates.front() : nullptr;
  if (!candidates.empty() && dependsOnDate) {
    const std::optional<TRegistrationDate> date = ParseRegistrationDate(firstRegistration);
    if (!date) {
      verdict.reason = kNoRegistrationDate;
      return verdict;
    }
    for (const TBrakingRequirement* r : candidates) {
      const std::optional<bool> within = Within(*r, *date);
      if (!within) {
        verdict.reason = kNoRegistrationDate;
        return verdict;
      }
      if (*within) applies = r;
    }
  }
  if (applies == nullptr) {
    verdict.reason = kNoRequirement;
    return verdict;
  }
  verdict.outcome =
      f.brakingRatio >= applies->minimumRatioPct ? TBrakingVerdict::TOutcome::Pass : TBrakingVerdict::TOutcome::Fail;
  verdict.requiredRatioPct = applies->minimumRatioPct;
  verdict.source = applies->source;
  return verdict;
}

TBrakingVerdict JudgeBraking(const TBrakingAnalysis& analysis, const TStationData& vehicle, std::string_view hamulec) {
  return JudgeBraking(analysis, vehicle.RodzajPojazdu, BrakeKindOf(hamulec), vehicle.PierwszaRej);
}

} // namespace zr7
