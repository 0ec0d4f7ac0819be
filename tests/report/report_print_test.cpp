#include "chart/tchart.h"
#include "pdf_reading.h"
#include "shaded_pixels.h"
#include "scripted_print_dialogs.h"
#include "report/drukuj_raport.h"
#include "report/page_layout.h"
#include "report/report_lines.h"
#include "report/print_dialogs.h"
#include "report/report_pdf.h"
#include "report/report_printer.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPaintEngine>
#include <QPrintEngine>
#include <QSvgRenderer>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

namespace zr7 {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int kResolution = 600;
constexpr double kMarginMm = 6.35;
constexpr double kPointsPerPixel = 72.0 / kResolution;
// Where the printable area starts on the PDF page, in points.
const double kMarginPoints = kMarginMm / 25.4 * 72;

// A service brake test: 3 s of samples, deceleration rising to 7.5 m/s2 and
// falling, pedal force up to 60 daN.
TPomiar BrakeTest() {
  TPomiar p;
  p.Probki[1].n = 120;
  for (int i = 1; i <= 120; ++i) {
    const double rise = 1 - std::abs(i - 60) / 60.0;
    p.Probki[i].a = 7.5 * rise;
    p.Probki[i].F = static_cast<std::int16_t>(60 * rise);
  }
  p.Data.AssignUtf8("14/05/24");
  p.Godzina.AssignUtf8("10:22:31");
  p.Hamulec.AssignUtf8("hamulec roboczy");
  p.Uwaga.AssignUtf8("(*) w przypadku motocykla - hamulec obu kół");
  p.Odchylenie.AssignUtf8("0,35");
  p.SKP.AssignUtf8("Stacja Kontroli Pojazdów Łódź-Bałuty");
  p.Adres.AssignUtf8("ul. Źródłowa 7, 91-735 Łódź");
  p.RodzajPojazdu = 1;
  p.Marka.AssignUtf8("Żuk");
  p.Model.AssignUtf8("A-06");
  p.PierwszaRej.AssignUtf8("01.02.1990");
  p.Rej.AssignUtf8("EL 4711Ć");
  p.Przebieg.AssignUtf8("312 456");
  p.Diagnosta.AssignUtf8("Grzegorz Brzęczyszczykiewicz");
  return p;
}

const char* kLongRemark =
    "pojazd dostarczony na stanowisko z niedopompowanym ogumieniem osi tylnej, ciśnienie uzupełnione "
    "przed pomiarem; nawierzchnia sucha, asfalt, temperatura otoczenia 18 stopni, pomiar powtórzony "
    "dwukrotnie z tym samym wynikiem w granicach błędu przyrządu";

class TReportPrintTest : public ::testing::Test {
protected:
  TReportPrintTest() : serie(ConfigureMeasurementChart(chart)) {
    chart.resize(kWindowChartSize);
    record = BrakeTest();
    FillMeasurementSeries(serie, record);
  }

  QString PdfPath(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

  void MakePdfPrinter(QPrinter& printer, const QString& path,
                      QPageLayout::Orientation orientation = QPageLayout::Portrait) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(kResolution);
    printer.setOutputFileName(path);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation,
                                      QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
  }

  QStringList Lines(const char* remark) {
    TReportInputs in = ReportInputsOf(record, serie.SeriaALFA->MaxYValue(), serie.SeriaF->MaxYValue());
    in.station.Uwagi = remark;
    return PrnOpisLines(in);
  }

