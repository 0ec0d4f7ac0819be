#pragma once

#include "measurement/station_data.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <string>

namespace zr7 {

// Everything the report prints as text: the station and vehicle data, the
// captions of the tool panel's result labels and the brake texts of the
// current test (UTF-8, as the record's texts convert).
struct TReportInputs {
  TStationData station;

  QString Ldata;
  QString Lgodzina;
  QString lbAmax;
  QString lbFmax;

  std::string HamulecTxt;
  std::string UwagaTxt;
  std::string OdchylenieTxt;

  // Further lines printed right under the results; none unless asked for.
  QStringList underResults;
};

// The report's lines in order, before the hidden memo wraps them.
QStringList ReportLines(const TReportInputs& inputs);

// The width of a text in pixels, as the memo's font measures it.
using TTextWidth = std::function<int(QStringView)>;

// The hidden memo is 801 pixels wide; its 2-pixel sunken border and a
// 1-pixel margin on each side leave this much for the text.
constexpr int kPrnOpisTextWidth = 801 - 2 * 2 - 2 * 1;

// A line as the multi-line memo shows it in `width` pixels: broken after a
// run of blanks so that each piece's visible text fits (the blanks stay at
// the end of the piece, where they take no room), a single word wider than
// the memo broken where it no longer fits. Line feeds inside the line start
// new lines of their own, as they would in the memo.
QStringList WrapMemoLine(const QString& line, int width, const TTextWidth& textWidth);

// All lines wrapped the same way.
QStringList WrapMemoLines(const QStringList& lines, int width, const TTextWidth& textWidth);

// The lines as the hidden memo holds them: wrapped at its text width in the
// program's font on screen. Needs a QGuiApplication.
QStringList PrnOpisLines(const TReportInputs& inputs);

} // namespace zr7
