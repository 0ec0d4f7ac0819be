#include "measurement/braking_verdict.h"

#include <gtest/gtest.h>

#include <string>

namespace zr7 {
namespace {

using TOutcome = TBrakingVerdict::TOutcome;

constexpr int kCar = 0;
constexpr int kTruck = 1;
constexpr int kMotorcycle = 3;
constexpr int kOther = 4;
constexpr int kService = 0;
constexpr int kAuxiliary = 2;

// A requirement that changed on 1 January 2012, one that changed in the
// middle of a year, and a control force limit.
constexpr TBrakingRequirement kRequirements[] = {
    {kCar, kService, DayNumber(2012, 1, 1), 0, 58, "nowe"},
    {kCar, kService, 0, DayNumber(2012, 1, 1), 50, "stare"},
    {kTruck, kService, DayNumber(1988, 7, 1), 0, 50, "od połowy roku"},
    {kTruck, kService, 0, DayNumber(1988, 7, 1), 43, "do połowy roku"},
    {kCar, kAuxiliary, 0, 0, 16, "pomocniczy"},
};
constexpr TControlForceLimit kLimits[] = {{kCar, 50, "siła"}};

TBrakingAnalysis Stop(double ratio, double meanPedalForce = 30) {
  TBrakingFigures f;
  f.brakingRatio = ratio;
  f.mfdd = ratio / 100 * kStandardGravity;
  f.meanPedalForce = meanPedalForce;
  return {f, ""};
}

TBrakingVerdict Judge(const TBrakingAnalysis& analysis, int vehicle, int brake, const char* registered) {
  return JudgeBraking(analysis, vehicle, brake, registered, kRequirements, kLimits);
}

TEST(RegistrationDate, TheWaysAnExaminerTypesIt) {
  const struct {
    const char* text;
    TDayNumber earliest;
    TDayNumber latest;
  } dates[] = {
      {"2015-03-12", 20150312, 20150312},    {"12.03.2015", 20150312, 20150312}, {"12-03-2015", 20150312, 20150312},
      {"12/3/2015", 20150312, 20150312},     {" 1.1.2012 ", 20120101, 20120101}, {"29.02.2016", 20160229, 20160229},
      {"03.2015", 20150301, 20150331},       {"2016-02", 20160201, 20160229},    {"2011", 20110101, 20111231},
      {"12.03.2015 r.", 20150312, 20150312}, {"2011r", 20110101, 20111231},
  };
  for (const auto& d : dates) {
    const auto parsed = ParseRegistrationDate(d.text);
    ASSERT_TRUE(parsed.has_value()) << d.text;
    EXPECT_EQ(parsed->earliest, d.earliest) << d.text;
    EXPECT_EQ(parsed->latest, d.latest) << d.text;
  }
  for (const char* text : {"", "brak", "12.03.15", "31.02.2015", "13.2015", "2015-13-01", "12.03.2015 rok", "12..2015",
                           "0.01.2015", "1850", "20150", "2015/03/12/1"}) {
    EXPECT_FALSE(ParseRegistrationDate(text).has_value()) << text;
  }
}

TEST(BrakingVerdict, TheMinimumForTheFirstRegistrationDate) {
  const struct {
    const char* registered;
    double ratio;
    TOutcome outcome;
    double required;
    const char* source;
  } cases[] = {
      {"2015-03-12", 60, TOutcome::Pass, 58, "nowe"},  {"2015-03-12", 55, TOutcome::Fail, 58, "nowe"},
      {"31.12.2011", 55, TOutcome::Pass, 50, "stare"}, {"1.1.2012", 55, TOutcome::Fail, 58, "nowe"},
      {"2012", 57.99, TOutcome::Fail, 58, "nowe"},     {"2011", 49.9, TOutcome::Fail, 50, "stare"},
      {"12.2011", 50, TOutcome::Pass, 50, "stare"},    {"2020", 58, TOutcome::Pass, 58, "nowe"},
  };
  for (const auto& c : cases) {
    const TBrakingVerdict v = Judge(Stop(c.ratio), kCar, kService, c.registered);
    EXPECT_EQ(v.outcome, c.outcome) << c.registered << " " << c.ratio;
    EXPECT_EQ(v.requiredRatioPct, c.required) << c.registered;
    EXPECT_EQ(v.source, c.source) << c.registered;
    EXPECT_EQ(v.ratioPct, c.ratio);
    EXPECT_EQ(v.reason, "");
  }
  // A requirement that does not depend on the date needs none.
  EXPECT_EQ(Judge(Stop(20), kCar, kAuxiliary, "").outcome, TOutcome::Pass);
}

TEST(BrakingVerdict, NoVerdictWithoutWhatItRestsOn) {
  const struct {
    TBrakingAnalysis analysis;
    int vehicle;
    int brake;
    const char* registered;
    const char* reason;
  } cases[] = {
      {{std::nullopt, kIncompleteRead}, kCar, kService, "2015", kIncompleteRead},
      {Stop(60), -1, kService, "2015", kNoVehicleKind},
      {Stop(60), kOther, kService, "2015", kNoVehicleKind},
      {Stop(60), kMotorcycle, kService, "2015", kNoRequirement},
      {Stop(60), kTruck, kAuxiliary, "2015", kNoRequirement},
      {Stop(60), kCar, -1, "2015", kNoRequirement},
      {Stop(60), kCar, kService, "", kNoRegistrationDate},
      {Stop(60), kCar, kService, "dawno", kNoRegistrationDate},
      // The year alone cannot tell which side of 1 July 1988 the truck is on;
      // its month can.
      {Stop(60), kTruck, kService, "1988", kNoRegistrationDate},
  };
  for (const auto& c : cases) {
    const TBrakingVerdict v = Judge(c.analysis, c.vehicle, c.brake, c.registered);
    EXPECT_EQ(v.outcome, TOutcome::None) << c.vehicle << " " << c.brake << " " << c.registered;
    EXPECT_EQ(v.reason, c.reason) << c.vehicle << " " << c.brake << " " << c.registered;
  }
  EXPECT_EQ(Judge(Stop(45), kTruck, kService, "06.1988").requiredRatioPct, 43);
  EXPECT_EQ(Judge(Stop(45), kTruck, kService, "07.1988").requiredRatioPct, 50);
}

TEST(BrakingVerdict, PushAboveTheControlForceLimitIsNoted) {
  const TBrakingVerdict harder = Judge(Stop(60, 50.5), kCar, kService, "2015");
  ASSERT_TRUE(harder.forceAbove.has_value());
  EXPECT_EQ(harder.forceAbove->maximumDaN, 50);
  EXPECT_EQ(harder.outcome, TOutcome::Pass);
  EXPECT_FALSE(Judge(Stop(60, 50), kCar, kService, "2015").forceAbove.has_value());
  // The limit is the service brake's; the note also stands without a verdict.
  EXPECT_FALSE(Judge(Stop(60, 70), kCar, kAuxiliary, "2015").forceAbove.has_value());
  EXPECT_TRUE(Judge(Stop(60, 70), kCar, kService, "").forceAbove.has_value());
}

TEST(BrakingVerdict, BrakeKindOfTheRecordsBrakeName) {
  EXPECT_EQ(BrakeKindOf("hamulec roboczy"), 0);
  EXPECT_EQ(BrakeKindOf("hamulec awaryjny"), 1);
  EXPECT_EQ(BrakeKindOf("hamulec pomocniczy"), 2);
  EXPECT_EQ(BrakeKindOf(""), -1);
  EXPECT_EQ(BrakeKindOf("hamulec"), -1);
}

} // namespace
} // namespace zr7