  QTemporaryDir dir;
  TChart chart;
  TMeasurementSeries serie;
  TPomiar record;
  const QString noLogo = dir.filePath(QStringLiteral("no-logo.bmp"));
};

bool IsCurve(QRgb p) {
  const bool red = qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
  const bool green = qRed(p) < 80 && qGreen(p) > 90 && qGreen(p) < 170 && qBlue(p) < 80;
  return red || green;
}

// The box around the pixels of the red and green curves (and their legend marks).
QRect CurveBox(const QImage& page) {
  QRect box;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (IsCurve(page.pixel(x, y))) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// Each expected line is found on the page after the one before it. A
// line may run off the paper, so only its beginning is compared.
void ExpectLinesInOrder(const QStringList& printed, const QStringList& expected) {
  qsizetype at = 0;
  for (const QString& line : expected) {
    const QString wanted = line.simplified().left(40);
    if (wanted.isEmpty()) continue;
    while (at < printed.size() && !printed[at].startsWith(wanted)) ++at;
    ASSERT_LT(at, printed.size()) << "missing or out of order: " << wanted.toStdString();
    ++at;
  }
}

TEST_F(TReportPrintTest, PrintedPageHoldsTheLinesInOrderAboveTheChart) {
  const QStringList lines = Lines(kLongRemark);
  ASSERT_GT(lines.size(), 25) << "the remark should need more than one line";
  const QString pdf = PdfPath("report.pdf");
  QPrinter printer(QPrinter::HighResolution);
  MakePdfPrinter(printer, pdf);
  const int leftGap = qRound(printer.width() * 0.05);
  QString error;
  ASSERT_TRUE(DrukujRaport(10, 100, 5, 5, lines, chart, printer, nullptr, &error, noLogo)) << error.toStdString();

  EXPECT_EQ(PdfPageCount(pdf), 1);
  ExpectLinesInOrder(PdfTextLines(pdf), lines);

  // Without a logo the text starts 5 % of the width in; each line one em
  // (8 points) below the one before; the remark's second row at the same x.
  const std::vector<TPdfWord> words = PdfWords(pdf);
  const TPdfWord* header = FindWord(words, U("F.P.U.H"));
  const TPdfWord* station = FindWord(words, U("DANE"));
  const TPdfWord* secondRow =
      FindWord(words, lines[lines.indexOf(U("    Diagnosta: Grzegorz Brzęczyszczykiewicz")) - 1].section(u' ', 0, 0));
  const TPdfWord* footnote = FindWord(words, U("(*)"));
  ASSERT_TRUE(header && station && secondRow && footnote);
  EXPECT_NEAR(header->box.left(), kMarginPoints + leftGap * kPointsPerPixel, 1.0);
  EXPECT_NEAR(secondRow->box.left(), header->box.left(), 1.0);
  EXPECT_NEAR(station->box.top() - header->box.top(), 3 * PrintFontEmHeight(kResolution) * kPointsPerPixel, 0.5);

  // The chart is drawn as vectors, below the last line and across the page.
  EXPECT_EQ(PdfImageCount(pdf), 0);
  constexpr int dpi = 100;
  const QImage page = PdfPageImage(pdf, dpi);
  ASSERT_FALSE(page.isNull());
  const QRect curves = CurveBox(page);
  ASSERT_FALSE(curves.isEmpty());
  EXPECT_GT(curves.top(), footnote->box.bottom() * dpi / 72);
  EXPECT_GT(curves.width(), page.width() * 0.7);
}

TEST_F(TReportPrintTest, LogoSitsInTheVeryCornerWithTheTextBesideIt) {
  const QString logoPath = dir.filePath(QStringLiteral("logo.bmp"));
  QImage bitmap(400, 200, QImage::Format_RGB32);
  bitmap.fill(QColor(0, 0, 255));
  ASSERT_TRUE(bitmap.save(logoPath, "BMP"));
  const QString pdf = PdfPath("logo.pdf");
  QPrinter printer(QPrinter::HighResolution);
  MakePdfPrinter(printer, pdf);
  const int leftGap = qRound(printer.width() * 0.05);
  QString error;
  ASSERT_TRUE(DrukujRaport(10, 100, 5, 5, Lines("bez uwag"), chart, printer, nullptr, &error, logoPath));

  EXPECT_EQ(PdfImageCount(pdf), 1);
  EXPECT_FALSE(RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).contains(U("jpeg")))
      << "the logo's pixels are copied, not recompressed";
  // 10 % of the shorter side high, twice as wide, with no gap before it.
  constexpr int dpi = 100;
  const QImage page = PdfPageImage(pdf, dpi);
  QRect blue;
  for (int y = 0; y < page.height() / 3; ++y) {
    for (int x = 0; x < page.width() / 2; ++x) {
      if (page.pixel(x, y) == qRgb(0, 0, 255)) blue |= QRect(x, y, 1, 1);
    }
  }
  const double pixelsPerDevicePixel = double(dpi) / kResolution;
  const int logoHeight = qRound(printer.width() * 0.1);
  const double margin = kMarginPoints * dpi / 72;
  // Edge pixels only partly covered are lighter than the blue looked for.
  EXPECT_NEAR(blue.left(), margin, 2.5);
  EXPECT_NEAR(blue.top(), margin, 2.5);
  EXPECT_NEAR(blue.height(), logoHeight * pixelsPerDevicePixel, 2.5);
  EXPECT_NEAR(blue.width(), 2 * logoHeight * pixelsPerDevicePixel, 2.5);

  const std::vector<TPdfWord> words = PdfWords(pdf);
  const TPdfWord* header = FindWord(words, U("F.P.U.H"));
  ASSERT_TRUE(header);
  EXPECT_NEAR(header->box.left(), kMarginPoints + (2 * logoHeight + leftGap) * kPointsPerPixel, 1.0);
}

TEST_F(TReportPrintTest, OnlyAReadableBitmapIsALogo) {
  const QString bmp = dir.filePath(QStringLiteral("good.bmp"));
  const QString png = dir.filePath(QStringLiteral("png-inside.bmp"));
  QImage bitmap(30, 10, QImage::Format_RGB32);
  bitmap.fill(Qt::blue);
  ASSERT_TRUE(bitmap.save(bmp, "BMP"));
  ASSERT_TRUE(bitmap.save(png, "PNG"));
  ASSERT_TRUE(LoadLogo(bmp));
  EXPECT_EQ(LoadLogo(bmp)->size(), QSize(30, 10));
  EXPECT_FALSE(LoadLogo(png));
  EXPECT_FALSE(LoadLogo(noLogo));
}

class TReportCommandTest : public TReportPrintTest {
protected:
  TReportCommandTest() : clipboard(*QGuiApplication::clipboard()), reportPrinter(dialogs, clipboard, noLogo) {
    clipboard.setText(QStringLiteral("earlier clipboard text"));
  }

