#include "tfmain.h"

#include "measurement/konfiguracja.h"
#include "measurement/measurement_file.h"
#include "platform/com_names.h"
#include "platform/qt/ports_folder.h"
#include "platform/qt/qt_message_loop.h"
#include "transfer/bank_read_driver.h"
#include "transfer/instrument_link.h"
#include "transfer/transfer_texts.h"
#include "report/braking_texts.h"
#include "ui/caption_label.h"
#include "ui/program_font.h"
#include "report/report_lines.h"
#include "report/report_printer.h"
#include "memory_window.h"
#include "tdaneskp.h"
#include "ui/user_number.h"
#include "ui/utf8_text.h"
#include "ui/window_options.h"
#include "tclickableimage.h"
#include "tdialogs.h"
#include "text/cp1250.h"
#include "text/file_error_text.h"
#include "tspinedit.h"
#include "tstatusbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace zr7 {
namespace {

constexpr int kPanelHeight = 73;
constexpr int kBanksOnInstrument = 12;
constexpr int kBrakingPanel = 2;

// Enter presses the focused button as Space does, the Windows convention.
QPushButton* PushButton(QWidget* panel, const char* caption, const char* hint, QRect geometry) {
  auto* button = new QPushButton(QString::fromUtf8(caption), panel);
  button->setGeometry(geometry);
  button->setToolTip(QString::fromUtf8(hint));
  button->setAutoDefault(true);
  return button;
}

QToolButton* SpeedButton(QWidget* panel, const char* glyph, const char* hint, QRect geometry) {
  auto* button = new QToolButton(panel);
  button->setIcon(QIcon(QString::fromUtf8(glyph)));
  button->setIconSize({20, 20});
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setToolTip(QString::fromUtf8(hint));
  button->setGeometry(geometry);
  return button;
}

// A bold 10-point label for a maximum value, wide enough for its largest text.
QLabel* MaximumLabel(QWidget* panel, QPoint position, const QColor& color) {
  QLabel* label = CaptionLabel(panel, "0.0", position, true);
  QFont font = label->font();
  font.setPointSize(10);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  label->resize(60, 17);
  return label;
}

void WidenForLongerCaptions(QLabel* label, int width) { label->resize(width, label->height()); }

} // namespace

TfMain::TfMain(TDialogs& dialogs, DeviceOpener opener, QWidget* parent) : QMainWindow(parent), dialogs_(dialogs) {
  setFont(ProgramFont());
  setWindowTitle(QStringLiteral("ZR-7"));
  move(29, 52);
  // The client area of the 837 x 559 window less its frame and caption.
  resize(829, 532);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  setCentralWidget(central);

  CreateToolPanel();
  layout->addWidget(Panel1);
  CreateChart();
  layout->addWidget(Chart, 1);

  StatusBar = new TStatusBar(this);
  setStatusBar(StatusBar);
  CreateComm(std::move(opener));

  daneSKP = new TdaneSKP(this);
  reportPrinter_ = std::make_unique<TReportPrinter>(dialogs_, *QGuiApplication::clipboard());
  daneSKP->OnModyfikuj = [this] { return WriteConfiguration(); };
  // The verdict depends on the vehicle's kind and first registration.
  const auto judgeAgain = [this] { ShowBrakingFigures(AnalyzeReadBraking(State.Pomiar, !readIncomplete_)); };
  connect(daneSKP->rodzaj_pojazdu, &QComboBox::currentIndexChanged, this, judgeAgain);
  connect(daneSKP->ed1Rej, &QLineEdit::textChanged, this, judgeAgain);
  TMemoryWindowLink link{*Comm,
                         *MessageLoop,
                         readStopper_,
                         [this] {
                           if (!Allowed(TCommand::ReadBank)) return false;
                           EnterLinkState(TLinkState::Reading);
                           return true;
                         },
                         [this] { EnterLinkState(Comm->IsOpen() ? TLinkState::Connected : TLinkState::Idle); },
                         [this](int bank) {
                           seBank->setValue(bank);
                           bbtOpenClick();
                         },
                         [this] { return daneSKP->Values(); }};
  memoryWindow = new TMemoryWindow(std::move(link), dialogs_, this);
  EnterLinkState(TLinkState::Idle);
}

