#include "scripted_dialogs.h"
#include "shell/tdaneskp.h"
#include "shell/tfmain.h"
#include "shell/tspinedit.h"
#include "sim_process.h"
#include "shown_window.h"

#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <csignal>
#include <set>

namespace zr7 {
namespace {

// Which commands the window takes in each state, as the operator meets
// them: a greyed control, and a handler that does nothing when it is
// called anyway (a key, a queued click).
const std::set<TCommand> kAll = {TCommand::ConnectOrDisconnect,
                                 TCommand::ReadBank,
                                 TCommand::ChoosePort,
                                 TCommand::ChooseBank,
                                 TCommand::OpenFile,
                                 TCommand::SaveFile,
                                 TCommand::Print,
                                 TCommand::PrinterSetup,
                                 TCommand::StationData};

// Without a port there is nothing to read from.
const std::set<TCommand> kIdle = [] {
  std::set<TCommand> commands = kAll;
  commands.erase(TCommand::ReadBank);
  return commands;
}();

class LinkStateWindow : public ::testing::Test, protected TShownWindow {
protected:
  void SetUp() override {
    window.cbCOM->setCurrentText("COM1");
    dialogs.printing.outputFile = QString::fromStdString((directory.Path() / "report.pdf").string());
  }

  // The simulated instrument behind COM1, answering slowly enough for a
  // read to be caught in the middle.
  void PlugInstrument() {
    instrument = std::make_unique<TSimProcess>(
        std::vector<std::string>{"--latency", "5", "--link", (directory.Path() / "ports" / "COM1").string()});
    instrument->FirstLine();
  }

  // Checks the controls against the allowed commands, then calls the
  // handler of every refused command and checks that it did nothing.
  void ExpectOnly(TLinkState state, const std::set<TCommand>& allowed) {
    SCOPED_TRACE(static_cast<int>(state));
    ASSERT_EQ(window.LinkState(), state);
    const auto isAllowed = [&](TCommand command) { return allowed.count(command) > 0; };
    EXPECT_EQ(window.bbtOpen->isEnabled(), isAllowed(TCommand::ReadBank));
    EXPECT_EQ(window.cbCOM->isEnabled(), isAllowed(TCommand::ChoosePort));
    EXPECT_EQ(window.seBank->isEnabled(), isAllowed(TCommand::ChooseBank));
    EXPECT_EQ(window.sbOpen->isEnabled(), isAllowed(TCommand::OpenFile));
    EXPECT_EQ(window.sbSave->isEnabled(), isAllowed(TCommand::SaveFile));
    EXPECT_EQ(window.sbPrint->isEnabled(), isAllowed(TCommand::Print));
    EXPECT_EQ(window.sbPrinterSetup->isEnabled(), isAllowed(TCommand::PrinterSetup));
    EXPECT_EQ(window.Button1->isEnabled(), isAllowed(TCommand::StationData));
    // "Polącz" keeps the focus through a connect: never greyed.
    EXPECT_TRUE(window.btPolacz->isEnabled());

    const bool wasOpen = window.Comm->IsOpen();
    const std::size_t fileDialogs = dialogs.fileDialogs.size();
    const int printDialogs = dialogs.printing.printDialogs;
    const int setupDialogs = dialogs.printing.setupDialogs;
    const std::size_t boxes = dialogs.boxes.size();
    if (!isAllowed(TCommand::ConnectOrDisconnect)) window.btPolaczClick();
    if (!isAllowed(TCommand::ReadBank)) window.bbtOpenClick();
    if (!isAllowed(TCommand::OpenFile)) window.sbOpenClick();
    if (!isAllowed(TCommand::SaveFile)) window.sbSaveClick();
    if (!isAllowed(TCommand::Print)) window.sbPrintClick();
    if (!isAllowed(TCommand::PrinterSetup)) window.sbPrinterSetupClick();
    EXPECT_EQ(window.LinkState(), state);
    EXPECT_EQ(window.Comm->IsOpen(), wasOpen);
    EXPECT_EQ(dialogs.fileDialogs.size(), fileDialogs);
    EXPECT_EQ(dialogs.printing.printDialogs, printDialogs);
    EXPECT_EQ(dialogs.printing.setupDialogs, setupDialogs);
    EXPECT_EQ(dialogs.boxes.size(), boxes);
  }

  std::unique_ptr<TSimProcess> instrument;
};

TEST_F(LinkStateWindow, IdleConnectingAndConnected) {
  PlugInstrument();
  ExpectOnly(TLinkState::Idle, kIdle);

  bool sawConnecting = false;
  QTimer::singleShot(0, [&] {
    sawConnecting = true;
    ExpectOnly(TLinkState::Connecting, {TCommand::StationData});
  });
  window.btPolacz->click();
  ASSERT_TRUE(sawConnecting) << "the connect's ready wait dispatched no messages";
  ASSERT_TRUE(window.State.Polaczony);
  ExpectOnly(TLinkState::Connected, kAll);

  // What Connected allows works: save and print run their dialogs.
  dialogs.fileNames = {QString::fromStdString((directory.Path() / "test.zr").string())};
  window.sbSaveClick();
  window.sbPrintClick();
  EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs.printing.printDialogs, 1);
  EXPECT_TRUE(dialogs.boxes.empty());
}

// A read refuses everything but "Rozlącz" and the data dialog: a save or a
// print would take a test that is only half read.
TEST_F(LinkStateWindow, ReadingTakesOnlyDisconnectAndTheDataDialog) {
  PlugInstrument();
  window.btPolacz->click();
  ASSERT_TRUE(window.State.Polaczony);
  bool sawReading = false;
  QTimer::singleShot(300, [&] {
    sawReading = true;
    ExpectOnly(TLinkState::Reading, {TCommand::ConnectOrDisconnect, TCommand::StationData});
    window.Button1Click();
    EXPECT_TRUE(window.daneSKP->isVisible());
  });
  window.bbtOpenClick();
  ASSERT_TRUE(sawReading);
  EXPECT_TRUE(dialogs.boxes.empty()) << "the read was complete";
  ExpectOnly(TLinkState::Connected, kAll);
}

// An unplugged adapter closes the port under a read: while its box is open
// the read is still ending, and nothing new may start.
TEST_F(LinkStateWindow, ClosingUnderAReadTakesOnlyTheDataDialog) {
  PlugInstrument();
  window.btPolacz->click();
  ASSERT_TRUE(window.State.Polaczony);
  bool sawClosing = false;
  dialogs.whileBoxOpen = [&](std::size_t box) {
    if (box != 1) return;
    sawClosing = true;
    ExpectOnly(TLinkState::Closing, {TCommand::StationData});
  };
  QTimer::singleShot(300, [&] { instrument->Stop(SIGKILL); });
  window.bbtOpenClick();
  ASSERT_TRUE(sawClosing);
  dialogs.whileBoxOpen = nullptr;
  ExpectOnly(TLinkState::Idle, kIdle);
}

} // namespace
} // namespace zr7
