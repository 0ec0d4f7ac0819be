#include "file_content.h"
#include "pdf_reading.h"
#include "scripted_dialogs.h"
#include "sim_process.h"
#include "ui/user_number.h"
#include "shell/tdaneskp.h"
#include "shell/tfmain.h"
#include "shell/tspinedit.h"
#include "shell/tstatusbar.h"
#include "sim/sim_bank.h"
#include "shown_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zr7 {
namespace {

// The simulated instrument, linked as COM1 in the test's ports folder.
class Instrument {
public:
  Instrument(const std::filesystem::path& folder, std::vector<std::string> options)
      : process_(WithLink(folder, std::move(options))) {
    process_.FirstLine(); // printed once it answers
  }
  // The adapter's cable pulled: the instrument's end of the line goes away.
  void Unplug() { process_.Stop(SIGKILL); }

private:
  static std::vector<std::string> WithLink(const std::filesystem::path& folder, std::vector<std::string> options) {
    options.insert(options.end(),
                   {"--link", (folder / "ports" / "COM1").string(), "--log", (folder / "requests.log").string()});
    return options;
  }
  TSimProcess process_;
};

QString IncompleteText(int samplesRead, int sampleCount, int unanswered) {
  return QString::fromUtf8(
             "Pomiar jest niekompletny: odczytano %1 z %2 próbek, zapytań bez odpowiedzi: %3. "
             "Krzywa może być niepełna.")
      .arg(samplesRead)
      .arg(sampleCount)
      .arg(unanswered);
}

// The box after a read of bank 1 that was cut off once the instrument had
// received `requests` requests: all of them answered but perhaps the last.
// The first five are the header block's and the first selection; each later
// block starts with one more selection. The third brings the sample count;
// without it the header's zero bytes give 100.
void ExpectIncompleteReadBox(const TScriptedDialogs::Box& box, int requests) {
  const auto text = [&](int answered) {
    const int count = answered >= 3 ? sim::GeneratedTest(1).count : 100;
    const int samplesRead = answered <= 5 ? 0 : answered - 5 - (answered - 5) / 45;
    return IncompleteText(std::min(samplesRead, count), count, 544 - answered);
  };
  EXPECT_TRUE(box.text == text(requests) || box.text == text(requests - 1))
      << box.text.toStdString() << "\nafter " << requests << " requests";
}

// The largest label of the printed chart's time axis: the numbers on the
// lowest row of numbers above the axis title.
double LargestTimeLabel(const QString& pdf) {
  const std::vector<TPdfWord> words = PdfWords(pdf);
  const TPdfWord* title = FindWord(words, QStringLiteral("czas"));
  if (title == nullptr) return -1;
  std::vector<std::pair<double, double>> numbers; // (row, value)
  for (const TPdfWord& word : words) {
    bool isNumber = false;
    const double value = QString(word.text).replace(u',', u'.').toDouble(&isNumber);
    if (isNumber && word.box.bottom() <= title->box.top()) numbers.emplace_back(word.box.top(), value);
  }
  double lowestRow = -1;
  for (const auto& [row, value] : numbers) lowestRow = std::max(lowestRow, row);
  double largest = -1;
  for (const auto& [row, value] : numbers) {
    if (row > lowestRow - 1) largest = std::max(largest, value);
  }
  return largest;
}

class WindowBankRead : public ::testing::Test, protected TShownWindow {
protected:
  void ReadBank(int bank) {
    window.seBank->setValue(bank);
    window.bbtOpenClick();
    ASSERT_EQ(window.State.IloscProbek, sim::GeneratedTest(bank).count);
  }
  QString PathOf(const char* name) const { return QString::fromStdString((directory.Path() / name).string()); }
  void Connect() {
    window.cbCOM->setCurrentText("COM1");
    window.btPolacz->click();
    ASSERT_TRUE(window.State.Polaczony);
  }
};

TEST_F(WindowBankRead, WindowShowsTheBankTheInstrumentHolds) {
  Instrument instrument(directory.Path(), {});
  Connect();
  window.seBank->setValue(3);
  window.bbtOpenClick();

  const sim::TSimTest held = sim::GeneratedTest(3);
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(window.State.IloscProbek, held.count);
  EXPECT_EQ(window.State.Pomiar.Probki[1].n, held.count);
  EXPECT_EQ(window.StatusBar->PanelText(0), QString::fromUtf8(" Ilosc próbek = %1").arg(held.count));
  EXPECT_EQ(window.StatusBar->PanelText(1), " ") << "no request went unanswered";
  EXPECT_EQ(window.Lblok->text(), "39") << "the last sample block of bank 3";
  EXPECT_EQ(window.Serie.SeriaF->Count(), held.count);
  EXPECT_EQ(window.Serie.SeriaA->Count(), held.count + 3);
  EXPECT_DOUBLE_EQ(window.Chart->BottomAxis().Maximum(), held.count / 40.0);
  for (int i = 1; i <= held.count; ++i) {
    const TProbka& s = window.State.Pomiar.Probki[i];
    const sim::TSimLine& line = held.samples[i - 1];
    ASSERT_EQ(s.surX, std::abs(line[0])) << i;
    ASSERT_EQ(s.surZ, std::abs(line[1])) << i;
    ASSERT_EQ(s.F, (line[2] >> 8) & 0xFF) << i;
  }
  EXPECT_EQ(window.Ldata->text(),
            QString("%1/%2/20%3").arg(held.day).arg(held.month).arg(held.year, 2, 10, QChar('0')));
  EXPECT_EQ(window.Lgodzina->text(), QString("%1:%2:%3").arg(held.hour).arg(held.minute).arg(held.second));
  EXPECT_NE(window.lbAmax->text(), "0.0");
  EXPECT_TRUE(window.lHamulec->text().startsWith("hamulec")) << window.lHamulec->text().toStdString();
  EXPECT_TRUE(window.bbtOpen->isEnabled());
  EXPECT_TRUE(window.sbOpen->isEnabled());
  EXPECT_EQ(window.pBar->value(), 0);
  EXPECT_EQ(LineCount(directory.Path() / "requests.log"), 544);
}

TEST_F(WindowBankRead, OpenedFilesShowAndPrintTheirWholeCurve) {
  Instrument instrument(directory.Path(), {});
  Connect();
  ReadBank(6);
  dialogs.fileNames.push_back(PathOf("long.zr"));
  window.sbSaveClick();
  ReadBank(7);
  dialogs.fileNames.push_back(PathOf("short.zr"));
  window.sbSaveClick();
  ReadBank(2);
  const double readEnd = sim::GeneratedTest(2).count / 40.0;
  ASSERT_DOUBLE_EQ(window.Chart->BottomAxis().Maximum(), readEnd);
  const QStringList panel = {window.Lbeta->text(), window.La_zero->text(), window.Lblok->text(),
                             window.StatusBar->PanelText(0), window.StatusBar->PanelText(1)};

  struct Case {
    const char* file;
    int bank;
  };
  for (const Case& c : {Case{"long.zr", 6}, Case{"short.zr", 7}}) {
    const double end = sim::GeneratedTest(c.bank).count / 40.0;
    dialogs.fileNames.push_back(PathOf(c.file));
    window.sbOpenClick();
    ASSERT_TRUE(dialogs.boxes.empty()) << dialogs.boxes[0].text.toStdString();
    EXPECT_FALSE(window.Chart->BottomAxis().IsAutomatic()) << c.file;
    EXPECT_DOUBLE_EQ(window.Chart->BottomAxis().Minimum(), 0) << c.file;
    EXPECT_DOUBLE_EQ(window.Chart->BottomAxis().Maximum(), end) << c.file;
    EXPECT_DOUBLE_EQ(window.Chart->BottomAxis().Increment(), 0.1) << c.file;
    window.Chart->ResetZoom();
    EXPECT_DOUBLE_EQ(window.Chart->BottomAxis().Maximum(), end) << "the full view is the whole curve";
    const QStringList panelNow = {window.Lbeta->text(), window.La_zero->text(), window.Lblok->text(),
                                  window.StatusBar->PanelText(0), window.StatusBar->PanelText(1)};
    EXPECT_EQ(panelNow, panel) << "opening a file keeps the read's start values and status";

    const QString pdf = PathOf(c.file) + ".pdf";
    dialogs.printing.outputFile = pdf;
    window.sbPrintClick();
    const double printedEnd = LargestTimeLabel(pdf);
    EXPECT_LE(printedEnd, end) << c.file;
    EXPECT_GT(printedEnd, end - 1) << c.file << ": the printed time axis ends with the curve";
  }
}

TEST_F(WindowBankRead, ThirdStatusPanelShowsTheBrakingFiguresOfEachRead) {
  Instrument instrument(directory.Path(), {});
  Connect();
  const QString separator = QString::fromStdString(UserDecimalSeparator());
  const QRect countPanel = window.StatusBar->Panel(0)->geometry();
  const QRect timeOutPanel = window.StatusBar->Panel(1)->geometry();
  const QSize windowSize = window.size();
  EXPECT_EQ(window.StatusBar->PanelText(2), "");

  // Bank 7 stops from 65.0 km/h at 6.60 m/s2 within 27.43 m.
  window.seBank->setValue(7);
  window.bbtOpenClick();
  EXPECT_EQ(window.StatusBar->PanelText(2),
            "MFDD 6" + separator + "6 m/s2 (67 %)  v0 65 km/h  s 27" + separator + "4 m");
  EXPECT_TRUE(
      window.StatusBar->PanelHint(2).startsWith(window.StatusBar->PanelText(2) + "  t 2" + separator + "90 s  F "))
      << window.StatusBar->PanelHint(2).toStdString();
  EXPECT_TRUE(
      window.StatusBar->PanelHint(2).endsWith(QString::fromUtf8("\nocena według MFDD: brak (brak rodzaju pojazdu)")))
      << window.StatusBar->PanelHint(2).toStdString();
  // Choosing the vehicle's kind in the data dialog judges the test again.
  window.daneSKP->rodzaj_pojazdu->setCurrentIndex(0);
  EXPECT_TRUE(window.StatusBar->PanelHint(2).endsWith(
      QString::fromUtf8("\nocena według MFDD: brak (brak wymagania dla tego pojazdu)")))
      << window.StatusBar->PanelHint(2).toStdString();
  window.daneSKP->rodzaj_pojazdu->setCurrentIndex(-1);
  EXPECT_EQ(window.StatusBar->Panel(0)->geometry(), countPanel);
  EXPECT_EQ(window.StatusBar->Panel(1)->geometry(), timeOutPanel);
  EXPECT_EQ(window.size(), windowSize);
  EXPECT_GE(window.StatusBar->Panel(2)->geometry().left(), timeOutPanel.right());

  // At the window's first width the panel shows the leading figures that
  // fit and an ellipsis, none cut; widened, the whole summary.
  const QLabel* panel = window.StatusBar->Panel(2);
  const QString whole = window.StatusBar->PanelText(2);
  auto fits = [&] { return panel->fontMetrics().horizontalAdvance(panel->text()) < panel->contentsRect().width(); };
  EXPECT_TRUE(fits()) << panel->text().toStdString();
  EXPECT_TRUE(panel->text().endsWith(QString::fromUtf8("  …"))) << panel->text().toStdString();
  EXPECT_TRUE(whole.startsWith(panel->text().chopped(1))) << panel->text().toStdString();
  window.resize(windowSize.width() + 300, windowSize.height());
  QCoreApplication::processEvents();
  EXPECT_EQ(panel->text(), whole);
  EXPECT_TRUE(fits());
  window.resize(windowSize);
  QCoreApplication::processEvents();

  // The sensor's noise at rest after the stop, up to 0.7 m/s2 in bank 3,
  // belongs to no braking.
  window.seBank->setValue(3);
  window.bbtOpenClick();
  EXPECT_TRUE(window.StatusBar->PanelText(2).startsWith("MFDD 5" + separator + "4 m/s2 (55 %)  v0 45 km/h"))
      << window.StatusBar->PanelText(2).toStdString();
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowBankRead, ReadCannotBeStartedTwiceAndDisconnectEndsItIncomplete) {
  Instrument instrument(directory.Path(), {"--latency", "5"});
  Connect();
  bool buttonsLocked = false;
  QTimer::singleShot(300, [&] {
    buttonsLocked = !window.bbtOpen->isEnabled() && !window.sbOpen->isEnabled();
    window.btPolacz->click();
  });
  window.bbtOpenClick();
  EXPECT_TRUE(buttonsLocked);
  EXPECT_FALSE(window.State.Polaczony);
  EXPECT_FALSE(window.bbtOpen->isEnabled());
  EXPECT_TRUE(window.sbOpen->isEnabled());
  EXPECT_EQ(window.pBar->value(), 0);
  const int requests = LineCount(directory.Path() / "requests.log");
  EXPECT_LT(requests, 544) << "the remaining requests were not sent";
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  ExpectIncompleteReadBox(dialogs.boxes[0], requests);
  // The samples that did not come are no stop: no figures.
  EXPECT_EQ(window.StatusBar->PanelText(2), "");
  EXPECT_EQ(window.StatusBar->PanelHint(2), QString::fromUtf8("pomiar niekompletny"));
}

// Escape or "Przerwij" beside the progress bar stop a read where it is: the
// window stays connected, the box says what was read, and the next read
// reads the whole bank.
TEST_F(WindowBankRead, StoppedReadStaysConnectedAndSaysWhatWasRead) {
  Instrument instrument(directory.Path(), {"--latency", "5"});
  Connect();
  window.activateWindow();
  const std::function<void()> stops[] = {
      [&] { QTest::keyClick(&window, Qt::Key_Escape); },
      [&] { window.btPrzerwij->click(); },
  };
  int requestsBefore = 0;
  for (const auto& stop : stops) {
    dialogs.boxes.clear();
    bool stopShown = false;
    QTimer::singleShot(300, [&] {
      stopShown = window.btPrzerwij->isVisible();
      stop();
    });
    window.seBank->setValue(1);
    window.bbtOpenClick();
    EXPECT_TRUE(stopShown);
    EXPECT_FALSE(window.btPrzerwij->isVisible());
    EXPECT_TRUE(window.State.Polaczony);
    EXPECT_TRUE(window.Comm->IsOpen());
    EXPECT_TRUE(window.bbtOpen->isEnabled());
    const int requests = LineCount(directory.Path() / "requests.log") - requestsBefore;
    EXPECT_GT(requests, 5);
    EXPECT_LT(requests, 544) << "the remaining requests were not sent";
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    ExpectIncompleteReadBox(dialogs.boxes[0], requests);
    requestsBefore += requests;
  }
  dialogs.boxes.clear();
  ReadBank(2);
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowBankRead, UnpluggedMidReadEndsTheReadAndDisconnects) {
  Instrument instrument(directory.Path(), {"--latency", "5"});
  Connect();
  QTimer::singleShot(300, [&] { instrument.Unplug(); });
  window.bbtOpenClick();
  EXPECT_FALSE(window.State.Polaczony);
  EXPECT_FALSE(window.Comm->IsOpen());
  EXPECT_FALSE(window.bbtOpen->isEnabled());
  EXPECT_TRUE(window.sbOpen->isEnabled());
  EXPECT_EQ(window.btPolacz->text(), QString::fromUtf8("Polącz"));
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_TRUE(dialogs.boxes[0].text.contains("COM1")) << dialogs.boxes[0].text.toStdString();
  ExpectIncompleteReadBox(dialogs.boxes[1], LineCount(directory.Path() / "requests.log"));
}

TEST_F(WindowBankRead, ClosingTheWindowMidReadEndsTheReadAndFreesThePort) {
  Instrument instrument(directory.Path(), {"--latency", "5"});
  Connect();
  // As in the program: the read runs inside the application's event loop,
  // and closing the last window ends that loop.
  QTimer::singleShot(0, [&] { window.bbtOpen->click(); });
  QTimer::singleShot(300, [&] { window.close(); });
  QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0) << "the program ends, it does not hang";
  EXPECT_TRUE(dialogs.boxes.empty()) << "no box after the window has gone";
  EXPECT_FALSE(window.Comm->IsOpen());
  EXPECT_LT(LineCount(directory.Path() / "requests.log"), 544) << "the remaining requests were not sent";
}

