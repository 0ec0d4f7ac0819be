#pragma once

#include "platform/serial_device.h"

#include <filesystem>

namespace zr7 {

// How the Windows device has the driver end the chunks a read is gathered
// from.
enum class Win32ReadChunks {
  // Whatever the driver holds, as soon as it holds any byte. A driver that
  // ends such a chunk at once with nothing moves the device to the next.
  TakeWhatIsThere,
  // Each waits for its first byte and ends a millisecond after bytes stop.
  WaitForFirstBytes,
};

// OpenSerialDevice, starting with the given chunks; OpenSerialDevice starts
// with TakeWhatIsThere.
OpenedDevice OpenWin32SerialDevice(const std::filesystem::path& path, Win32ReadChunks chunks);

} // namespace zr7
