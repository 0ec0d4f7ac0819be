#include "file_content.h"
#include "scripted_dialogs.h"
#include "shell/memory_window.h"
#include "shell/tfmain.h"
#include "shell/tspinedit.h"
#include "sim/sim_bank.h"
#include "sim_process.h"
#include "shown_window.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

QString TwoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

QString DateOf(const sim::TSimTest& t) {
  return QStringLiteral("20%1-%2-%3").arg(TwoDigits(t.year), TwoDigits(t.month), TwoDigits(t.day));
}

std::string FileNameOf(int bank) {
  const sim::TSimTest t = sim::GeneratedTest(bank);
  return (DateOf(t) + "_" + TwoDigits(t.hour) + "-" + TwoDigits(t.minute) + "-" + TwoDigits(t.second) + "_bank" +
          TwoDigits(bank) + ".zr")
      .toStdString();
}

// The window with the list of stored tests, against zr7-sim linked as COM1.
class MemoryWindow : public ::testing::Test, protected TShownWindow {
protected:
  void StartInstrument(std::vector<std::string> options) {
    options.insert(options.end(), {"--link", (directory.Path() / "ports" / "COM1").string(), "--log", Log().string()});
    instrument.emplace(options);
    instrument->FirstLine();
  }
  void Connect() {
    window.cbCOM->setCurrentText("COM1");
    window.btPolacz->click();
    ASSERT_TRUE(window.State.Polaczony);
  }
  fs::path Log() const { return directory.Path() / "requests.log"; }
  // The folder that the folder dialog gives the next batch.
  fs::path BatchFolder() {
    const fs::path folder = directory.Path() / "pomiary";
    fs::create_directories(folder);
    dialogs.fileNames.push_back(QString::fromStdString(folder.string()));
    return folder;
  }
  QString Cell(int row, int column) const { return window.memoryWindow->tbBanki->item(row, column)->text(); }
  void Mark(std::initializer_list<int> banks) {
    window.memoryWindow->tbBanki->clearSelection();
    for (const int bank : banks) {
      window.memoryWindow->tbBanki->selectionModel()->select(window.memoryWindow->tbBanki->model()->index(bank - 1, 0),
                                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }

  std::optional<TSimProcess> instrument;
};

// The list holds each bank's stored header; an empty bank shows its number
// only. While it is read the window is in its reading state.
TEST_F(MemoryWindow, ListShowsTheStoredHeadersAndEmptyBanksEmpty) {
  StartInstrument({"--empty", "3,7", "--latency", "3"});
  Connect();
  bool readingState = false;
  QTimer::singleShot(50, [&] { readingState = !window.bbtOpen->isEnabled() && !window.sbOpen->isEnabled(); });
  window.sbPamiec->click();
  EXPECT_TRUE(readingState);
  EXPECT_TRUE(window.memoryWindow->isVisible());
  EXPECT_EQ(LineCount(Log()), 48);
  for (int bank = 1; bank <= 12; ++bank) {
    const int row = bank - 1;
    EXPECT_EQ(Cell(row, 0), QString::number(bank));
    if (bank == 3 || bank == 7) {
      for (int column = 1; column < 6; ++column) EXPECT_EQ(Cell(row, column), "") << bank << " " << column;
      continue;
    }
    const sim::TSimTest t = sim::GeneratedTest(bank);
    EXPECT_EQ(Cell(row, 1), DateOf(t)) << bank;
    EXPECT_EQ(Cell(row, 2), TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second)) << bank;
    EXPECT_EQ(Cell(row, 4), QString::number(t.count / 40.0, 'f', 3).replace('.', ',')) << bank;
    if (t.brakeKind == 1) {
      EXPECT_EQ(Cell(row, 3), QString::fromUtf8("hamulec roboczy"));
      EXPECT_EQ(Cell(row, 5), QString::number(t.deviationDecimetres / 10.0, 'f', 1).replace('.', ','));
    } else {
      EXPECT_EQ(Cell(row, 5), "") << bank;
    }
  }
  EXPECT_TRUE(window.bbtOpen->isEnabled());
  EXPECT_TRUE(dialogs.boxes.empty());
}

// Opened before connecting, the list is read once the port is open.
TEST_F(MemoryWindow, ConnectingReadsTheOpenList) {
  StartInstrument({});
  window.sbPamiec->click();
  EXPECT_EQ(Cell(0, 1), "");
  EXPECT_EQ(LineCount(Log()), 0);
  Connect();
  EXPECT_EQ(Cell(0, 1), DateOf(sim::GeneratedTest(1)));
}

// Enter (or a double click) on a row reads that bank as "Czytaj" does.
TEST_F(MemoryWindow, ChoosingARowReadsThatBank) {
  StartInstrument({});
  Connect();
  window.sbPamiec->click();
  QTableWidget* table = window.memoryWindow->tbBanki;
  table->setCurrentCell(4, 1);
  table->setFocus();
  QTest::keyClick(table, Qt::Key_Return);
  EXPECT_EQ(window.seBank->value(), 5);
  EXPECT_EQ(window.State.IloscProbek, sim::GeneratedTest(5).count);
  EXPECT_EQ(LineCount(Log()), 48 + 544);
}

// A bank chosen in the list is read with the list still in front: Escape
// there, or its "Przerwij", stops that read as the main window's own do.
// The link stays open and the box says how much was read.
TEST_F(MemoryWindow, ReadOfAChosenRowStopsFromTheList) {
  for (const bool byKey : {true, false}) {
    SCOPED_TRACE(byKey ? "Escape" : "Przerwij");
    StartInstrument({"--latency", "3"});
    Connect();
    window.sbPamiec->click();
    QTableWidget* table = window.memoryWindow->tbBanki;
    table->setCurrentCell(1, 0);
    dialogs.boxes.clear();
    bool stopEnabled = false;
    QTimer::singleShot(300, [&] {
      stopEnabled = window.memoryWindow->btPrzerwij->isEnabled();
      if (byKey) {
        QTest::keyClick(table, Qt::Key_Escape);
      } else {
        window.memoryWindow->btPrzerwij->click();
      }
    });
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_TRUE(stopEnabled);
    EXPECT_LT(LineCount(Log()), 48 + 544);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QString::fromUtf8("Pomiar jest niekompletny: odczytano ")))
        << dialogs.boxes[0].text.toStdString();
    EXPECT_TRUE(window.State.Polaczony);
    EXPECT_TRUE(window.bbtOpen->isEnabled());
    EXPECT_FALSE(window.memoryWindow->btPrzerwij->isEnabled());
    window.btPolacz->click();
    instrument.reset();
    fs::remove(Log());
  }
}

