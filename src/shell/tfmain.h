#pragma once

#include "chart/tchart.h"
#include "measurement/braking_analysis.h"
#include "window_commands.h"
#include "wykres_state.h"
#include "serial/comm32.h"
#include "transfer/instrument_memory.h"

#include <QMainWindow>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace zr7 {

class TClickableImage;
class TDialogs;
class TSpinEdit;
class TStatusBar;
class TdaneSKP;
class TMemoryWindow;
class QtMessageLoop;
class TReportPrinter;

// The program's main window: the tool panel with the connection, bank,
// file and print controls and the test's summary values, the chart of the
// measurement and the status bar.
class TfMain : public QMainWindow {
  Q_OBJECT
public:
  // The opener makes the serial devices; tests pass one for a fake device.
  explicit TfMain(TDialogs& dialogs, DeviceOpener opener = OpenSerialDevice, QWidget* parent = nullptr);
  ~TfMain() override;

  // The values of the current test, shared by the handlers.
  TWykresState State;

  // Tool panel.
  QWidget* Panel1;
  QToolButton* sbOpen;
  QToolButton* sbSave;
  QToolButton* sbPrint;
  QToolButton* sbPrinterSetup;
  // Opens the list of the tests in the instrument's memory.
  QToolButton* sbPamiec;
  TClickableImage* Image1;
  QComboBox* cbCOM;
  QPushButton* btPolacz;
  TSpinEdit* seBank;
  QPushButton* bbtOpen;
  QPushButton* Button1;
  QLabel* Ldata;
  QLabel* Lgodzina;
  QLabel* Label1;
  QLabel* lbAmax;
  QLabel* Label6;
  QLabel* lbFmax;
  QLabel* lHamulec;
  QLabel* Label2;
  QLabel* Lbeta;
  QLabel* Label3;
  QLabel* La_zero;
  QLabel* Label4;
  QLabel* Lblok;
  QProgressBar* pBar;
  // Stops a running read; shown only then, at the chart's top right corner
  // just under the progress bar's end.
  QPushButton* btPrzerwij;

  // Chart with its series and the two hidden helpers inside it.
  TChart* Chart;
  TMeasurementSeries Serie;
  TBrakingMarkSeries BrakingMarkSeries;
  QCheckBox* CheckBox1;
  // Whether the printed page carries the braking figures; kept between runs.
  QCheckBox* cbBrakingPrint;
  QPlainTextEdit* Prn_Opis;

  TStatusBar* StatusBar;
  std::unique_ptr<QtMessageLoop> MessageLoop;
  std::unique_ptr<TComm32> Comm;
  TdaneSKP* daneSKP;
  TMemoryWindow* memoryWindow;

  void FormShow();
  void FormClose();
  void btPolaczClick();
  void bbtOpenClick();
  // Escape or "Przerwij": the running read stops where it is, connected.
  void StopRead();
  void CommErrorData(std::uint8_t ErrorStatus);
  // A worker of the serial component has failed, as when the adapter is
  // unplugged: the link is gone, so the window goes back to disconnected.
  void CommRequestHangup();
  void sbSaveClick();
  void sbOpenClick();
  void sbPrintClick();
  void sbPrinterSetupClick();
  void Image1Click();
  void Button1Click();
  // Shows the list of stored tests, read anew when a read may start.
  void sbPamiecClick();
  void CheckBox1Click();
  void Odrysuj();
  // The third status panel: the braking figures and their verdict.
  void ShowBrakingFigures(const TBrakingAnalysis& braking);

  TLinkState LinkState() const { return linkState_; }

  // Writes konfiguracja.txt from the data dialog and the port list; reports
  // a failure in the error box and answers whether the file was written.
  bool WriteConfiguration();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CreateToolPanel();
  void CreateChart();
  void CreateComm(DeviceOpener opener);
  void ShowConnected(bool connected);
  // Closes the port and, when asked, shows the window disconnected.
  void CloseLink(bool showDisconnected = true);
  // Enters the state and lets the controls take only its commands.
  void EnterLinkState(TLinkState state);
  bool Allowed(TCommand command) const { return CommandAllowed(command, linkState_); }
  void ReadConfiguration();

  TDialogs& dialogs_;
  TLinkState linkState_ = TLinkState::Idle;
  // A worker failed during that wait; the connect then ends in a hang-up.
  bool hangupWhileConnecting_ = false;
  // The file dialogs open where the last measurement file was opened or saved.
  QString lastFileFolder_;
  TReadStopper readStopper_;
  // Keeps the printer chosen in the print and set-up dialogs for the run.
  std::unique_ptr<TReportPrinter> reportPrinter_;
  // The measurement shown came from a read that left requests unanswered.
  bool readIncomplete_ = false;
};

} // namespace zr7
