#pragma once

#include "platform/serial_device.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace zr7 {

// The serial driver's running counts of line errors.
struct LineErrorCounts {
  std::uint32_t frame = 0;
  std::uint32_t parity = 0;
  std::uint32_t overrun = 0;
  std::uint32_t bufferOverrun = 0;
  std::uint32_t breaks = 0;
};

// Reads the counts; false where the driver keeps none.
using LineErrorCounter = std::function<bool(LineErrorCounts& counts)>;

// A device over a terminal, which takes the settings, the writes and the
// purges, and the descriptor its received bytes come from, marked by the
// driver as the terminal's settings ask (PARMRK). The counter tells the
// kinds of line error apart; an empty one means the driver keeps no
// counts. The device owns both descriptors and makes the input
// non-blocking. OpenSerialDevice gives the terminal as its own input, with
// the driver's counters.
std::shared_ptr<SerialDevice> MakePosixSerialDevice(int terminal, int input, LineErrorCounter counter);

} // namespace zr7