TfMain::~TfMain() = default;

void TfMain::CreateToolPanel() {
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setFixedHeight(kPanelHeight);
  Panel1 = panel;

  sbOpen = SpeedButton(panel, ":/open.svg", "Otwórz z pliku", {4, 4, 25, 25});
  sbSave = SpeedButton(panel, ":/save.svg", "Zapisz do pliku", {32, 8, 25, 21});
  sbPrint = SpeedButton(panel, ":/print.svg", "Drukuj", {82, 4, 25, 25});
  sbPrinterSetup = SpeedButton(panel, ":/printer_setup.svg", "Ustawienia drukarki", {110, 4, 25, 25});
  // In the free place between "Zapisz do pliku" and "Drukuj".
  sbPamiec = SpeedButton(panel, ":/memory.svg", "Pomiary zapisane w pamięci ZR-7", {57, 4, 25, 25});

  Image1 = new TClickableImage(panel);
  Image1->setPixmap(QPixmap(QStringLiteral(":/logo.jpg")));
  Image1->setGeometry(4, 30, 131, 25);
  Image1->setToolTip(QStringLiteral("informacja o producencie"));
  Image1->setCursor(Qt::PointingHandCursor);
  connect(Image1, &TClickableImage::clicked, this, &TfMain::Image1Click);

  cbCOM = new QComboBox(panel);
  cbCOM->setGeometry(152, 5, 65, 21);
  for (int port = 1; port <= kComPortCount; ++port) cbCOM->addItem(QStringLiteral("COM%1").arg(port));
  cbCOM->setCurrentIndex(-1);
  cbCOM->setToolTip(QStringLiteral("USB Serial Port (COM)"));

  btPolacz = PushButton(panel, "Polącz", "połącz z portem USB", {152, 30, 65, 25});

  seBank = new TSpinEdit(1, kBanksOnInstrument, 2, panel);
  seBank->setGeometry(224, 5, 65, 22);
  seBank->setValue(1);
  seBank->setToolTip(QString::fromUtf8("nr zapisu w pamięci ZR-7"));

  bbtOpen = PushButton(panel, "Czytaj", "czytaj z pamięci ZR-7", {224, 30, 65, 25});

  Button1 = PushButton(panel, "Dane SKP / pojazdu", "wpisywanie danych SKP / pojazdu", {296, 8, 121, 49});
  connect(Button1, &QPushButton::clicked, this, &TfMain::Button1Click);
  connect(sbOpen, &QToolButton::clicked, this, &TfMain::sbOpenClick);
  connect(sbSave, &QToolButton::clicked, this, &TfMain::sbSaveClick);
  connect(sbPrint, &QToolButton::clicked, this, &TfMain::sbPrintClick);
  connect(sbPrinterSetup, &QToolButton::clicked, this, &TfMain::sbPrinterSetupClick);
  connect(sbPamiec, &QToolButton::clicked, this, &TfMain::sbPamiecClick);
  // Keys for the file and print buttons; a button disabled during a read
  // ignores its key as it ignores a click.
  sbOpen->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
  sbSave->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
  sbPrint->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));

  Ldata = CaptionLabel(panel, "00/00/00", {424, 8});
  Ldata->resize(65, 16);
  Lgodzina = CaptionLabel(panel, "00:00:00", {424, 25});
  Lgodzina->resize(65, 16);
  Label1 = CaptionLabel(panel, "a max [m/s2] =", {488, 8}, true);
  lbAmax = MaximumLabel(panel, {580, 8}, QColor(255, 0, 0));
  Label6 = CaptionLabel(panel, "F max [daN] =", {488, 25}, true);
  lbFmax = MaximumLabel(panel, {580, 25}, QColor(0, 128, 0));
  lHamulec = CaptionLabel(panel, "hamulec", {488, 44}, true);
  // Wide enough for "hamulec roboczy, odch.kier.jazdy= 12.3 [m]".
  WidenForLongerCaptions(lHamulec, 270);
  Label2 = CaptionLabel(panel, "kąt pocz =", {736, 8});
  Lbeta = CaptionLabel(panel, "0.0", {792, 8});
  WidenForLongerCaptions(Lbeta, 36);
  Label3 = CaptionLabel(panel, "a pocz =", {744, 25});
  La_zero = CaptionLabel(panel, "0.0", {792, 25});
  WidenForLongerCaptions(La_zero, 36);
  Label4 = CaptionLabel(panel, "blok =", {760, 44});
  Lblok = CaptionLabel(panel, "0", {792, 44});
  WidenForLongerCaptions(Lblok, 36);

  pBar = new QProgressBar(panel);
  pBar->setGeometry(0, 64, 828, 8);
  pBar->setTextVisible(false);
  pBar->setValue(0);
  pBar->setToolTip(QString::fromUtf8("pasek postępu transferu danych"));

  setTabOrder(cbCOM, btPolacz);
  setTabOrder(btPolacz, seBank);
  setTabOrder(seBank, bbtOpen);
  setTabOrder(bbtOpen, Button1);
}

