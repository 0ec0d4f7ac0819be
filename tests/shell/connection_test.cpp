#include "pty_pair.h"
#include "scripted_dialogs.h"
#include "shell/tfmain.h"
#include "shown_window.h"
#include "window_on_fake_device.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

// A pseudo-terminal standing in for a USB adapter, linked as a COM port.
struct Adapter : test::PtyPair {
  Adapter(const fs::path& portsFolder, const char* comName) {
    fs::create_directories(portsFolder);
    fs::create_symlink(TerminalPath(), portsFolder / comName);
  }
};

class Connection : public ::testing::Test, protected TShownWindow {
protected:
  void Choose(const char* port) { window.cbCOM->setCurrentText(port); }
  bool Connected() const {
    return window.State.Polaczony && window.bbtOpen->isEnabled() &&
           window.btPolacz->text() == QString::fromUtf8("Rozlącz");
  }
  bool Disconnected() const {
    return !window.State.Polaczony && !window.bbtOpen->isEnabled() &&
           window.btPolacz->text() == QString::fromUtf8("Polącz");
  }
};

TEST_F(Connection, ConnectDisconnectAndConnectAgain) {
  Adapter com3(directory.Path() / "ports", "COM3");
  Choose("COM3");
  window.btPolacz->click();
  EXPECT_TRUE(Connected());
  EXPECT_EQ(window.Comm->CommPort, "COM3");
  EXPECT_TRUE(window.Comm->IsOpen());
  EXPECT_EQ(window.btPolacz->toolTip(), QString::fromUtf8("połącz z portem USB"));
  EXPECT_TRUE(window.cbCOM->isEnabled());

  window.btPolacz->click();
  EXPECT_TRUE(Disconnected());
  EXPECT_FALSE(window.Comm->IsOpen());

  window.btPolacz->click();
  EXPECT_TRUE(Connected());
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(Connection, APortChosenWhileConnectedCountsAtTheNextConnect) {
  Adapter com3(directory.Path() / "ports", "COM3");
  Adapter com4(directory.Path() / "ports", "COM4");
  Choose("COM3");
  window.btPolacz->click();
  Choose("COM4");
  EXPECT_EQ(window.Comm->CommPort, "COM3");
  window.btPolacz->click();
  window.btPolacz->click();
  EXPECT_TRUE(Connected());
  EXPECT_EQ(window.Comm->CommPort, "COM4");
}

TEST_F(Connection, FailedConnectsStayDisconnected) {
  Adapter com5(directory.Path() / "ports", "COM5");
  const int holder = ::open(com5.TerminalPath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  const fs::path plainFile = directory.Path() / "plain";
  std::ofstream(plainFile) << "x";
  fs::create_symlink(plainFile, directory.Path() / "ports" / "COM6");

  struct Case {
    const char* port;
    const char* message;
  };
  const Case cases[] = {
      {"", "Error opening com port."},                // nothing chosen
      {"COM5", "Error opening com port."},            // held by another program
      {"COM6", "File handle is not a comm handle. "}, // not a serial device; no full stop after the blank
  };
  for (const auto& c : cases) {
    dialogs.boxes.clear();
    if (*c.port) {
      Choose(c.port);
    } else {
      window.cbCOM->setCurrentIndex(-1);
    }
    window.btPolacz->click();
    ASSERT_EQ(dialogs.boxes.size(), 1u) << c.port;
    EXPECT_EQ(dialogs.boxes[0].text, c.message) << c.port;
    EXPECT_EQ(dialogs.boxes[0].icon, TDialogs::TIcon::Stop);
    EXPECT_TRUE(Disconnected()) << c.port;
  }
  ::close(holder);
}

TEST_F(Connection, UnpluggedAdapterIsToldAndTheWindowDisconnects) {
  Adapter com3(directory.Path() / "ports", "COM3");
  Choose("COM3");
  window.btPolacz->click();
  ASSERT_TRUE(Connected());
  com3.Unplug();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window.State.Polaczony; }, 5000));
  EXPECT_TRUE(Disconnected());
  EXPECT_FALSE(window.Comm->IsOpen());
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_TRUE(dialogs.boxes[0].text.contains("COM3")) << dialogs.boxes[0].text.toStdString();
}

TEST_F(Connection, ClosingTheWindowClosesThePort) {
  Adapter com3(directory.Path() / "ports", "COM3");
  Choose("COM3");
  window.btPolacz->click();
  ASSERT_TRUE(window.Comm->IsOpen());
  window.close();
  EXPECT_FALSE(window.Comm->IsOpen());
  EXPECT_TRUE(window.State.Polaczony) << "closing does not touch the connection state";
  // The port is free again: another program may take it.
  const int other = ::open(com3.TerminalPath().c_str(), O_RDWR | O_NOCTTY);
  EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  ::close(other);
}

// Clicks that come while the connect waits for the workers to start start
// no second connect: no box, one connection.
TEST_F(Connection, ClicksDuringAConnectStartNoSecondOne) {
  Adapter com3(directory.Path() / "ports", "COM3");
  Choose("COM3");
  int clicksWhileConnecting = 0;
  QTimer::singleShot(0, [&] {
    for (int click = 0; click < 2; ++click) {
      if (window.Comm->IsOpen() && !window.State.Polaczony) ++clicksWhileConnecting;
      QTest::mouseClick(window.btPolacz, Qt::LeftButton);
    }
  });
  window.btPolacz->click();
  ASSERT_EQ(clicksWhileConnecting, 2) << "the clicks came during the connect";
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_TRUE(Connected());
  EXPECT_TRUE(window.Comm->IsOpen());
}

// A worker that fails while the connect waits for it to start ends the
// connect like an unplugged adapter a moment later: the box, the port
// released, the window disconnected. Connecting again then works.
class ConnectFailure : public ::testing::TestWithParam<const char*> {};

TEST_P(ConnectFailure, EndsLikeAHangUp) {
  TWindowOnFakeDevice on;
  TfMain& window = on.window;
  std::vector<TScriptedDialogs::Box>& boxes = on.dialogs.boxes;
  test::FakeSerialDevice& device = *on.device;
  device.Failing[GetParam()] = EIO;

  window.btPolacz->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.empty(); }, 5000));
  QTest::qWait(20);
  ASSERT_EQ(boxes.size(), 1u) << "one failure, one box";
  EXPECT_TRUE(boxes[0].text.contains("COM3")) << boxes[0].text.toStdString();
  EXPECT_NE(boxes[0].icon, TDialogs::TIcon::Stop) << "a notice, not the error box";
  EXPECT_FALSE(window.State.Polaczony);
  EXPECT_FALSE(window.bbtOpen->isEnabled());
  EXPECT_EQ(window.btPolacz->text(), QString::fromUtf8("Polącz"));
  EXPECT_FALSE(window.Comm->IsOpen());
  EXPECT_EQ(on.device.use_count(), 1) << "the port is released";

  device.Failing.clear();
  window.btPolacz->click();
  EXPECT_TRUE(window.State.Polaczony);
  EXPECT_EQ(window.btPolacz->text(), QString::fromUtf8("Rozlącz"));
  EXPECT_EQ(boxes.size(), 1u);
  window.btPolacz->click();
}

// The workers' start (both), the line-event mask and the first line-event
// wait of the reader, and its first read as when the adapter is pulled.
INSTANTIATE_TEST_SUITE_P(StartingWorkers, ConnectFailure,
                         ::testing::Values("CreateIoRecord", "SetCommMask", "StartWaitCommEvent", "StartRead"));

} // namespace
} // namespace zr7
