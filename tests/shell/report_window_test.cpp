#include "file_size_limit.h"
#include "measurement/measurement_file.h"
#include "pdf_reading.h"
#include "shaded_pixels.h"
#include "shell/tdaneskp.h"
#include "scripted_dialogs.h"
#include "shell/tfmain.h"
#include "temporary_directory.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace zr7 {
namespace {

class ReportWindow : public ::testing::Test {
protected:
  void SetUp() override {
    window.show();
    dialogs.boxes.clear(); // the missing konfiguracja.txt
    TPomiar& p = window.State.Pomiar;
    for (int i = 1; i <= 200; ++i) {
      p.Probki[i].a = 6.0;
      p.Probki[i].F = 40;
      p.Probki[i].n = 200;
    }
    window.Odrysuj();
    window.Ldata->setText("9/12/2026");
    window.State.HamulecTxt.AssignUtf8("hamulec awaryjny");
    window.daneSKP->edSKP->setText(QString::fromUtf8("Stacja Kontroli Pojazdów Łódź"));
    window.daneSKP->edRej->setText("EL 12345");
    window.daneSKP->rodzaj_pojazdu->setCurrentIndex(1);
    QGuiApplication::clipboard()->clear();
  }
  QString Pdf() const { return QString::fromStdString((directory.Path() / "report.pdf").string()); }

  TWorkingDirectory directory;
  TScriptedDialogs dialogs;
  TfMain window{dialogs};
};

TEST_F(ReportWindow, PrintsWhatTheWindowShows) {
  dialogs.printing.outputFile = Pdf();
  window.sbPrintClick();
  EXPECT_TRUE(dialogs.boxes.empty());
  ASSERT_EQ(PdfPageCount(Pdf()), 1);
  const QString text = PdfTextLines(Pdf()).join('\n');
  for (const char* expected :
       {"9/12/2026", "Stacja Kontroli Pojazdów Łódź", "EL 12345", "Rodzaj pojazdu: samochód ciężarowy",
        "hamulec awaryjny", "a max [m/s2] = 6", "F [daN] = 40"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\nin:\n" << text.toStdString();
  }
  EXPECT_TRUE(window.Prn_Opis->toPlainText().contains("EL 12345"));
  EXPECT_FALSE(window.Prn_Opis->isVisible());
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/svg+xml")) << "the vector picture stays";
}

TEST_F(ReportWindow, CancelPrintsNothingButLeavesTheChartOnTheClipboard) {
  window.sbPrintClick();
  EXPECT_EQ(dialogs.printing.printDialogs, 1);
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_FALSE(QFile::exists(Pdf()));
  const QImage picture = QGuiApplication::clipboard()->image();
  EXPECT_EQ(picture.size(), window.Chart->size());
}

// The chart shows where the braking figures come from; the page, which
// does not carry them, shows the chart as it always was.
TEST_F(ReportWindow, BrakingMarksAreOnTheScreensPictureButNotOnAPageWithoutTheFigures) {
  TPomiar& p = window.State.Pomiar;
  for (int i = 1; i <= 200; ++i) p.Probki[i].a = i > 20 && i < 150 ? 6.0 : 0.0;
  window.Odrysuj();
  window.sbPrintClick(); // cancelled: the raster picture stays on the clipboard
  EXPECT_GT(CountShaded(QGuiApplication::clipboard()->image()), 500);
  dialogs.printing.outputFile = Pdf();
  window.sbPrintClick();
  ASSERT_EQ(PdfPageCount(Pdf()), 1);
  EXPECT_EQ(CountShaded(PdfPageImage(Pdf(), 50)), 0);
  EXPECT_GT(CountShaded(window.Chart->RasterPicture()), 500) << "the marks are back on screen";
}

TEST_F(ReportWindow, PrinterSetupChoiceHoldsForTheNextReport) {
  dialogs.printing.setup = [](QPrinter& printer) { printer.setPageOrientation(QPageLayout::Landscape); };
  window.sbPrinterSetupClick();
  EXPECT_EQ(dialogs.printing.setupDialogs, 1);
  dialogs.printing.outputFile = Pdf();
  window.sbPrintClick();
  const QSizeF page = PdfPageSize(Pdf());
  EXPECT_GT(page.width(), page.height()) << "landscape";
}

TEST_F(ReportWindow, ReportThatCannotBeWrittenWhollyKeepsTheOldPdf) {
  dialogs.printing.outputFile = Pdf();
  window.sbPrintClick();
  ASSERT_TRUE(dialogs.boxes.empty());
  QFile old(Pdf());
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  const QByteArray before = old.readAll();
  old.close();

  window.daneSKP->edRej->setText("WX 999");
  {
    const TFileSizeLimit noRoom(2000); // as a disk that fills during the write
    window.sbPrintClick();
  }
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, TDialogs::TIcon::Stop);
  EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("Cannot create file \"%1\". I/O error 27.").arg(Pdf()));
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_TRUE(old.readAll() == before) << "the old report is whole";
  EXPECT_EQ(QDir(QString::fromStdString(directory.Path().string())).entryList(QDir::Files | QDir::Hidden).size(), 1)
      << "no temporary file left";
}

TEST_F(ReportWindow, FailureIsShownInTheErrorBox) {
  dialogs.printing.outputFile = QString::fromStdString((directory.Path() / "no-such-folder" / "report.pdf").string());
  window.sbPrintClick();
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, TDialogs::TIcon::Stop);
  EXPECT_TRUE(dialogs.boxes[0].text.contains("report.pdf")) << dialogs.boxes[0].text.toStdString();
}

// A kind typed over in the box is no kind: the report prints no kind line
// and the measurement file stores none.
TEST_F(ReportWindow, AKindTypedOverIsNoKind) {
  QLineEdit* kindText = window.daneSKP->rodzaj_pojazdu->lineEdit();
  kindText->selectAll();
  QTest::keyClicks(kindText, "xyz");
  dialogs.printing.outputFile = Pdf();
  window.sbPrintClick();
  const QString text = PdfTextLines(Pdf()).join('\n');
  EXPECT_TRUE(text.contains("EL 12345")) << text.toStdString();
  EXPECT_FALSE(text.contains("Rodzaj pojazdu")) << text.toStdString();

  const std::string file = (directory.Path() / "pomiar.zr").string();
  dialogs.fileNames.push_back(QString::fromStdString(file));
  window.sbSaveClick();
  ASSERT_TRUE(dialogs.boxes.empty());
  TPomiar stored;
  ASSERT_TRUE(LoadMeasurementFile(file, stored).Ok());
  EXPECT_EQ(stored.RodzajPojazdu, -1);
}

} // namespace
} // namespace zr7
