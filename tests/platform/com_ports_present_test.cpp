#include "platform/com_ports_present.h"

#include <gtest/gtest.h>

#include <utility>

namespace zr7 {
namespace {

using State = TComPortPresent::TState;

TComPortPresent Port(int number, std::string name = {}, State state = State::Free, std::string error = {}) {
  TComPortPresent port;
  port.number = number;
  port.name = std::move(name);
  port.state = state;
  port.error = std::move(error);
  return port;
}

TEST(DescribeComPortsPresent, NoPortTellsWhereTheNumberIsFound) {
  const std::string text = DescribeComPortsPresent({});
  EXPECT_NE(text.find("No COM port found"), std::string::npos) << text;
  EXPECT_NE(text.find("Device Manager"), std::string::npos) << text;
}

TEST(DescribeComPortsPresent, PortsByNumberWithTheirNamesAndAccess) {
  const std::string text = DescribeComPortsPresent({
      Port(12, "COM12", State::Fails, "The device is not ready."),
      Port(3, "USB Serial Port (COM3)", State::Busy),
      Port(1),
  });
  EXPECT_EQ(text,
            "COM1\n"
            "  access:      you may open it\n"
            "COM3\n"
            "  name:        USB Serial Port (COM3)\n"
            "  access:      busy: another program has it open (a connected ZR-7 window, for one)\n"
            "COM12\n"
            "  access:      cannot be opened: The device is not ready.\n"
            "In the window choose the COM port in the list and press \"Polącz\".\n");
}

TEST(DescribeComPortsPresent, PortBeyondTheWindowsListSaysHowToRenumberIt) {
  const std::string listed = DescribeComPortsPresent({Port(32)});
  const std::string beyond = DescribeComPortsPresent({Port(33, "Prolific USB-to-Serial (COM33)")});
  EXPECT_EQ(listed.find("lower COM number"), std::string::npos) << listed;
  EXPECT_NE(beyond.find("the window lists COM1 to COM32: give the adapter a lower COM number"), std::string::npos)
      << beyond;
}

} // namespace
} // namespace zr7
