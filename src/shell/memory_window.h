#pragma once

#include "measurement/station_data.h"
#include "transfer/instrument_memory.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace zr7 {

class MessageLoop;
class TDialogs;

// What the list needs of the main window, which owns the link and its state.
struct TMemoryWindowLink {
  TComm32& comm;
  MessageLoop& loop;
  TReadStopper& stopper;
  // Enters the reading state when a read may start now; false refuses it.
  std::function<bool()> beginRead;
  // Leaves the reading state, connected or not as the port now is.
  std::function<void()> endRead;
  // Reads one bank into the window as "Czytaj" does.
  std::function<void(int bank)> readBank;
  // The station and vehicle data a saved file carries.
  std::function<TStationData()> station;
};

// The tests stored in the instrument's twelve banks, a window of its own:
// one row a bank (bank, date, time, brake, duration, deviation), a bank
// without a test left empty. Choosing a row (double click, Enter) reads that
// bank in the main window; the marked rows (all when none is marked) are
// read into a folder with one progress and a summary. Escape or "Przerwij"
// beside the progress bar stops a running read.
class TMemoryWindow : public QWidget {
  Q_OBJECT
public:
  TMemoryWindow(TMemoryWindowLink link, TDialogs& dialogs, QWidget* parent);

  QTableWidget* tbBanki;
  QPushButton* btOdswiez;
  QPushButton* btWszystkie;
  QPushButton* btDoFolderu;
  QProgressBar* pbPostep;
  QPushButton* btPrzerwij;
  QLabel* lbStan;

  // Puts the list's cursor on a bank's row without marking it, and the
  // keyboard focus in the list, so Enter reads that bank.
  void GoToBank(int bank);
  // Reads the twelve headers into the list (when a read may start now).
  void ReadList();
  // Reads the marked banks, all when none is marked, into a chosen folder.
  void ReadIntoFolder();
  // The banks of the marked rows, in bank order.
  std::vector<int> MarkedBanks() const;

private:
  void ShowHeaders(const std::vector<TBankHeader>& headers);
  void ChooseRow(int row);
  void SetRunning(bool running);
  TMemoryProgress Progress();

  TMemoryWindowLink link_;
  TDialogs& dialogs_;
  QString lastFolder_;
};

} // namespace zr7
