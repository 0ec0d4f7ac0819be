#include "platform/win32/com_ports_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <optional>
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

  // The instrument's port as the list shows it, when it shows it once.
  std::optional<TComPortPresent> ListedOnce() const {
    const std::vector<TComPortPresent> ports = ListComPortsPresent();
    const auto found = std::count_if(ports.begin(), ports.end(), [&](const auto& p) { return p.number == number; });
    EXPECT_EQ(found, 1) << "COM" << number << " among the " << ports.size() << " ports found";
    if (found != 1) return std::nullopt;
    return *std::find_if(ports.begin(), ports.end(), [&](const auto& p) { return p.number == number; });
  }

  static constexpr const wchar_t* kValue = L"\\Device\\Zr7TestSerial";
  int number = 0;
  HKEY serialMap = nullptr;
};

TEST_F(ComPortsPresent, FindsThePortOfTheInstrumentOnceAndMayOpenIt) {
  const std::optional<TComPortPresent> port = ListedOnce();
  ASSERT_TRUE(port.has_value());
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

// The instrument's port as a USB-serial adapter's driver installs it: a
// device of the Ports class with the name the Device Manager shows and its
// port name in the device's key. The test installs it and removes it again.
class UsbSerialAdapter : public ComPortsPresent {
protected:
  void SetUp() override {
    ComPortsPresent::SetUp();
    devices = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
    ASSERT_NE(devices, INVALID_HANDLE_VALUE);
    device.cbSize = sizeof device;
    ASSERT_TRUE(
        SetupDiCreateDeviceInfoW(devices, L"PORTS", &GUID_DEVCLASS_PORTS, nullptr, nullptr, DICD_GENERATE_ID, &device))
        << GetLastError();
    ASSERT_TRUE(SetupDiRegisterDeviceInfo(devices, &device, 0, nullptr, nullptr, nullptr)) << GetLastError();
    registered = true;
    const std::wstring com = L"COM" + std::to_wstring(number);
    const std::wstring name = L"USB Serial Port (" + com + L")";
    ASSERT_TRUE(SetupDiSetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME,
                                                  reinterpret_cast<const BYTE*>(name.c_str()),
                                                  static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t))))
        << GetLastError();
    HKEY key = SetupDiCreateDevRegKeyW(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    ASSERT_NE(key, INVALID_HANDLE_VALUE) << GetLastError();
    RegSetValueExW(key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(com.c_str()),
                   static_cast<DWORD>((com.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  void TearDown() override {
    if (registered) SetupDiRemoveDevice(devices, &device);
    if (devices != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(devices);
    ComPortsPresent::TearDown();
  }

  HDEVINFO devices = INVALID_HANDLE_VALUE;
  SP_DEVINFO_DATA device{};
  bool registered = false;
};

TEST_F(UsbSerialAdapter, PortCarriesTheNameTheSystemGivesIt) {
  const std::optional<TComPortPresent> port = ListedOnce();
  ASSERT_TRUE(port.has_value());
  EXPECT_EQ(port->name, "USB Serial Port (COM" + std::to_string(number) + ")");
  EXPECT_EQ(port->state, TComPortPresent::TState::Free) << port->error;
}

} // namespace
} // namespace zr7
