#include "cli/cli_commands.h"
#include "platform/com_names.h"
#include "platform/qt/ports_folder.h"
#include "pty_pair.h"
#include "temporary_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <sstream>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

// An adapter plugged in: a pty as ttyUSB0 of a /dev of the test's own, with
// the stable name udev gives it; the user's configuration folder is the
// test's too.
class CliPorts : public ::testing::Test {
protected:
  void SetUp() override {
    dev = directory.Path() / "dev";
    fs::create_directories(dev / "serial" / "by-id");
    fs::create_symlink(adapter.TerminalPath(), dev / "ttyUSB0");
    stable = dev / "serial" / "by-id" / "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0";
    fs::create_symlink("../../ttyUSB0", stable);
    ::setenv("XDG_CONFIG_HOME", (directory.Path() / "config").c_str(), 1);
  }
  void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }
  int Run(std::vector<std::string> args) {
    out.str({});
    err.str({});
    return RunCli(args, out, err);
  }
  void ExpectOutput(const std::string& text) const {
    EXPECT_NE(out.str().find(text), std::string::npos) << "missing: " << text << "\nin:\n" << out.str();
  }

  TWorkingDirectory directory;
  test::PtyPair adapter;
  fs::path dev;
  fs::path stable;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(CliPorts, FindsTheAdapterAndLinksItsStableName) {
  const fs::path ports = directory.Path() / "config" / "zr7" / "ports";
  ASSERT_EQ(ComPortsFolder(), ports);

  ASSERT_EQ(Run({"ports", "--dev", dev.string()}), 0) << err.str();
  ExpectOutput(dev.string() + "/ttyUSB0\n");
  ExpectOutput("  stable name: " + stable.string() + "\n");
  ExpectOutput("  COM port:    COM1 (no link made: COM1 is " + dev.string() + "/ttyUSB0)\n");
  ExpectOutput("  keep it:     zr7-cli ports --link COM1 " + stable.string() + "\n");
  ExpectOutput("  access:      you may open it\n");
  ExpectOutput("choose the COM port in the list and press \"Polącz\"");

  const std::string usb = dev.string() + "/ttyUSB0";
  ASSERT_EQ(Run({"ports", "--link", "COM1", usb, "--dev", dev.string()}), 0) << err.str();
  EXPECT_EQ(out.str().substr(0, out.str().find('\n') + 1), "COM1 -> " + usb + "\n");
  ExpectOutput("Note: " + stable.string() + " names the same adapter");
  ASSERT_EQ(Run({"ports", "--dev", dev.string()}), 0) << err.str();
  ExpectOutput("  COM port:    COM1 (its link in " + ports.string() + ")\n");
  ExpectOutput("  keep it:     zr7-cli ports --link COM1 " + stable.string() + "\n");

  ASSERT_EQ(Run({"ports", "--link", "COM1", stable.string(), "--dev", dev.string()}), 0) << err.str();
  EXPECT_EQ(out.str(), "COM1 -> " + stable.string() + "\n");
  EXPECT_EQ(fs::canonical(ComDevicePath("COM1", ComPortsFolder())), fs::canonical(adapter.TerminalPath()))
      << "the window's COM1 now opens the adapter";

  ASSERT_EQ(Run({"ports", "--dev", dev.string()}), 0) << err.str();
  ExpectOutput("  COM port:    COM1 (its link in " + ports.string() + ")\n");
  ExpectOutput("Links in " + ports.string() + ":\n  COM1 -> " + stable.string() + " (the adapter " + usb + ")\n");
  EXPECT_EQ(out.str().find("keep it"), std::string::npos) << out.str();
}

TEST_F(CliPorts, UnpluggedAdapterLeavesItsLinkLeadingNowhere) {
  ASSERT_EQ(Run({"ports", "--link", "COM4", stable.string(), "--dev", dev.string()}), 0) << err.str();
  fs::remove(stable);
  fs::remove(dev / "ttyUSB0");
  ASSERT_EQ(Run({"ports", "--dev", dev.string()}), 0) << err.str();
  ExpectOutput("No serial adapter found (looked for " + dev.string() + "/ttyUSB* and " + dev.string() + "/ttyACM*).\n");
  ExpectOutput("  COM4 -> " + stable.string() + ": nothing there now (adapter unplugged?)\n");
}

TEST_F(CliPorts, PortInUseIsReportedBusy) {
  const int held = ::open(adapter.TerminalPath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  ASSERT_EQ(Run({"ports", "--dev", dev.string()}), 0) << err.str();
  ::close(held);
  ExpectOutput("  access:      busy: another program has it open");
}

TEST_F(CliPorts, MistakesAreRefused) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* message;
  };
  const Case cases[] = {
      {{"ports", "--link", "COM1"}, 2, "usage"},
      {{"ports", "--frobnicate"}, 2, "usage"},
      {{"ports", "--link", "COM33", stable.string()}, 1, "COM33: not a port of the list (COM1 to COM32)"},
      {{"ports", "--link", "COM2", (dev / "ttyUSB9").string()}, 1, "ttyUSB9: no such device"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.args), c.exitCode) << c.message;
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_FALSE(fs::exists(directory.Path() / "config" / "zr7" / "ports"));
}

} // namespace
} // namespace zr7
