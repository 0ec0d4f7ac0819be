#include "report/braking_texts.h"
#include "ui/user_number.h"

#include <gtest/gtest.h>

namespace zr7 {
namespace {

using TOutcome = TBrakingVerdict::TOutcome;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Numbers as the user's desktop writes them ("6,1" on a Polish one).
QString N(const char* number) { return U(number).replace('.', QString::fromStdString(UserDecimalSeparator())); }

TBrakingAnalysis Stop(double ratio, double meanPedalForce = 35) {
  TBrakingFigures f;
  f.brakingRatio = ratio;
  f.mfdd = ratio / 100 * kStandardGravity;
  f.v0 = 98 / kKmhPerMs;
  f.stoppingDistance = 38.14;
  f.brakingTime = 3.754;
  f.meanPedalForce = meanPedalForce;
  return {f, ""};
}

TBrakingVerdict Verdict(TOutcome outcome, double ratio, double required) {
  TBrakingVerdict v;
  v.outcome = outcome;
  v.ratioPct = ratio;
  v.requiredRatioPct = required;
  v.source = "akt, zał. 1, pkt 2";
  return v;
}

// With a verdict the panel starts with it and the ratio it rests on; a
// ratio whose whole per cent would contradict the verdict keeps a decimal.
TEST(BrakingTexts, PanelStartsWithTheVerdict) {
  const struct {
    double ratio;
    TOutcome outcome;
    const char* summary;
  } cases[] = {
      {62.2, TOutcome::Pass, "62 % ≥ 58 %: spełnia  MFDD 6.1 m/s2  v0 98 km/h  s 38.1 m"},
      {58.0, TOutcome::Pass, "58 % ≥ 58 %: spełnia  MFDD 5.7 m/s2  v0 98 km/h  s 38.1 m"},
      {57.6, TOutcome::Fail, "57.6 % < 58 %: nie spełnia  MFDD 5.7 m/s2  v0 98 km/h  s 38.1 m"},
      {41.0, TOutcome::Fail, "41 % < 58 %: nie spełnia  MFDD 4.0 m/s2  v0 98 km/h  s 38.1 m"},
  };
  for (const auto& c : cases) {
    const TBrakingVerdict verdict = Verdict(c.outcome, c.ratio, 58);
    EXPECT_EQ(BrakingSummary(Stop(c.ratio), verdict), N(c.summary)) << c.ratio;
  }
}

TEST(BrakingTexts, HintSaysWhatTheVerdictRestsOn) {
  const TBrakingAnalysis stop = Stop(62.2);
  EXPECT_EQ(BrakingHint(stop, Verdict(TOutcome::Pass, 62.2, 58)),
            N("MFDD 6.1 m/s2 (62 %)  v0 98 km/h  s 38.1 m  t 3.75 s  F 35 daN\n") +
                U("ocena według MFDD: 62 % ≥ 58 %: spełnia (wymaganie: akt, zał. 1, pkt 2)"));
  TBrakingVerdict none;
  none.reason = kNoRequirement;
  none.ratioPct = 62.2;
  EXPECT_EQ(BrakingSummary(stop, none), N("MFDD 6.1 m/s2 (62 %)  v0 98 km/h  s 38.1 m"));
  EXPECT_TRUE(BrakingHint(stop, none).endsWith(U("\nocena według MFDD: brak (brak wymagania dla tego pojazdu)")))
      << BrakingHint(stop, none).toStdString();
  // No figures: no summary, and the hint says why.
  const TBrakingAnalysis cut{std::nullopt, kEndsBeforeStop};
  EXPECT_EQ(BrakingSummary(cut, none), "");
  EXPECT_EQ(BrakingHint(cut, none), U(kEndsBeforeStop));
}

TEST(BrakingTexts, ReportCarriesTheVerdictItsSourceAndTheForceNote) {
  TBrakingVerdict verdict = Verdict(TOutcome::Fail, 57.6, 58);
  verdict.forceAbove = TControlForceLimit{0, 50, "regulamin, zał. 3, pkt 2"};
  const QStringList lines = BrakingReportLines(Stop(57.6, 62), verdict);
  ASSERT_GE(lines.size(), 9);
  EXPECT_EQ(lines[5], N("    średnia siła nacisku w przedziale MFDD, F [daN] = 62"));
  EXPECT_EQ(lines[6], N("    ocena według MFDD: 57.6 % < 58 %: nie spełnia"));
  EXPECT_EQ(lines[7], U("    wymaganie: akt, zał. 1, pkt 2"));
  EXPECT_TRUE(lines.mid(8).join(' ').contains(U("62 daN > 50 daN"))) << lines.join('\n').toStdString();
  EXPECT_TRUE(lines.mid(8).join(' ').contains(U("regulamin, zał. 3, pkt 2")));
  TBrakingVerdict none;
  none.reason = kNoVehicleKind;
  EXPECT_EQ(BrakingReportLines(Stop(57.6), none).last(), U("    ocena według MFDD: brak (brak rodzaju pojazdu)"));
}

} // namespace
} // namespace zr7
