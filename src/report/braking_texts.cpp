#include "report/braking_texts.h"

#include "ui/user_number.h"

namespace zr7 {

QString BrakingSummary(const TBrakingAnalysis& analysis) {
  if (!analysis.figures) return {};
  const TBrakingFigures& f = *analysis.figures;
  return QStringLiteral("MFDD %1 m/s2 (%2 %)  v0 %3 km/h  s %4 m")
      .arg(FormatUserNumber(f.mfdd, 1), FormatUserNumber(f.brakingRatio, 0), FormatUserNumber(f.v0 * kKmhPerMs, 0),
           FormatUserNumber(f.stoppingDistance, 1));
}

QString BrakingHint(const TBrakingAnalysis& analysis) {
  if (!analysis.figures) return QString::fromStdString(analysis.reason);
  return BrakingSummary(analysis) + QStringLiteral("  t %1 s").arg(FormatUserNumber(analysis.figures->brakingTime, 2));
}

QStringList BrakingReportLines(const TBrakingAnalysis& analysis) {
  if (!analysis.figures) {
    return {QString::fromUtf8("    analiza hamowania: brak wyniku (%1)").arg(QString::fromStdString(analysis.reason))};
  }
  const TBrakingFigures& f = *analysis.figures;
  return {
      QString::fromUtf8("    średnie pełne opóźnienie, MFDD [m/s2] = ") + FormatUserNumber(f.mfdd, 1),
      QString::fromUtf8("    wskaźnik skuteczności hamowania [%] = ") + FormatUserNumber(f.brakingRatio, 0),
      QString::fromUtf8("    prędkość początkowa, v0 [km/h] = ") + FormatUserNumber(f.v0 * kKmhPerMs, 0),
      QString::fromUtf8("    droga hamowania, s [m] = ") + FormatUserNumber(f.stoppingDistance, 1),
      QString::fromUtf8("    czas hamowania, t [s] = ") + FormatUserNumber(f.brakingTime, 2),
      QString::fromUtf8("    średnia siła nacisku w przedziale MFDD, F [daN] = ") +
          FormatUserNumber(f.meanPedalForce, 0),
  };
}

} // namespace zr7
