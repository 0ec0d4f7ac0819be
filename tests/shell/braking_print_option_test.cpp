#include "file_content.h"
#include "pdf_reading.h"
#include "scripted_dialogs.h"
#include "shaded_pixels.h"
#include "shell/tfmain.h"
#include "temporary_directory.h"
#include "ui/window_options.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QDir>
#include <QSettings>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace zr7 {
namespace {

class BrakingPrintOption : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(QSettings(QStringLiteral("ZR-7"), QStringLiteral("zr7")).fileName().startsWith(QDir::tempPath()))
        << "the test must not touch the user's settings";
    SetBrakingBlockPrinted(false);
    // konfiguracja.txt as the examiner's station keeps it.
    std::ofstream(directory.Path() / "konfiguracja.txt") << "COM1\r\nSKP\r\nul. Polna 1\r\n0\r\n";
    konfiguracja_ = FileContent(directory.Path() / "konfiguracja.txt");
  }
  std::unique_ptr<TfMain> Window() {
    auto window = std::make_unique<TfMain>(dialogs);
    window->show();
    dialogs.boxes.clear();
    // At rest, 6 m/s2 for 3.2 s, at rest: figures and their marks.
    TPomiar& p = window->State.Pomiar;
    for (int i = 1; i <= 200; ++i) {
      p.Probki[i].n = 200;
      p.Probki[i].a = i > 20 && i < 150 ? 6.0 : 0.0;
      p.Probki[i].F = 40;
    }
    window->Odrysuj();
    return window;
  }
  QString Pdf(const char* name) const { return QString::fromStdString((directory.Path() / name).string()); }
  void Print(TfMain& window, const char* name) {
    dialogs.printing.outputFile = Pdf(name);
    window.sbPrintClick();
    ASSERT_TRUE(dialogs.boxes.empty());
    ASSERT_EQ(PdfPageCount(Pdf(name)), 1);
  }

  TWorkingDirectory directory;
  TScriptedDialogs dialogs;
  std::string konfiguracja_;
};

TEST_F(BrakingPrintOption, OffThePageIsAsBeforeOnItCarriesTheFiguresAndTheirMarks) {
  const auto window = Window();
  EXPECT_FALSE(window->cbBrakingPrint->isChecked());
  Print(*window, "off.pdf");
  const QString off = PdfTextLines(Pdf("off.pdf")).join('\n');
  EXPECT_FALSE(off.contains("MFDD")) << off.toStdString();
  EXPECT_TRUE(off.contains("F [daN] = 40")) << off.toStdString();
  EXPECT_EQ(CountShaded(PdfPageImage(Pdf("off.pdf"), 50)), 0);

  window->cbBrakingPrint->click();
  Print(*window, "on.pdf");
  const QStringList on = PdfTextLines(Pdf("on.pdf"));
  const QString text = on.join('\n');
  for (const char* line : {"średnie pełne opóźnienie, MFDD [m/s2] = 6,0", "wskaźnik skuteczności hamowania [%] = 61",
                           "średnia siła nacisku w przedziale MFDD, F [daN] = 40"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\nin:\n" << text.toStdString();
  }
  EXPECT_TRUE(window->Prn_Opis->toPlainText().contains("MFDD"));
  EXPECT_GT(CountShaded(PdfPageImage(Pdf("on.pdf"), 50)), 500);
}

TEST_F(BrakingPrintOption, KeptBetweenRunsOutsideKonfiguracja) {
  {
    const auto first = Window();
    first->cbBrakingPrint->click();
    ASSERT_TRUE(first->cbBrakingPrint->isChecked());
  }
  const auto second = Window();
  EXPECT_TRUE(second->cbBrakingPrint->isChecked()) << "the next run starts with the examiner's choice";
  second->cbBrakingPrint->click();
  EXPECT_FALSE(BrakingBlockPrinted());
  EXPECT_EQ(FileContent(directory.Path() / "konfiguracja.txt"), konfiguracja_);
}

} // namespace
} // namespace zr7
