#include "report/braking_texts.h"

#include "ui/user_number.h"
#include "ui/utf8_text.h"

#include <cmath>

namespace zr7 {
namespace {

bool Judged(const TBrakingVerdict& verdict) { return verdict.outcome != TBrakingVerdict::TOutcome::None; }

bool Passes(const TBrakingVerdict& verdict) { return verdict.outcome == TBrakingVerdict::TOutcome::Pass; }

// The ratio as the verdict compares it: in whole per cent, unless the whole
// number would contradict the verdict (57,6 % fails 58 % but rounds to 58).
QString VerdictRatio(const TBrakingVerdict& verdict) {
  const double whole = std::round(verdict.ratioPct);
  const bool contradicts = Passes(verdict) ? whole < verdict.requiredRatioPct : whole >= verdict.requiredRatioPct;
  return FormatUserNumber(verdict.ratioPct, contradicts ? 1 : 0) + QStringLiteral(" %");
}

// "62 % ≥ 58 %: spełnia" or "57,6 % < 58 %: nie spełnia".
QString Comparison(const TBrakingVerdict& verdict) {
  return VerdictRatio(verdict) + (Passes(verdict) ? QString::fromUtf8(" ≥ ") : QStringLiteral(" < ")) +
         FormatUserNumber(verdict.requiredRatioPct, 0) + QStringLiteral(" %: ") +
         (Passes(verdict) ? QString::fromUtf8("spełnia") : QString::fromUtf8("nie spełnia"));
}

QString Figures(const TBrakingFigures& f) {
  return QStringLiteral("v0 %1 km/h  s %2 m")
      .arg(FormatUserNumber(f.v0 * kKmhPerMs, 0), FormatUserNumber(f.stoppingDistance, 1));
}

// "MFDD 6,1 m/s2 (62 %)  v0 98 km/h  s 38,1 m"
QString FiguresWithRatio(const TBrakingFigures& f) {
  return QStringLiteral("MFDD %1 m/s2 (%2 %)  ").arg(FormatUserNumber(f.mfdd, 1), FormatUserNumber(f.brakingRatio, 0)) +
         Figures(f);
}

// "ocena według MFDD: 62 % ≥ 58 %: spełnia", or "… brak (reason)".
QString Assessment(const TBrakingVerdict& verdict) {
  return QString::fromUtf8("ocena według MFDD: ") +
         (Judged(verdict) ? Comparison(verdict) : QStringLiteral("brak (") + FromUtf8(verdict.reason) + ')');
}

// The note on a push harder than type approval allows, in two parts: what
// was measured against which limit, and what that means for the result.
QStringList ForceNote(const TBrakingVerdict& verdict, double meanPedalForce) {
  return {QString::fromUtf8("średnia siła nacisku %1 daN > %2 daN dopuszczonych przy homologacji (%3):")
              .arg(FormatUserNumber(meanPedalForce, 0), FormatUserNumber(verdict.forceAbove->maximumDaN, 0),
                   FromUtf8(verdict.forceAbove->source)),
          QString::fromUtf8("wynik może nie pokazywać normalnej skuteczności hamulca")};
}

} // namespace

QString BrakingSummary(const TBrakingAnalysis& analysis, const TBrakingVerdict& verdict) {
  if (!analysis.figures) return {};
  const TBrakingFigures& f = *analysis.figures;
  if (Judged(verdict)) {
    return Comparison(verdict) + QStringLiteral("  MFDD %1 m/s2  ").arg(FormatUserNumber(f.mfdd, 1)) + Figures(f);
  }
  return FiguresWithRatio(f);
}

QString BrakingHint(const TBrakingAnalysis& analysis, const TBrakingVerdict& verdict) {
  if (!analysis.figures) return QString::fromStdString(analysis.reason);
  const TBrakingFigures& f = *analysis.figures;
  QString hint =
      FiguresWithRatio(f) + QStringLiteral("  t %1 s  F %2 daN")
                                .arg(FormatUserNumber(f.brakingTime, 2), FormatUserNumber(f.meanPedalForce, 0));
  hint += '\n' + Assessment(verdict);
  if (Judged(verdict)) hint += QString::fromUtf8(" (wymaganie: ") + FromUtf8(verdict.source) + ')';
  if (verdict.forceAbove) hint += '\n' + ForceNote(verdict, f.meanPedalForce).join(' ');
  return hint;
}

QStringList BrakingReportLines(const TBrakingAnalysis& analysis, const TBrakingVerdict& verdict) {
  if (!analysis.figures) {
    return {QString::fromUtf8("    analiza hamowania: brak wyniku (%1)").arg(QString::fromStdString(analysis.reason))};
  }
  const TBrakingFigures& f = *analysis.figures;
  QStringList lines{
      QString::fromUtf8("    średnie pełne opóźnienie, MFDD [m/s2] = ") + FormatUserNumber(f.mfdd, 1),
      QString::fromUtf8("    wskaźnik skuteczności hamowania [%] = ") + FormatUserNumber(f.brakingRatio, 0),
      QString::fromUtf8("    prędkość początkowa, v0 [km/h] = ") + FormatUserNumber(f.v0 * kKmhPerMs, 0),
      QString::fromUtf8("    droga hamowania, s [m] = ") + FormatUserNumber(f.stoppingDistance, 1),
      QString::fromUtf8("    czas hamowania, t [s] = ") + FormatUserNumber(f.brakingTime, 2),
      QString::fromUtf8("    średnia siła nacisku w przedziale MFDD, F [daN] = ") +
          FormatUserNumber(f.meanPedalForce, 0),
  };
  lines << QStringLiteral("    ") + Assessment(verdict);
  if (Judged(verdict)) lines << QString::fromUtf8("    wymaganie: ") + FromUtf8(verdict.source);
  if (verdict.forceAbove) {
    for (const QString& note : ForceNote(verdict, f.meanPedalForce)) lines << QStringLiteral("    ") + note;
  }
  return lines;
}

} // namespace zr7