// The list opens on the bank chosen in the main window, with nothing
// marked (a batch still takes all banks): Enter reads that bank at once.
TEST_F(MemoryWindow, ListOpensOnTheChosenBank) {
  StartInstrument({});
  Connect();
  window.seBank->setValue(9);
  window.sbPamiec->click();
  QTableWidget* table = window.memoryWindow->tbBanki;
  EXPECT_EQ(table->currentRow(), 8);
  EXPECT_TRUE(window.memoryWindow->MarkedBanks().empty());
  QTest::keyClick(table, Qt::Key_Return);
  EXPECT_EQ(window.State.IloscProbek, sim::GeneratedTest(9).count);
  EXPECT_EQ(LineCount(Log()), 48 + 544);
}

// The marked banks go into the chosen folder under their tests' names; a
// second batch finds them identical; the summary says what happened.
TEST_F(MemoryWindow, BatchWritesTheMarkedBanksIntoAFolder) {
  StartInstrument({"--empty", "3"});
  Connect();
  window.sbPamiec->click();
  fs::path folder;
  for (int run = 0; run < 2; ++run) {
    dialogs.boxes.clear();
    folder = BatchFolder();
    Mark({1, 3, 5});
    window.memoryWindow->btDoFolderu->click();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    const QString summary = dialogs.boxes[0].text;
    EXPECT_TRUE(summary.contains(QString::fromUtf8("bank 3: brak pomiaru"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(run == 0 ? QString::fromUtf8("odczytane i zapisane: 2, pominięte (identyczne): 0")
                                          : QString::fromUtf8("odczytane i zapisane: 0, pominięte (identyczne): 2")))
        << summary.toStdString();
  }
  EXPECT_TRUE(fs::exists(folder / FileNameOf(1)));
  EXPECT_TRUE(fs::exists(folder / FileNameOf(5)));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  EXPECT_TRUE(window.State.Polaczony);
  EXPECT_TRUE(window.bbtOpen->isEnabled());
}

// Escape in the list's window stops a batch: the window stays connected
// and the summary says which banks were not read, and why.
TEST_F(MemoryWindow, EscapeStopsABatch) {
  StartInstrument({"--latency", "3"});
  Connect();
  window.sbPamiec->click();
  BatchFolder();
  dialogs.boxes.clear();
  Mark({});
  bool stopEnabled = false;
  QTimer::singleShot(400, [&] {
    stopEnabled = window.memoryWindow->btPrzerwij->isEnabled();
    QTest::keyClick(window.memoryWindow, Qt::Key_Escape);
  });
  window.memoryWindow->btDoFolderu->click();
  EXPECT_TRUE(stopEnabled);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  const QString summary = dialogs.boxes[0].text;
  EXPECT_TRUE(summary.contains(QString::fromUtf8("bank 12: błąd: odczyt przerwany"))) << summary.toStdString();
  EXPECT_LT(LineCount(Log()), 12 * 544);
  EXPECT_TRUE(window.State.Polaczony);
  EXPECT_TRUE(window.bbtOpen->isEnabled());
  EXPECT_FALSE(window.memoryWindow->btPrzerwij->isEnabled());
}

// Closing the main window during a batch ends the program as during a
// single read: the batch stops, the port is freed, and no summary box
// comes up after the window has gone.
TEST_F(MemoryWindow, ClosingTheMainWindowEndsABatchWithoutABox) {
  StartInstrument({"--latency", "3"});
  Connect();
  window.sbPamiec->click();
  BatchFolder();
  dialogs.boxes.clear();
  Mark({});
  QTimer::singleShot(0, [&] { window.memoryWindow->btDoFolderu->click(); });
  QTimer::singleShot(400, [&] { window.close(); });
  QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0) << "the program ends, it does not hang";
  EXPECT_TRUE(dialogs.boxes.empty()) << "no box after the window has gone";
  EXPECT_FALSE(window.Comm->IsOpen());
  EXPECT_LT(LineCount(Log()), 12 * 544) << "the remaining banks were not asked for";
}

} // namespace
} // namespace zr7
