#include "platform/win32/com_ports_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace zr7 {
namespace {

// Run by with_sim_on_com.sh, which puts the simulated instrument on the
// COM port whose number ZR7_TEST_COM holds. A Windows driver announces its
// ports in the system's serial map; Wine announces none of the ports that
// are links in its dosdevices folder, so the test announces the
// instrument's port there itself, and takes it away again.
class ComPortsPresent : public ::testing::Test {
protected:
  void SetUp() override {
    const char* text = std::getenv("ZR7_TEST_COM");
    ASSERT_NE(text, nullptr) << "ZR7_TEST_COM must name the COM number of the simulated instrument";
    number = std::atoi(text);
    const std::wstring com = L"COM" + std::to_wstring(number);
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_SET_VALUE, nullptr, &serialMap, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(serialMap, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(com.c_str()),
                             static_cast<DWORD>((com.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    if (serialMap == nullptr) return;
    RegDeleteValueW(serialMap, kValue);
    RegCloseKey(serialMap);
  }

  static constexpr const wchar_t* kValue = L"\\Device\\Zr7TestSerial";
  int number = 0;
  HKEY serialMap = nullptr;
};

TEST_F(ComPortsPresent, FindsThePortOfTheInstrumentOnceAndMayOpenIt) {
  const std::vector<TComPortPresent> ports = ListComPortsPresent();
  const auto found = std::count_if(ports.begin(), ports.end(), [&](const auto& p) { return p.number == number; });
  ASSERT_EQ(found, 1) << "COM" << number << " among the " << ports.size() << " ports found";
  const auto port = std::find_if(ports.begin(), ports.end(), [&](const auto& p) { return p.number == number; });
  EXPECT_EQ(port->state, TComPortPresent::TState::Free) << port->error;
}

TEST_F(ComPortsPresent, PortThatIsNotThereCannotBeOpened) {
  RegSetValueExW(serialMap, L"\\Device\\Zr7TestGone", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"COM250"),
                 sizeof L"COM250");
  const std::vector<TComPortPresent> ports = ListComPortsPresent();
  RegDeleteValueW(serialMap, L"\\Device\\Zr7TestGone");
  const auto port = std::find_if(ports.begin(), ports.end(), [](const auto& p) { return p.number == 250; });
  ASSERT_NE(port, ports.end());
  EXPECT_EQ(port->state, TComPortPresent::TState::Fails);
  EXPECT_FALSE(port->error.empty());
}

} // namespace
} // namespace zr7
