#include "marked_line.h"
#include "scripted_dialogs.h"
#include "serial/comm_messages.h"
#include "shell/tfmain.h"
#include "temporary_directory.h"
#include "window_on_fake_device.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace zr7 {
namespace {

using namespace std::string_literals;

// Line errors come from the driver, which a pseudo-terminal never reports:
// the window runs on a fake device here.
TEST(LineErrorWindow, EachReportOpensABoxAndBoxesStack) {
  TWindowOnFakeDevice on;
  on.window.btPolacz->click();
  ASSERT_TRUE(on.window.State.Polaczony);

  std::size_t openAtOnce = 0;
  on.dialogs.whileBoxOpen = [&](std::size_t number) {
    openAtOnce = std::max(openAtOnce, number);
    if (number == 1) {
      on.device->ReportLineError(kLineErrorFrame); // the second framing error, while the first box is open
      EXPECT_TRUE(QTest::qWaitFor([&] { return on.dialogs.boxes.size() == 2; }, 5000));
    }
  };
  on.device->ReportLineError(kLineErrorFrame);
  ASSERT_TRUE(QTest::qWaitFor([&] { return on.dialogs.boxes.size() == 2; }, 5000));
  EXPECT_EQ(openAtOnce, 2u) << "the second box opened on top of the first";
  for (const auto& box : on.dialogs.boxes) EXPECT_EQ(box.text, QString::fromUtf8("Bląd portu szeregowego!"));
  EXPECT_TRUE(on.window.State.Polaczony) << "a line error does not end the connection";
  on.window.btPolacz->click();
}

// The window on a line whose driver the test plays, connected, with the
// component's error reports and received bytes recorded on their way to
// the window's handlers.
struct WindowOnMarkedLine {
  explicit WindowOnMarkedLine(bool driverCounts)
      : window(dialogs, [this, driverCounts](const std::filesystem::path&) { return line.Open(driverCounts); }) {
    window.Comm->OnErrorData = [this, shown = window.Comm->OnErrorData](std::uint8_t status) {
      statuses.push_back(status);
      shown(status);
    };
    window.Comm->OnReceiveData = [this](const char* buffer, std::uint16_t length) { received.append(buffer, length); };
    window.show();
    dialogs.boxes.clear();
    window.cbCOM->setCurrentText("COM3");
    window.btPolacz->click();
  }
  ~WindowOnMarkedLine() { window.FormClose(); }

  TWorkingDirectory directory;
  TScriptedDialogs dialogs;
  test::MarkedLine line;
  std::vector<int> statuses;
  std::string received;
  TfMain window;
};

// The driver's marks and counts, read by the POSIX device, become the
// component's ErrorStatus and one box for the operator. Each kind of error
// keeps its own bit, and a marked character stays in the data.
struct DriverReport {
  const char* what;
  bool driverCounts;
  LineErrorCounts counted;
  std::string marked;
  std::string data; // what the window receives
  int errorStatus;
};

void PrintTo(const DriverReport& report, std::ostream* out) { *out << report.what; }

class DriverLineErrors : public ::testing::TestWithParam<DriverReport> {};

TEST_P(DriverLineErrors, ReachTheOperatorWithTheirOwnBits) {
  const DriverReport& c = GetParam();
  WindowOnMarkedLine on(c.driverCounts);
  ASSERT_TRUE(on.window.State.Polaczony);

  on.line.Count(c.counted);
  on.line.Send(c.marked);
  ASSERT_TRUE(QTest::qWaitFor([&] { return on.received.size() >= c.data.size() && !on.statuses.empty(); }, 5000));
  QTest::qWait(50);
  EXPECT_EQ(on.received, c.data);
  EXPECT_EQ(on.statuses, std::vector<int>{c.errorStatus});
  ASSERT_EQ(on.dialogs.boxes.size(), 1u);
  EXPECT_EQ(on.dialogs.boxes[0].text, QString::fromUtf8("Bląd portu szeregowego!"));
  EXPECT_TRUE(on.window.State.Polaczony);
}

INSTANTIATE_TEST_SUITE_P(
    Marks, DriverLineErrors,
    ::testing::Values(DriverReport{"framing error, no counts", false, {}, "1 \377\0\x83 2"s, "1 \x83 2"s, 1},
                      DriverReport{"parity error counted", true, {.parity = 1}, "\377\0q"s, "q", 4},
                      DriverReport{"overrun counted", true, {.overrun = 1}, "after the loss", "after the loss", 2},
                      DriverReport{"break, no counts", false, {}, "\377\0\0"s, "\0"s, 8},
                      DriverReport{"break counted", true, {.breaks = 1}, "\377\0\0"s, "\0"s, 8},
                      DriverReport{
                          "framing error and overrun counted", true, {.frame = 1, .overrun = 1}, "\377\0q"s, "q", 3},
                      DriverReport{"receive buffer overflow counted", true, {.bufferOverrun = 1}, "z", "z", 8}),
    [](const ::testing::TestParamInfo<DriverReport>& info) { return std::to_string(info.index); });

// A received 0xFF is data, not an error; a report while a box is open
// opens a second box on top.
TEST(DriverLineErrorsStack, OnlyMarkedCharactersOpenBoxesAndBoxesStack) {
  WindowOnMarkedLine on(false);
  ASSERT_TRUE(on.window.State.Polaczony);
  on.line.Send("\377\377 1 2 3\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return on.received == "\xFF 1 2 3\r\n"; }, 5000)) << on.received;
  EXPECT_TRUE(on.dialogs.boxes.empty());

  std::size_t openAtOnce = 0;
  on.dialogs.whileBoxOpen = [&](std::size_t number) {
    openAtOnce = std::max(openAtOnce, number);
    if (number == 1) {
      on.line.Send("\377\0\0"s);
      EXPECT_TRUE(QTest::qWaitFor([&] { return on.dialogs.boxes.size() == 2; }, 5000));
    }
  };
  on.line.Send("\377\0x"s);
  ASSERT_TRUE(QTest::qWaitFor([&] { return on.dialogs.boxes.size() == 2; }, 5000));
  EXPECT_EQ(openAtOnce, 2u);
  EXPECT_EQ(on.statuses, (std::vector<int>{1, 8}));
  for (const auto& box : on.dialogs.boxes) EXPECT_EQ(box.text, QString::fromUtf8("Bląd portu szeregowego!"));
}

} // namespace
} // namespace zr7