void TfMain::CreateChart() {
  Chart = new TChart(this);
  Serie = ConfigureMeasurementChart(*Chart);
  BrakingMarkSeries = ConfigureBrakingMarks(*Chart);

  CheckBox1 = new QCheckBox(QString::fromUtf8("wartości"), Chart);
  CheckBox1->setGeometry(5, 5, 65, 17);
  CheckBox1->hide();
  connect(CheckBox1, &QCheckBox::clicked, this, &TfMain::CheckBox1Click);

  // In the corner that CheckBox1, never shown, leaves free; a child of the
  // chart but not part of its pictures. Like the chart it is set with the
  // mouse and is no Tab stop, so Tab still goes round the operator's controls.
  cbBrakingPrint = new QCheckBox(QString::fromUtf8("analiza hamowania na wydruku"), Chart);
  cbBrakingPrint->setFocusPolicy(Qt::NoFocus);
  cbBrakingPrint->move(5, 5);
  cbBrakingPrint->adjustSize();
  cbBrakingPrint->setChecked(BrakingBlockPrinted());
  connect(cbBrakingPrint, &QCheckBox::toggled, this, [](bool printed) { SetBrakingBlockPrinted(printed); });

  Prn_Opis = new QPlainTextEdit(QStringLiteral("Prn_Opis"), Chart);
  Prn_Opis->setGeometry(16, 400, 801, 17);
  Prn_Opis->hide();

  btPrzerwij = PushButton(Chart, "Przerwij", "przerwij odczyt z pamięci ZR-7 (Esc)", {0, 0, 65, 21});
  btPrzerwij->setAutoDefault(false);
  btPrzerwij->hide();
  connect(btPrzerwij, &QPushButton::clicked, this, &TfMain::StopRead);
  Chart->installEventFilter(this);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &TfMain::StopRead);
}

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
  // The stop button keeps to the chart's top right corner, under the end of
  // the progress bar, at any width of the window.
  if (watched == Chart && event->type() == QEvent::Resize) {
    btPrzerwij->move(Chart->width() - btPrzerwij->width() - 2, 2);
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfMain::CreateComm(DeviceOpener opener) {
  MessageLoop = std::make_unique<QtMessageLoop>();
  Comm = std::make_unique<TComm32>(*MessageLoop, std::move(opener));
  ConfigureForInstrument(*Comm);
  Comm->CommPort = "COM12";
  Comm->PortsFolder = ComPortsFolder();
  Comm->OnErrorData = [this](std::uint8_t errorStatus) { CommErrorData(errorStatus); };
  Comm->OnRequestHangup = [this](TComm32*) { CommRequestHangup(); };
  connect(btPolacz, &QPushButton::clicked, this, &TfMain::btPolaczClick);
  connect(bbtOpen, &QPushButton::clicked, this, &TfMain::bbtOpenClick);
}

void TfMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TfMain::closeEvent(QCloseEvent* event) {
  FormClose();
  QMainWindow::closeEvent(event);
}

void TfMain::FormShow() {
  State.Polaczony = false;
  ReadConfiguration();
}

// Closing the window frees the port but leaves the connection state as it
// was.
void TfMain::FormClose() { CloseLink(false); }

void TfMain::CloseLink(bool showDisconnected) {
  // A read in progress ends once its port has closed and then leaves the
  // state itself; so does a close that this one interrupted.
  const bool endedByOther = linkState_ == TLinkState::Reading || linkState_ == TLinkState::Closing;
  EnterLinkState(TLinkState::Closing);
  Comm->ClosePort();
  if (showDisconnected) ShowConnected(false);
  if (!endedByOther) EnterLinkState(TLinkState::Idle);
}

void TfMain::EnterLinkState(TLinkState state) {
  linkState_ = state;
  // "Polącz" is never greyed, so that it keeps the keyboard focus through a
  // connect or a disconnect; its handler refuses the clicks of those moments.
  bbtOpen->setEnabled(Allowed(TCommand::ReadBank));
  btPrzerwij->setVisible(state == TLinkState::Reading);
  cbCOM->setEnabled(Allowed(TCommand::ChoosePort));
  seBank->setEnabled(Allowed(TCommand::ChooseBank));
  sbOpen->setEnabled(Allowed(TCommand::OpenFile));
  sbSave->setEnabled(Allowed(TCommand::SaveFile));
  sbPrint->setEnabled(Allowed(TCommand::Print));
  sbPrinterSetup->setEnabled(Allowed(TCommand::PrinterSetup));
  Button1->setEnabled(Allowed(TCommand::StationData));
}

void TfMain::ShowConnected(bool connected) {
  State.Polaczony = connected;
  btPolacz->setText(QString::fromUtf8(connected ? "Rozlącz" : "Polącz"));
}

void TfMain::btPolaczClick() {
  if (!Allowed(TCommand::ConnectOrDisconnect)) return;
  if (State.Polaczony) {
    CloseLink();
    return;
  }
  Comm->CommPort = cbCOM->currentText().toStdString();
  EnterLinkState(TLinkState::Connecting);
  hangupWhileConnecting_ = false;
  std::optional<QString> failure;
  try {
    Comm->OpenPort();
  } catch (const ECommsError& error) {
    failure = QString::fromStdString(error.what());
  }
  if (failure) {
    EnterLinkState(TLinkState::Idle);
    ShowErrorBox(dialogs_, *failure);
    return;
  }
  ShowConnected(true);
  EnterLinkState(TLinkState::Connected);
  // A worker that failed while starting ends the link as a later failure does.
  if (hangupWhileConnecting_) {
    CommRequestHangup();
    return;
  }
  if (memoryWindow->isVisible()) memoryWindow->ReadList();
}

void TfMain::bbtOpenClick() {
  TBankRead read(State, seBank->value(), UserDecimalSeparator());
  pBar->setValue(0);
  if (!Allowed(TCommand::ReadBank)) return;
  EnterLinkState(TLinkState::Reading);
  StatusBar->SetPanelText(1, FromUtf8(kStatusReadStarted));
  pBar->setRange(0, TBankRead::kProgressMaximum);
  readStopper_ = TReadStopper();
  readStopper_.Attach(&read);
  const TTimeAxis axis = DriveBankRead(read, *Comm, *MessageLoop, [this](const TRequestOutcome& outcome) {
    if (outcome.timedOut) StatusBar->SetPanelText(1, FromUtf8(kStatusTimeOut));
    if (outcome.blockCaption) Lblok->setText(QString::number(*outcome.blockCaption));
    if (outcome.advanceProgress) pBar->setValue(pBar->value() + 1);
    if (outcome.header) {
      const THeaderCaptions& h = *outcome.header;
      StatusBar->SetPanelText(0, QString::fromStdString(h.statusCount));
      Ldata->setText(QString::fromStdString(h.Ldata));
      Lgodzina->setText(QString::fromStdString(h.Lgodzina));
      Lbeta->setText(QString::fromStdString(h.Lbeta));
      La_zero->setText(QString::fromStdString(h.La_zero));
      lHamulec->setText(QString::fromStdString(h.lHamulec));
    }
    if (outcome.failed) ShowMessage(dialogs_, FromUtf8(kReadErrorMessage));
  });
  readStopper_.Attach(nullptr);
  Chart->BottomAxis().SetRange(axis.minimum, axis.maximum);
  Chart->BottomAxis().SetIncrement(axis.increment);
  const TReadCompleteness completeness = read.Completeness();
  readIncomplete_ = !completeness.Complete();
  Odrysuj();
  pBar->setValue(0);
  EnterLinkState(Comm->IsOpen() ? TLinkState::Connected : TLinkState::Idle);
  // A window closed during the read has ended the program's work: no box.
  if (readIncomplete_ && isVisible()) ShowMessage(dialogs_, FromUtf8(IncompleteReadMessage(completeness)));
}

void TfMain::StopRead() {
  if (linkState_ == TLinkState::Reading) readStopper_.Stop();
}

void TfMain::CommErrorData(std::uint8_t) { ShowMessage(dialogs_, QString::fromUtf8("Bląd portu szeregowego!")); }

void TfMain::CommRequestHangup() {
  if (linkState_ == TLinkState::Connecting) {
    hangupWhileConnecting_ = true;
    return;
  }
  if (!State.Polaczony) return;
  CloseLink();
  ShowMessage(dialogs_, QString::fromUtf8("Połączenie z portem %1 zostało przerwane (odłączony adapter?). "
                                          "Sprawdź kabel i połącz ponownie.")
                            .arg(QString::fromStdString(Comm->CommPort)));
}

void TfMain::ReadConfiguration() {
  TKonfiguracja konfiguracja;
  if (const int error = ReadKonfiguracja(kKonfiguracjaFileName, konfiguracja); error != 0) {
    ShowErrorBox(dialogs_, QString::fromStdString(FileErrorText(error)));
    return;
  }
  daneSKP->SetValues(WithKonfiguracja(daneSKP->Values(), konfiguracja));
  if (konfiguracja.port) cbCOM->setCurrentIndex(*konfiguracja.port - 1);
}

bool TfMain::WriteConfiguration() {
  const TStationData station = daneSKP->Values();
  const std::string content = FormatKonfiguracja(Utf8ToCp1250(station.SKP), Utf8ToCp1250(station.Adres),
                                                 Utf8ToCp1250(station.Uwagi), cbCOM->currentIndex() + 1);
  if (const int error = WriteKonfiguracja(kKonfiguracjaFileName, content); error != 0) {
    ShowErrorBox(dialogs_, QString::fromStdString(FileErrorText(error)));
    return false;
  }
  return true;
}

void TfMain::sbSaveClick() {
  if (!Allowed(TCommand::SaveFile)) return;
  TDialogs::TFileDialogOptions options{QStringLiteral("pliki zr-7 (*.zr)|*.zr"), QStringLiteral("zr"), lastFileFolder_,
                                       true};
  QString path = dialogs_.SaveFileName(options);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".zr");
  lastFileFolder_ = QFileInfo(path).absolutePath();

  const TTestTexts test{Ldata->text().toStdString(), Lgodzina->text().toStdString(), State.HamulecTxt, State.UwagaTxt,
                        State.OdchylenieTxt};
  FillRecordTexts(State.Pomiar, test, daneSKP->Values());
  if (const int error = SaveMeasurementFile(path.toStdString(), State.Pomiar); error != 0) {
    ShowErrorBox(dialogs_, QString::fromStdString(FileErrorText(error)));
  }
}

