#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zr7 {

// The port list holds "COM1" to "COM32".
inline constexpr int kComPortCount = 32;

// The device that a port name of the list ("COM1" to "COM32") stands for.
// "COMn" is the link portsFolder/COMn when that exists (the operator points
// it at an adapter), otherwise <devFolder>/ttyUSB<n-1>. A name starting with
// "/" is a device path used as is. Anything else, the empty name included,
// gives an empty path, which no device opens.
std::filesystem::path ComDevicePath(std::string_view name, const std::filesystem::path& portsFolder,
                                    const std::filesystem::path& devFolder = "/dev");

// The n of "COMn" (any case, no leading zero), or 0 when it is no such name.
unsigned ComNumber(std::string_view name);

} // namespace zr7
