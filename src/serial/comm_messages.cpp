#include "serial/comm_messages.h"

#include "platform/serial_device.h"

namespace zr7 {

std::uint8_t ErrorStatusFromFlags(std::uint32_t flags) {
  std::uint8_t status = 0;
  if (flags & kLineErrorFrame) status |= kErrorFraming;
  if (flags & kLineErrorOverrun) status |= kErrorOverrun;
  if (flags & kLineErrorParity) status |= kErrorParity;
  if (flags & ~(kLineErrorFrame | kLineErrorOverrun | kLineErrorParity)) status |= kErrorOther;
  return status;
}

} // namespace zr7