void TfMain::sbOpenClick() {
  if (!Allowed(TCommand::OpenFile)) return;
  TDialogs::TFileDialogOptions options{QStringLiteral("pliki ZR-7 (*.zr)|*.zr"), QString(), lastFileFolder_, false};
  const QString path = dialogs_.OpenFileName(options);
  if (path.isEmpty()) return;
  lastFileFolder_ = QFileInfo(path).absolutePath();

  const TLoadResult loaded = LoadMeasurementFile(path.toStdString(), State.Pomiar);
  if (loaded.error != 0) {
    ShowErrorBox(dialogs_, QString::fromStdString(FileErrorText(loaded.error)));
    return;
  }
  if (!loaded.refusal.empty()) {
    ShowErrorBox(dialogs_, QString::fromStdString(loaded.refusal));
    return;
  }
  // The axis a read of another test left would cut a longer curve short.
  ShowWholeTimeAxis(*Chart, State.Pomiar);
  readIncomplete_ = false;
  Odrysuj();
  const TPomiar& p = State.Pomiar;
  const auto toScreen = [](const TShortString& field) { return QString::fromStdString(field.Utf8()); };
  Lgodzina->setText(toScreen(p.Godzina));
  Ldata->setText(toScreen(p.Data));
  State.HamulecTxt = p.Hamulec;
  State.UwagaTxt = p.Uwaga;
  State.OdchylenieTxt = p.Odchylenie;
  lHamulec->setText(QString::fromStdString(Cp1250ToUtf8(BrakeCaptionOfFile(p))));
  daneSKP->SetValues(StationDataOf(p));
}