  TScriptedPrintDialogs dialogs;
  QClipboard& clipboard;
  TReportPrinter reportPrinter;
};

TEST_F(TReportCommandTest, CancelPrintsNothingButLeavesTheRasterPicture) {
  QString error;
  EXPECT_TRUE(reportPrinter.Print(Lines("bez uwag"), chart, &error));
  EXPECT_EQ(dialogs.printDialogs, 1);
  EXPECT_TRUE(error.isEmpty());
  EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.pdf")}).isEmpty());

  const QMimeData* held = clipboard.mimeData();
  ASSERT_TRUE(held && held->hasImage());
  EXPECT_FALSE(held->hasFormat(QStringLiteral("image/svg+xml")));
  EXPECT_FALSE(held->hasText());
  const QImage picture = qvariant_cast<QImage>(held->imageData());
  EXPECT_EQ(picture.size(), kWindowChartSize);
  EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_FALSE(CurveBox(picture).isEmpty());
}

TEST_F(TReportCommandTest, PrintingLeavesTheVectorPictureOnTheClipboard) {
  dialogs.outputFile = PdfPath("printed.pdf");
  QString error;
  ASSERT_TRUE(reportPrinter.Print(Lines("bez uwag"), chart, &error)) << error.toStdString();
  EXPECT_EQ(PdfPageCount(dialogs.outputFile), 1);

  const QMimeData* held = clipboard.mimeData();
  ASSERT_TRUE(held);
  const QByteArray svg = held->data(QStringLiteral("image/svg+xml"));
  QSvgRenderer renderer(svg);
  EXPECT_TRUE(renderer.isValid());
  EXPECT_EQ(renderer.viewBox(), QRect(QPoint(0, 0), kWindowChartSize));
  EXPECT_TRUE(held->hasImage());
}

// The paper and orientation chosen in the set-up dialog hold for every
// later report, and the set-up command prints nothing itself.
TEST_F(TReportCommandTest, PrinterSetupChoiceHoldsForLaterReports) {
  dialogs.setup = [](QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Landscape);
  };
  reportPrinter.PrinterSetup();
  EXPECT_EQ(dialogs.setupDialogs, 1);
  EXPECT_EQ(dialogs.printDialogs, 0);
  for (const char* name : {"first.pdf", "second.pdf"}) {
    dialogs.outputFile = PdfPath(name);
    QString error;
    ASSERT_TRUE(reportPrinter.Print(Lines("bez uwag"), chart, &error)) << error.toStdString();
    const QSizeF size = PdfPageSize(dialogs.outputFile);
    EXPECT_NEAR(size.width(), 792, 1) << name;
    EXPECT_NEAR(size.height(), 612, 1) << name;
  }
}

