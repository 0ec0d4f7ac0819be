#include "platform/serial_adapters.h"
#include "pty_pair.h"
#include "unique_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zr7 {
namespace {

namespace fs = std::filesystem;
using Kind = TDeviceAccess::TKind;

constexpr const char* kStableName = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

// A /dev and a ports folder of their own, with pseudo-terminals standing in
// for the adapters: ttyUSB0 with a stable name and ttyACM0 without.
class AdapterFolders : public ::testing::Test {
protected:
  void SetUp() override {
    root = MakeUniqueFolder("zr7-adapters");
    folders.dev = root / "dev";
    folders.ports = root / "config" / "zr7" / "ports";
    fs::create_directories(folders.dev / "serial" / "by-id");
    fs::create_symlink(usb.TerminalPath(), folders.dev / "ttyUSB0");
    fs::create_symlink(acm.TerminalPath(), folders.dev / "ttyACM0");
    fs::create_symlink("../../ttyUSB0", StableName());
    // Names that are no USB adapters.
    fs::create_symlink(other.TerminalPath(), folders.dev / "ttyS0");
    fs::create_symlink(other.TerminalPath(), folders.dev / "ttyUSBx");
    fs::create_symlink(root / "unplugged", folders.dev / "ttyUSB3");
  }
  void TearDown() override { fs::remove_all(root); }

  fs::path StableName() const { return folders.dev / "serial" / "by-id" / kStableName; }
  fs::path Usb() const { return folders.dev / "ttyUSB0"; }
  fs::path Acm() const { return folders.dev / "ttyACM0"; }
  void Link(const char* com, const fs::path& target) {
    fs::create_directories(folders.ports);
    fs::create_symlink(target, folders.ports / com);
  }
  TAdapterScan Scan() const { return ScanSerialAdapters(folders, ProbeDevice); }

