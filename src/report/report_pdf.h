#pragma once

#include "chart/tchart.h"
#include "measurement/tpomiar.h"
#include "report/report_lines.h"

#include <QPageLayout>
#include <QPageSize>
#include <QSize>
#include <QString>

namespace zr7 {

// The chart's size in the main window, whose proportions a report of a
// measurement file keeps.
inline const QSize kWindowChartSize(829, 433);

// What the report prints for a record: the station and vehicle data, date,
// time and brake texts stored in it, and the maxima as the tool panel shows
// them (the user's decimal separator).
TReportInputs ReportInputsOf(const TPomiar& pomiar, double amax, double fmax);

// The report page of a record, printed into a PDF file on the given paper
// and orientation, with the printable area of a usual laser printer
// (6.35 mm margins) at 600 dpi and the logo from logo.bmp when there is
// one; with `brakingAnalysis` the braking figures follow the results. The
// clipboard is left alone. Answers false with the failure's text.
// Needs a QApplication.
bool RenderReportPdf(const TPomiar& pomiar, const QString& pdfPath, const QPageSize& paper,
                     QPageLayout::Orientation orientation, QString* error, bool brakingAnalysis = false);

} // namespace zr7
