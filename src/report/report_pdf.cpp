#include "report/report_pdf.h"

#include "measurement/odrysuj_analysis.h"
#include "report/drukuj_raport.h"
#include "text/number_format.h"

#include <QLocale>
#include <QMarginsF>
#include <QPrinter>

namespace zr7 {

namespace {

constexpr int kPdfResolution = 600;
constexpr double kPrinterMarginMm = 6.35;

QString Screen(const TShortString& text) { return QString::fromStdString(text.Utf8()); }

QString Number(double value, int decimals) {
  return QString::fromStdString(FormatFixed(value, decimals, QLocale::system().decimalPoint().toStdString()));
}

} // namespace

void FillMeasurementSeries(const TMeasurementSeries& serie, const TPomiar& pomiar) {
  serie.SeriaA->Clear();
  serie.SeriaALFA->Clear();
  serie.SeriaF->Clear();
  const TOdrysujCurves curves = AnalyzeForOdrysuj(pomiar);
  for (std::size_t i = 0; i < curves.force.size(); ++i) {
    const TPoint& a = curves.deceleration[i];
    serie.SeriaF->AddXY(curves.force[i].x, curves.force[i].y);
    serie.SeriaA->AddXY(a.x, a.y);
    serie.SeriaALFA->AddXY(a.x, a.y);
  }
  for (const TPoint& mark : curves.MaximumMarks()) serie.SeriaA->AddXY(mark.x, mark.y);
}

TReportInputs ReportInputsOf(const TPomiar& p, double amax, double fmax) {
  TReportInputs in;
  in.SKP = Screen(p.SKP);
  in.Adres = Screen(p.Adres);
  // A kind outside the list, possible only in a foreign file, is no kind.
  in.RodzajPojazdu = p.RodzajPojazdu >= 0 && p.RodzajPojazdu < kVehicleKindCount ? p.RodzajPojazdu : -1;
  in.Marka = Screen(p.Marka);
  in.Model = Screen(p.Model);
  in.PierwszaRej = Screen(p.PierwszaRej);
  in.Rej = Screen(p.Rej);
  in.Przebieg = Screen(p.Przebieg);
  in.Uwagi = Screen(p.Uwagi);
  in.Diagnosta = Screen(p.Diagnosta);
  in.Ldata = Screen(p.Data);
  in.Lgodzina = Screen(p.Godzina);
  in.lbAmax = Number(amax, 1);
  in.lbFmax = Number(fmax, 0);
  in.HamulecTxt = p.Hamulec.Utf8();
  in.UwagaTxt = p.Uwaga.Utf8();
  in.OdchylenieTxt = p.Odchylenie.Utf8();
  return in;
}

bool RenderReportPdf(const TPomiar& pomiar, const QString& pdfPath, const QPageSize& paper,
                     QPageLayout::Orientation orientation, QString* error) {
  TChart chart;
  chart.resize(kWindowChartSize);
  const TMeasurementSeries serie = ConfigureMeasurementChart(chart);
  FillMeasurementSeries(serie, pomiar);
  const QStringList lines = PrnOpisLines(ReportInputsOf(pomiar, serie.SeriaALFA->MaxYValue(), serie.SeriaF->MaxYValue()));

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
