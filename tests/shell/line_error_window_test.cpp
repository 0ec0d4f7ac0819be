#include "fake_serial_device.h"
#include "scripted_dialogs.h"
#include "serial/comm_messages.h"
#include "shell/tfmain.h"
#include "temporary_directory.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace zr7 {
namespace {

// Line errors come from the driver, which a pseudo-terminal never reports:
// the window runs on a fake device here.
TEST(LineErrorWindow, EachReportOpensABoxAndBoxesStack) {
  TWorkingDirectory directory;
  TScriptedDialogs dialogs;
  auto device = std::make_shared<test::FakeSerialDevice>();
  TfMain window(dialogs, [&](const std::filesystem::path&) { return OpenedDevice{device, OpenFailure::None}; });
  window.show();
  dialogs.boxes.clear();
  window.cbCOM->setCurrentText("COM3");
  window.btPolacz->click();
  ASSERT_TRUE(window.State.Polaczony);

  std::size_t openAtOnce = 0;
  dialogs.whileBoxOpen = [&](std::size_t number) {
    openAtOnce = std::max(openAtOnce, number);
    if (number == 1) {
      device->ReportLineError(kLineErrorFrame);  // the second framing error, while the first box is open
      EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.boxes.size() == 2; }, 5000));
    }
  };
  device->ReportLineError(kLineErrorFrame);
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.boxes.size() == 2; }, 5000));
  EXPECT_EQ(openAtOnce, 2u) << "the second box opened on top of the first";
  for (const auto& box : dialogs.boxes) EXPECT_EQ(box.text, QString::fromUtf8("Bląd portu szeregowego!"));
  EXPECT_TRUE(window.State.Polaczony) << "a line error does not end the connection";
  window.btPolacz->click();
}

} // namespace
} // namespace zr7
