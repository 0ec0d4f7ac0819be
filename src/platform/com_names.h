#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zr7 {

// The port list holds "COM1" to "COM32".
inline constexpr int kComPortCount = 32;

// The prefix of Windows device names: "COM12" opens \\.\COM12.
inline constexpr std::string_view kWin32DevicePrefix = "\\\\.\\";

// The device that a port name of the list ("COM1" to "COM32") stands for.
// On Windows "COMn" is \\.\COMn, and a name that starts with \\.\ is used
// as is. On Linux "COMn" is the link portsFolder/COMn when that exists (the
// operator points it at an adapter), otherwise <devFolder>/ttyUSB<n-1>, and
// a name starting with "/" is a device path used as is. Anything else, the
// empty name included, gives an empty path, which no device opens.
std::filesystem::path ComDevicePath(std::string_view name, const std::filesystem::path& portsFolder,
                                    const std::filesystem::path& devFolder = "/dev");

// The n of "COMn" (any case, no leading zero), or 0 when it is no such name.
unsigned ComNumber(std::string_view name);

} // namespace zr7