TEST_F(TReportPrintTest, FailureBeforeTheJobStartsIsReported) {
  QString error;
  QPrinter unwritable(QPrinter::HighResolution);
  MakePdfPrinter(unwritable, dir.filePath(QStringLiteral("no-such-folder/report.pdf")));
  EXPECT_FALSE(DrukujRaport(10, 100, 5, 5, Lines(""), chart, unwritable, nullptr, &error, noLogo));
  EXPECT_EQ(error, QStringLiteral("Cannot create file \"%1\". File not found").arg(unwritable.outputFileName()));

  // What Qt gives where no printer is installed.
  QPrinter none;
  none.setOutputFormat(QPrinter::PdfFormat);
  EXPECT_FALSE(DrukujRaport(10, 100, 5, 5, Lines(""), chart, none, nullptr, &error, noLogo));
  EXPECT_EQ(error, QStringLiteral("There is no default printer currently selected"));
}

// A printer whose spooler fails once the job has started, or fails to
// finish it. Qt's own engines cannot be made to do either on demand.
class TFailingPrintEngine : public QPaintEngine, public QPrintEngine {
public:
  enum class TFault { ErrorWhilePrinting, EndFails };
  TFailingPrintEngine(TFault fault, QString outputFile)
      : QPaintEngine(QPaintEngine::AllFeatures), fault_(fault), outputFile_(std::move(outputFile)) {}

  // The job starts writing its output file at once.
  bool begin(QPaintDevice*) override {
    QFile output(outputFile_);
    output.open(QIODevice::WriteOnly);
    output.write("%PDF-1.4\n");
    state_ = fault_ == TFault::ErrorWhilePrinting ? QPrinter::Error : QPrinter::Active;
    return true;
  }
  bool end() override {
    ++ends;
    if (state_ != QPrinter::Aborted) state_ = QPrinter::Idle;
    return fault_ != TFault::EndFails;
  }
  void updateState(const QPaintEngineState&) override {}
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
  void drawPath(const QPainterPath&) override {}
  void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
  void drawTextItem(const QPointF&, const QTextItem&) override { ++texts; }
  Type type() const override { return QPaintEngine::User; }

  bool newPage() override { return true; }
  bool abort() override {
    ++aborts;
    state_ = QPrinter::Aborted;
    return true;
  }
  int metric(QPaintDevice::PaintDeviceMetric metric) const override {
    switch (metric) {
      case QPaintDevice::PdmWidth:
        return 4800;
      case QPaintDevice::PdmHeight:
        return 6800;
      case QPaintDevice::PdmWidthMM:
        return 203;
      case QPaintDevice::PdmHeightMM:
        return 288;
      case QPaintDevice::PdmNumColors:
        return INT_MAX;
      case QPaintDevice::PdmDepth:
        return 32;
      case QPaintDevice::PdmDevicePixelRatio:
        return 1;
      case QPaintDevice::PdmDevicePixelRatioScaled:
        return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
      default:
        return kResolution; // the four resolutions
    }
  }
  QPrinter::PrinterState printerState() const override { return state_; }
  void setProperty(PrintEnginePropertyKey, const QVariant&) override {}
  QVariant property(PrintEnginePropertyKey key) const override {
    return key == PPK_OutputFileName ? QVariant(outputFile_) : QVariant();
  }

  int ends = 0;
  int aborts = 0;
  int texts = 0;

private:
  TFault fault_;
  QString outputFile_;
  QPrinter::PrinterState state_ = QPrinter::Idle;
};

class TFailingPrinter : public QPrinter {
public:
  explicit TFailingPrinter(TFailingPrintEngine& engine) {
    setOutputFormat(QPrinter::PdfFormat);
    setEngines(&engine, &engine);
  }
};

TEST_F(TReportPrintTest, JobThatFailsAfterItStartedIsAborted) {
  const QString output = PdfPath("failing.pdf");
  TFailingPrintEngine engine(TFailingPrintEngine::TFault::ErrorWhilePrinting, output);
  TFailingPrinter printer(engine);
  QString error;
  EXPECT_FALSE(DrukujRaport(10, 100, 5, 5, Lines(""), chart, printer, nullptr, &error, noLogo));
  EXPECT_EQ(error, U("Błąd drukarki, wydruk przerwany"));
  EXPECT_GT(engine.texts, 0) << "the job had started";
  EXPECT_EQ(engine.aborts, 1);
  EXPECT_EQ(engine.ends, 1) << "the painter lets go of the aborted job";
  EXPECT_EQ(printer.printerState(), QPrinter::Aborted);
  EXPECT_FALSE(QFile::exists(output)) << "no half-written output is left behind";
}