TEST_F(WindowBankRead, SplitLineIsReadWholeAndAMalformedLineEndsTheRead) {
  {
    Instrument instrument(directory.Path(), {"--split-at", "20"});
    Connect();
    window.bbtOpenClick();
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(window.State.IloscProbek, sim::GeneratedTest(1).count);
    window.btPolacz->click();
  }
  Instrument instrument(directory.Path(), {"--malformed-at", "30"});
  Connect();
  window.bbtOpenClick();
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[0].text, QString::fromUtf8("Bląd odczytu danych lub portu!"));
  // Requests 6 to 29 brought samples 1 to 24; the malformed 30th ended the read.
  EXPECT_EQ(dialogs.boxes[1].text, IncompleteText(24, sim::GeneratedTest(1).count, 544 - 29));
  EXPECT_EQ(window.pBar->value(), 0);
  EXPECT_TRUE(window.bbtOpen->isEnabled());
}

// The answer to request 7 (sample 2) comes 50 ms after its time-out, right
// when the next request would be answered.
TEST_F(WindowBankRead, LateAnswerIsDroppedAndTheIncompleteReadIsTold) {
  Instrument instrument(directory.Path(), {"--late-at", "7:550"});
  Connect();
  window.State.Pomiar.Probki[2].surX = 1234; // from an earlier test
  window.bbtOpenClick();

  const sim::TSimTest held = sim::GeneratedTest(1);
  EXPECT_EQ(window.StatusBar->PanelText(1), QString::fromUtf8(" Przekroczony czas odpowiedzi !"));
  EXPECT_EQ(window.State.Pomiar.Probki[2].surX, 1234) << "the timed-out line keeps its value";
  for (int i : {1, 3, 4, held.count}) {
    EXPECT_EQ(window.State.Pomiar.Probki[i].surX, std::abs(held.samples[i - 1][0])) << "sample " << i;
    EXPECT_EQ(window.State.Pomiar.Probki[i].surZ, std::abs(held.samples[i - 1][1])) << "sample " << i;
  }
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, IncompleteText(held.count - 1, held.count, 1));
  EXPECT_EQ(LineCount(directory.Path() / "requests.log"), 544);
  // One sample short is no measurement to judge a brake by.
  EXPECT_EQ(window.StatusBar->PanelText(2), "");
  EXPECT_EQ(window.StatusBar->PanelHint(2), QString::fromUtf8("pomiar niekompletny"));
}

} // namespace
} // namespace zr7
