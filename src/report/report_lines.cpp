#include "report/report_lines.h"

#include "ui/program_font.h"
#include "ui/utf8_text.h"

#include <QFontMetrics>
#include <QRegularExpression>

namespace zr7 {

namespace {

QString VisiblePart(QStringView piece) {
  qsizetype end = piece.size();
  while (end > 0 && piece[end - 1] == u' ') --end;
  return piece.left(end).toString();
}

// Where the memo ends the first row of `text`, which is wider than `width`.
qsizetype RowEnd(const QString& text, int width, const TTextWidth& textWidth) {
  qsizetype cut = 0;
  for (qsizetype i = 1; i < text.size(); ++i) {
    const bool endOfBlanks = text[i - 1] == u' ' && text[i] != u' ';
    if (!endOfBlanks) continue;
    const QString visible = VisiblePart(QStringView(text).left(i));
    if (visible.isEmpty()) continue;
    if (textWidth(visible) > width) break;
    cut = i;
  }
  if (cut > 0) return cut;
  // No blank to break at: the word is cut where it no longer fits, keeping
  // at least one character on the row.
  qsizetype fits = 1;
  while (fits + 1 < text.size() && textWidth(QStringView(text).left(fits + 1)) <= width) ++fits;
  return fits;
}

void WrapParagraph(QString text, int width, const TTextWidth& textWidth, QStringList& rows) {
  // A row of one visible character stays whole, however narrow the memo.
  for (QString visible = VisiblePart(text); visible.size() > 1 && textWidth(visible) > width;
       visible = VisiblePart(text)) {
    const qsizetype end = RowEnd(text, width, textWidth);
    rows.append(text.left(end));
    text.remove(0, end);
  }
  rows.append(text);
}

} // namespace

QStringList ReportLines(const TReportInputs& in) {
  QStringList lines;
  lines << QString::fromUtf8("F.P.U.H \"TERVA\" Opóźnieniomierz ZR-7");
  lines << in.Ldata + u' ' + in.Lgodzina;
  lines << QString();
  lines << QStringLiteral("DANE SKP / WARSZTATU:");
  const TStationData& station = in.station;
  lines << QStringLiteral("    Nazwa: ") + FromUtf8(station.SKP);
  lines << QStringLiteral("    Adres: ") + FromUtf8(station.Adres);
  lines << QString();
  lines << QStringLiteral("DANE POJAZDU:");
  if (const int kind = KnownVehicleKind(station.RodzajPojazdu); kind >= 0) {
    lines << FromUtf8(kVehicleKinds[static_cast<std::size_t>(kind)].reportLine);
  }
  lines << QStringLiteral("    Marka: ") + FromUtf8(station.Marka);
  lines << QStringLiteral("    Typ / model: ") + FromUtf8(station.Model);
  lines << QStringLiteral("    Data 1-szej rejestracji : ") + FromUtf8(station.PierwszaRej);
  lines << QStringLiteral("    Nr rejestracyjny: ") + FromUtf8(station.Rej);
  lines << QStringLiteral("    Przebieg [km]: ") + FromUtf8(station.Przebieg);
  lines << QString();
  lines << QString::fromUtf8("WYNIKI POMIARÓW:");
  for (const TBrakeKind& brake : kBrakeKinds) {
    if (in.HamulecTxt == brake.hamulec) lines << FromUtf8(brake.reportLine);
  }
  lines << QString::fromUtf8("    opóźnienie maksymalne, a max [m/s2] = ") + in.lbAmax;
  lines << QString::fromUtf8("    siła nacisku na pedał  F [daN] = ") + in.lbFmax;
  if (in.HamulecTxt == kServiceBrake) {
    lines << QStringLiteral("    odchylenie kierunku jazdy = ") + FromUtf8(in.OdchylenieTxt) + QStringLiteral(" [m]");
  }
  lines << in.underResults;
  lines << QString();
  lines << QStringLiteral("    Uwagi: ") + FromUtf8(station.Uwagi);
  lines << QStringLiteral("    Diagnosta: ") + FromUtf8(station.Diagnosta);
  lines << QString();
  lines << QStringLiteral("    ") + FromUtf8(in.UwagaTxt);
  return lines;
}

QStringList WrapMemoLine(const QString& line, int width, const TTextWidth& textWidth) {
  static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
  QStringList rows;
  for (const QString& paragraph : line.split(lineBreak)) WrapParagraph(paragraph, width, textWidth, rows);
  return rows;
}

QStringList WrapMemoLines(const QStringList& lines, int width, const TTextWidth& textWidth) {
  QStringList rows;
  for (const QString& line : lines) rows << WrapMemoLine(line, width, textWidth);
  return rows;
}

QStringList PrnOpisLines(const TReportInputs& inputs) {
  const QFontMetrics metrics(ProgramFont());
  return WrapMemoLines(ReportLines(inputs), kPrnOpisTextWidth,
                       [&metrics](QStringView text) { return metrics.horizontalAdvance(text.toString()); });
}

} // namespace zr7