TEST_F(TReportPrintTest, JobThatCannotBeFinishedIsReported) {
  TFailingPrintEngine engine(TFailingPrintEngine::TFault::EndFails, PdfPath("unfinished.pdf"));
  TFailingPrinter printer(engine);
  QString error;
  EXPECT_FALSE(DrukujRaport(10, 100, 5, 5, Lines(""), chart, printer, nullptr, &error, noLogo));
  EXPECT_EQ(error, U("Błąd drukarki, wydruk nie został zakończony"));
  EXPECT_EQ(engine.aborts, 0);
}

// A record's own station and vehicle data and its samples, on the paper asked for.
TEST_F(TReportPrintTest, RecordRendersToAPdfPage) {
  record.Uwagi.AssignUtf8("hamulce sprawne");
  const struct {
    const char* name;
    QPageSize::PageSizeId paper;
    QPageLayout::Orientation orientation;
    QSizeF points;
  } cases[] = {
      {"a4.pdf", QPageSize::A4, QPageLayout::Portrait, {595, 842}},
      {"letter-landscape.pdf", QPageSize::Letter, QPageLayout::Landscape, {792, 612}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString pdf = PdfPath(c.name);
    QString error;
    ASSERT_TRUE(RenderReportPdf(record, pdf, QPageSize(c.paper), c.orientation, &error)) << error.toStdString();
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_NEAR(PdfPageSize(pdf).width(), c.points.width(), 1);
    EXPECT_NEAR(PdfPageSize(pdf).height(), c.points.height(), 1);
    const QStringList text = PdfTextLines(pdf);
    ExpectLinesInOrder(
        text, {U("F.P.U.H \"TERVA\" Opóźnieniomierz ZR-7"), U("14/05/24 10:22:31"),
               U("Nazwa: Stacja Kontroli Pojazdów Łódź-Bałuty"), U("Adres: ul. Źródłowa 7, 91-735 Łódź"),
               U("Rodzaj pojazdu: samochód ciężarowy"), U("Marka: Żuk"), U("Nr rejestracyjny: EL 4711Ć"),
               U("rodzaj hamulca: hamulec roboczy (HR)*"), U("siła nacisku na pedał F [daN] = 60"),
               U("odchylenie kierunku jazdy = 0,35 [m]"), U("Uwagi: hamulce sprawne"),
               U("Diagnosta: Grzegorz Brzęczyszczykiewicz"), U("(*) w przypadku motocykla - hamulec obu kół")});
    EXPECT_FALSE(CurveBox(PdfPageImage(pdf, 50)).isEmpty());
  }

  QString error;
  EXPECT_FALSE(RenderReportPdf(record, dir.filePath(QStringLiteral("no-such-folder/x.pdf")), QPageSize(QPageSize::A4),
                               QPageLayout::Portrait, &error));
  EXPECT_TRUE(error.startsWith(U("Cannot create file")));
}

// A page that carries the braking figures shows where they come from on its
// chart; without them the chart is as it always was.
TEST_F(TReportPrintTest, PageWithTheBrakingFiguresShowsTheirMarks) {
  record.Probki[1].n = 200;
  for (int i = 1; i <= 200; ++i) record.Probki[i].a = i > 20 && i < 150 ? 6.0 : 0.0;
  const QString with = PdfPath("with.pdf");
  const QString without = PdfPath("without.pdf");
  QString error;
  ASSERT_TRUE(RenderReportPdf(record, with, QPageSize(QPageSize::A4), QPageLayout::Portrait, &error, true))
      << error.toStdString();
  ASSERT_TRUE(RenderReportPdf(record, without, QPageSize(QPageSize::A4), QPageLayout::Portrait, &error, false))
      << error.toStdString();
  EXPECT_TRUE(PdfTextLines(with).join('\n').contains(U("MFDD")));
  EXPECT_GT(CountShaded(PdfPageImage(with, 50)), 500);
  EXPECT_EQ(CountShaded(PdfPageImage(without, 50)), 0);
}

} // namespace
} // namespace zr7
