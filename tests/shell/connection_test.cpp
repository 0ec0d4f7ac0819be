#include "scripted_dialogs.h"
#include "shell/tfmain.h"
#include "temporary_directory.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <sys/file.h>
#include <unistd.h>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

// A pseudo-terminal standing in for a USB adapter, linked as a COM port.
struct Adapter {
  Adapter(const fs::path& portsFolder, const char* comName) {
    char name[64];
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
    device = name;
    fs::create_directories(portsFolder);
    fs::create_symlink(device, portsFolder / comName);
  }
  ~Adapter() {
    Unplug();
    ::close(slave);
  }
  void Unplug() {
    if (master >= 0) ::close(master);
    master = -1;
  }
  int master = -1;
  int slave = -1;
  std::string device;
};

class Connection : public ::testing::Test {
protected:
  void SetUp() override {
    window.Comm->PortsFolder = directory.Path() / "ports";
    window.show();
    dialogs.boxes.clear();  // the missing konfiguracja.txt
  }
  void Choose(const char* port) { window.cbCOM->setCurrentText(port); }
  bool Connected() const {
    return window.State.Polaczony && window.bbtOpen->isEnabled() && window.btPolacz->text() == QString::fromUtf8("Rozlącz");
  }
  bool Disconnected() const {
    return !window.State.Polaczony && !window.bbtOpen->isEnabled() && window.btPolacz->text() == QString::fromUtf8("Polącz");
  }

  TWorkingDirectory directory;
  TScriptedDialogs dialogs;
  TfMain window{dialogs};
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
  const int holder = ::open(com5.device.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  const fs::path plainFile = directory.Path() / "plain";
  std::ofstream(plainFile) << "x";
  fs::create_symlink(plainFile, directory.Path() / "ports" / "COM6");

  struct Case {
    const char* port;
    const char* message;
  };
  const Case cases[] = {
      {"", "Error opening com port."},                     // nothing chosen
      {"COM5", "Error opening com port."},                 // held by another program
      {"COM6", "File handle is not a comm handle. "},      // not a serial device; no full stop after the blank
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
  const int other = ::open(com3.device.c_str(), O_RDWR | O_NOCTTY);
  EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  ::close(other);
}

} // namespace
} // namespace zr7