  test::PtyPair usb;
  test::PtyPair acm;
  test::PtyPair other;
  fs::path root;
  TAdapterFolders folders;
};

TEST_F(AdapterFolders, FindsTheAdaptersTheirStableNamesAndDefaultComPorts) {
  const TAdapterScan scan = Scan();

  ASSERT_EQ(scan.adapters.size(), 2u);
  const TSerialAdapter& acmAdapter = scan.adapters[0];
  const TSerialAdapter& usbAdapter = scan.adapters[1];
  EXPECT_EQ(acmAdapter.device, Acm());
  EXPECT_TRUE(acmAdapter.stableNames.empty());
  EXPECT_TRUE(acmAdapter.routes.empty()) << "no COM name defaults to a ttyACM device";
  EXPECT_EQ(usbAdapter.device, Usb());
  EXPECT_EQ(usbAdapter.stableNames, std::vector<fs::path>{StableName()});
  ASSERT_EQ(usbAdapter.routes.size(), 1u);
  EXPECT_EQ(usbAdapter.routes[0].number, 1);
  EXPECT_FALSE(usbAdapter.routes[0].viaLink);
  EXPECT_EQ(acmAdapter.access.kind, Kind::Opens);
  EXPECT_EQ(usbAdapter.access.kind, Kind::Opens);
  EXPECT_TRUE(scan.links.empty());
  EXPECT_EQ(scan.freeCom, 2);
}

TEST_F(AdapterFolders, LinksDecideWhichComPortReachesWhichAdapter) {
  Link("COM1", Acm());
  Link("COM2", StableName());
  Link("COM5", root / "dev" / "serial" / "by-id" / "usb-gone");
  Link("COM6", other.TerminalPath());
  const TAdapterScan scan = Scan();

  ASSERT_EQ(scan.adapters.size(), 2u);
  ASSERT_EQ(scan.adapters[0].routes.size(), 1u);
  EXPECT_EQ(scan.adapters[0].routes[0].number, 1);
  EXPECT_TRUE(scan.adapters[0].routes[0].viaLink);
  EXPECT_FALSE(scan.adapters[0].routes[0].viaStableName);
  ASSERT_EQ(scan.adapters[1].routes.size(), 1u) << "COM1's link takes it from ttyUSB0";
  EXPECT_EQ(scan.adapters[1].routes[0].number, 2);
  EXPECT_TRUE(scan.adapters[1].routes[0].viaLink);
  EXPECT_TRUE(scan.adapters[1].routes[0].viaStableName);

  ASSERT_EQ(scan.links.size(), 4u);
  using Leads = TComLink::TLeadsTo;
  EXPECT_EQ(scan.links[0].leadsTo, Leads::Adapter);
  EXPECT_EQ(scan.links[0].adapter, Acm());
  EXPECT_EQ(scan.links[1].target, StableName());
  EXPECT_EQ(scan.links[1].adapter, Usb());
  EXPECT_EQ(scan.links[2].number, 5);
  EXPECT_EQ(scan.links[2].leadsTo, Leads::Nothing);
  EXPECT_EQ(scan.links[3].leadsTo, Leads::OtherDevice);
  EXPECT_EQ(scan.freeCom, 3);
}

TEST_F(AdapterFolders, PortHeldByAnotherProgramIsBusy) {
  // The program locks the port it opens, as another zr7 would.
  const int held = ::open(usb.TerminalPath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  const TAdapterScan scan = Scan();
  ::close(held);
  ASSERT_EQ(scan.adapters.size(), 2u);
  EXPECT_EQ(scan.adapters[1].access.kind, Kind::Busy);
  EXPECT_EQ(scan.adapters[0].access.kind, Kind::Opens);
}

// A device of the group dialout that the user may not open, probed as an
// ordinary user would: as root the probe runs in a child that has become
// "nobody", because root opens every device.
TEST_F(AdapterFolders, DeviceOfAGroupTheUserIsNotInIsNotAllowed) {
  const group* dialout = ::getgrnam("dialout");
  ASSERT_NE(dialout, nullptr) << "the system has a dialout group";
  ASSERT_EQ(::chmod(usb.TerminalPath().c_str(), 0060), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(usb.TerminalPath().c_str(), 0, dialout->gr_gid), 0);
  }
  const std::string expectedGroup = root ? "dialout" : ProbeDevice(usb.TerminalPath()).group;

  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    if (root && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    const TDeviceAccess access = JudgeAccess(ProbeDevice(usb.TerminalPath()));
    const std::string answer = std::to_string(static_cast<int>(access.kind)) + " " + access.group;
    ::_exit(::write(pipeEnds[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size()) ? 0 : 4);
  }
  ::close(pipeEnds[1]);
  char buffer[256] = {};
  const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer - 1);
  ::close(pipeEnds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  ASSERT_GT(got, 0);
  EXPECT_EQ(std::string(buffer), std::to_string(static_cast<int>(Kind::NotInGroup)) + " " + expectedGroup);
}

TEST(DeviceAccess, TheSystemsAnswerGivesTheReason) {
  struct Case {
    TOpenProbe probe;
    Kind kind;
  };
  const Case cases[] = {
      {{0, false, "dialout", true, true}, Kind::Opens},
      {{0, true, "dialout", true, true}, Kind::Busy},
      {{EBUSY, false, "dialout", true, true}, Kind::Busy},
      {{EACCES, false, "dialout", false, false}, Kind::NotInGroup},
      {{EACCES, false, "dialout", false, true}, Kind::LoginPending},
      {{EACCES, false, "dialout", true, true}, Kind::Denied},
      {{EPERM, false, "", false, false}, Kind::Denied},
      {{ENOENT, false, "", false, false}, Kind::Fails},
  };
  for (const Case& c : cases) {
    const TDeviceAccess access = JudgeAccess(c.probe);
    EXPECT_EQ(access.kind, c.kind) << "errno " << c.probe.openError << " group " << c.probe.group;
    EXPECT_EQ(access.group, c.probe.group);
  }
  TOpenProbe missing;
  missing.openError = ENOENT;
  EXPECT_EQ(JudgeAccess(missing).error, "No such file or directory");
}

TEST(AdapterDescription, TellsTheUserWhatToDoAboutAccess) {
  struct Case {
    Kind kind;
    const char* error;
    const char* advice;
  };
  const Case cases[] = {
      {Kind::Opens, "", "access:      you may open it\n"},
      {Kind::Busy, "", "access:      busy: another program has it open"},
      {Kind::NotInGroup, "",
       "not in.\n               Join it with: sudo usermod -aG dialout $USER, then log out and in again\n"},
      {Kind::LoginPending, "", "you are in the group dialout, but that counts from your next login"},
      {Kind::Denied, "", "not allowed: permission denied (group dialout)\n"},
      {Kind::Fails, "Input/output error", "access:      cannot be opened: Input/output error\n"},
  };
  for (const Case& c : cases) {
    TAdapterScan scan;
    scan.adapters.push_back({"/dev/ttyUSB0", {}, {{1, false, false}}, {c.kind, "dialout", c.error}});
    const std::string text = DescribeAdapterScan(scan, {});
    EXPECT_NE(text.find(c.advice), std::string::npos) << c.advice << "\nin:\n" << text;
  }
}

TEST_F(AdapterFolders, LinkIsMadeAndReplacedInOneStep) {
  TLinkResult made = LinkComPort("COM3", Usb(), folders);
  ASSERT_EQ(made.error, "");
  EXPECT_EQ(fs::read_symlink(folders.ports / "COM3"), Usb());
  EXPECT_NE(made.message.find(StableName().string()), std::string::npos)
      << "points to the name that survives another socket:\n"
      << made.message;

  made = LinkComPort("com3", StableName(), folders);
  ASSERT_EQ(made.error, "");
  EXPECT_EQ(fs::read_symlink(folders.ports / "COM3"), StableName());
  EXPECT_EQ(made.message, "COM3 -> " + StableName().string() + "\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folders.ports), {}), 1) << "no temporary link is left";

  const fs::path previous = fs::current_path();
  fs::current_path(folders.dev);
  made = LinkComPort("COM4", "ttyACM0", folders);
  fs::current_path(previous);
  ASSERT_EQ(made.error, "");
  EXPECT_EQ(fs::read_symlink(folders.ports / "COM4"), Acm()) << "a relative name is taken from the working folder";

  const TAdapterScan scan = Scan();
  ASSERT_EQ(scan.adapters[1].routes.size(), 2u);
  EXPECT_EQ(scan.adapters[1].routes[1].number, 3);
  EXPECT_TRUE(scan.adapters[1].routes[1].viaLink);
}

TEST_F(AdapterFolders, LinkMistakesAreRefusedAndChangeNothing) {
  Link("COM2", Usb());
  std::ofstream(folders.ports / "COM7") << "not a link";
  struct Case {
    const char* com;
    fs::path device;
    const char* message;
  };
  const Case cases[] = {
      {"COM0", Usb(), "not a port of the list"},           {"COM33", Usb(), "not a port of the list"},
      {"LPT1", Usb(), "not a port of the list"},           {"COM2", root / "nothing", "no such device"},
      {"COM2", folders.dev / "ttyUSB3", "no such device"}, {"COM7", Usb(), "not a link"},
  };
  for (const Case& c : cases) {
    const TLinkResult result = LinkComPort(c.com, c.device, folders);
    EXPECT_NE(result.error.find(c.message), std::string::npos) << c.com << ": " << result.error;
  }
  EXPECT_EQ(fs::read_symlink(folders.ports / "COM2"), Usb());
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folders.ports / "COM7")));
  EXPECT_EQ(std::distance(fs::directory_iterator(folders.ports), {}), 2);
}

} // namespace
} // namespace zr7
