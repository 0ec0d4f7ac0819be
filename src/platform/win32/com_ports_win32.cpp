#include "platform/win32/com_ports_win32.h"

#include "platform/system.h"

#include <windows.h>

// The device setup classes' identifiers, defined here rather than taken
// from a library.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <optional>
#include <string>

namespace zr7 {
namespace {

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr, nullptr);
  return utf8;
}

// The number of "COMn"; nothing for LPT ports and other names.
std::optional<int> ComNumber(const std::wstring& name) {
  if (name.size() < 4 || name.size() > 6 || name.compare(0, 3, L"COM") != 0) return std::nullopt;
  int number = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (name[i] < L'0' || name[i] > L'9') return std::nullopt;
    number = number * 10 + (name[i] - L'0');
  }
  return number > 0 ? std::optional<int>(number) : std::nullopt;
}

// A string value of an open registry key; empty when it has none.
std::wstring RegistryString(HKEY key, const wchar_t* value) {
  wchar_t data[256] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  return data;
}

// A port not yet in the list, without a name.
void AddPort(std::vector<TComPortPresent>& ports, std::optional<int> number) {
  if (!number) return;
  const bool known = std::any_of(ports.begin(), ports.end(), [&](const auto& p) { return p.number == *number; });
  if (known) return;
  TComPortPresent port;
  port.number = *number;
  ports.push_back(port);
}

void AddPortsOfClass(std::vector<TComPortPresent>& ports) {
  HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    const std::optional<int> number = ComNumber(RegistryString(key, L"PortName"));
    RegCloseKey(key);
    if (!number) continue;
    wchar_t friendly[256] = {};
    std::wstring name;
    if (SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                          reinterpret_cast<BYTE*>(friendly), sizeof friendly - sizeof(wchar_t),
                                          nullptr)) {
      name = friendly;
    }
    TComPortPresent port;
    port.number = *number;
    port.name = Utf8(name);
    ports.push_back(port);
  }
  SetupDiDestroyDeviceInfoList(devices);
}

// Ports of drivers outside the Ports class, and Wine's ports, are only in
// the serial map.
void AddPortsOfSerialMap(std::vector<TComPortPresent>& ports) {
  HKEY map = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) != ERROR_SUCCESS) return;
  for (DWORD index = 0;; ++index) {
    wchar_t value[256];
    DWORD valueLength = 256;
    wchar_t data[64] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    const LONG status =
        RegEnumValueW(map, index, value, &valueLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS || type != REG_SZ) continue;
    AddPort(ports, ComNumber(data));
  }
  RegCloseKey(map);
}

// Ports that only the DOS device names show (virtual ports, and Wine's
// links in dosdevices).
void AddPortsOfDosDevices(std::vector<TComPortPresent>& ports) {
  std::vector<wchar_t> names(65536);
  const DWORD length = QueryDosDeviceW(nullptr, names.data(), static_cast<DWORD>(names.size()));
  for (std::size_t start = 0; start < length && names[start] != L'\0';) {
    const std::wstring name(names.data() + start);
    start += name.size() + 1;
    AddPort(ports, ComNumber(name));
  }
}

void ProbePort(TComPortPresent& port) {
  const std::wstring path = L"\\\\.\\COM" + std::to_wstring(port.number);
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    CloseHandle(handle);
    port.state = TComPortPresent::TState::Free;
    return;
  }
  const DWORD error = GetLastError();
  // A serial port has one opener at a time; the next one is denied access.
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
    port.state = TComPortPresent::TState::Busy;
    return;
  }
  port.state = TComPortPresent::TState::Fails;
  port.error = SystemErrorText(static_cast<int>(error));
}

} // namespace

std::vector<TComPortPresent> ListComPortsPresent() {
  std::vector<TComPortPresent> ports;
  AddPortsOfClass(ports);
  AddPortsOfSerialMap(ports);
  AddPortsOfDosDevices(ports);
  for (TComPortPresent& port : ports) ProbePort(port);
  return ports;
}

} // namespace zr7
