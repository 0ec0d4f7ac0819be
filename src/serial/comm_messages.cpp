#include "serial/comm_messages.h"

#include "platform/serial_device.h"

namespace zr7 {

std::uint8_t ErrorStatusFromFlags(std::uint32_t flags) {
  std::uint8_t status = 0;
  if (flags & CE_FRAME) status |= kErrorFraming;
  if (flags & CE_OVERRUN) status |= kErrorOverrun;
  if (flags & CE_RXPARITY) status |= kErrorParity;
  if (flags & ~(CE_FRAME | CE_OVERRUN | CE_RXPARITY)) status |= kErrorOther;
  return status;
}

} // namespace zr7