void TfMain::sbPrintClick() {
  if (!Allowed(TCommand::Print)) return;
  TReportInputs inputs;
  inputs.station = daneSKP->Values();
  inputs.Ldata = Ldata->text();
  inputs.Lgodzina = Lgodzina->text();
  inputs.lbAmax = lbAmax->text();
  inputs.lbFmax = lbFmax->text();
  inputs.HamulecTxt = State.HamulecTxt.Utf8();
  inputs.UwagaTxt = State.UwagaTxt.Utf8();
  inputs.OdchylenieTxt = State.OdchylenieTxt.Utf8();
  const TBrakingAnalysis braking = AnalyzeReadBraking(State.Pomiar, !readIncomplete_);
  const bool withBraking = cbBrakingPrint->isChecked();
  if (withBraking)
    inputs.underResults = BrakingReportLines(braking, JudgeBraking(braking, inputs.station, inputs.HamulecTxt));
  const QStringList lines = PrnOpisLines(inputs);
  Prn_Opis->setPlainText(lines.join('\n'));
  // A page without the braking figures shows the chart without their marks;
  // the clipboard's picture is the chart as on screen.
  QString error;
  const bool printed = reportPrinter_->Print(lines, *Chart, &error, [&] {
    if (!withBraking) FillBrakingMarks(BrakingMarkSeries, State.Pomiar, TBrakingAnalysis{std::nullopt, kNoBraking});
  });
  FillBrakingMarks(BrakingMarkSeries, State.Pomiar, braking);
  if (!printed) ShowErrorBox(dialogs_, error);
}

