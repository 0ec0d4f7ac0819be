#include "report/report_pdf.h"

#include "report/braking_texts.h"
#include "report/drukuj_raport.h"
#include "ui/user_number.h"

#include <QMarginsF>
#include <QPrinter>

namespace zr7 {

namespace {

constexpr int kPdfResolution = 600;
constexpr double kPrinterMarginMm = 6.35;

QString Screen(const TShortString& text) { return QString::fromStdString(text.Utf8()); }

} // namespace

TReportInputs ReportInputsOf(const TPomiar& p, double amax, double fmax) {
  TReportInputs in;
  in.station = StationDataOf(p);
  in.Ldata = Screen(p.Data);
  in.Lgodzina = Screen(p.Godzina);
  in.lbAmax = FormatUserNumber(amax, 1);
  in.lbFmax = FormatUserNumber(fmax, 0);
  in.HamulecTxt = p.Hamulec.Utf8();
  in.UwagaTxt = p.Uwaga.Utf8();
  in.OdchylenieTxt = p.Odchylenie.Utf8();
  return in;
}

bool RenderReportPdf(const TPomiar& pomiar, const QString& pdfPath, const QPageSize& paper,
                     QPageLayout::Orientation orientation, QString* error, bool brakingAnalysis) {
  TChart chart;
  chart.resize(kWindowChartSize);
  const TMeasurementSeries serie = ConfigureMeasurementChart(chart);
  FillMeasurementSeries(serie, pomiar);
  ShowWholeTimeAxis(chart, pomiar);
  TReportInputs inputs = ReportInputsOf(pomiar, serie.SeriaALFA->MaxYValue(), serie.SeriaF->MaxYValue());
  if (brakingAnalysis) {
    // A page that carries the figures shows on its chart where they come from.
    const TBrakingAnalysis braking = AnalyzeBraking(pomiar);
    inputs.underResults =
        BrakingReportLines(braking, JudgeBraking(braking, StationDataOf(pomiar), pomiar.Hamulec.Utf8()));
    FillBrakingMarks(ConfigureBrakingMarks(chart), pomiar, braking);
  }
  const QStringList lines = PrnOpisLines(inputs);

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(kPdfResolution);
  printer.setOutputFileName(pdfPath);
  printer.setDocName(QString());
  const QMarginsF margins(kPrinterMarginMm, kPrinterMarginMm, kPrinterMarginMm, kPrinterMarginMm);
  printer.setPageLayout(QPageLayout(paper, orientation, margins, QPageLayout::Millimeter));
  return DrukujRaport(10, 100, 5, 5, lines, chart, printer, nullptr, error);
}

} // namespace zr7