void TfMain::sbPrinterSetupClick() {
  if (Allowed(TCommand::PrinterSetup)) reportPrinter_->PrinterSetup();
}

void TfMain::Image1Click() {
  dialogs_.MessageBox(QStringLiteral("ZR-7, wersja 1.2"),
                      QString::fromUtf8("F.P.U.H. \"TERVA\"\nOpóźnieniomierz ZR-7\n\n"
                                        "Odczyt, zapis i wydruk pomiarów hamowania."),
                      TDialogs::TIcon::Information);
}

void TfMain::Button1Click() {
  if (!Allowed(TCommand::StationData)) return;
  daneSKP->show();
  daneSKP->raise();
  daneSKP->activateWindow();
}

void TfMain::sbPamiecClick() {
  memoryWindow->GoToBank(seBank->value());
  memoryWindow->show();
  memoryWindow->raise();
  memoryWindow->activateWindow();
  if (Allowed(TCommand::ReadBank)) memoryWindow->ReadList();
}

void TfMain::CheckBox1Click() { Serie.SeriaA->SetMarksVisible(CheckBox1->isChecked()); }

void TfMain::Odrysuj() {
  FillMeasurementSeries(Serie, State.Pomiar);
  lbAmax->setText(FormatUserNumber(Serie.SeriaALFA->MaxYValue(), 1));
  lbFmax->setText(FormatUserNumber(Serie.SeriaF->MaxYValue(), 0));
  const TBrakingAnalysis braking = AnalyzeReadBraking(State.Pomiar, !readIncomplete_);
  FillBrakingMarks(BrakingMarkSeries, State.Pomiar, braking);
  ShowBrakingFigures(braking);
}

void TfMain::ShowBrakingFigures(const TBrakingAnalysis& braking) {
  const TBrakingVerdict verdict = JudgeBraking(braking, daneSKP->Values(), State.HamulecTxt.Utf8());
  StatusBar->SetPanelText(kBrakingPanel, BrakingSummary(braking, verdict));
  StatusBar->SetPanelHint(kBrakingPanel, BrakingHint(braking, verdict));
}

} // namespace zr7
