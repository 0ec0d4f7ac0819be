#include "platform/posix/termios2_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace zr7 {

bool SetBaudRate(int fd, std::uint32_t baudRate) {
  termios2 settings{};
  if (ioctl(fd, TCGETS2, &settings) != 0) return false;
  settings.c_cflag &= ~CBAUD;
  settings.c_cflag |= BOTHER;
  settings.c_cflag &= ~(CBAUD << IBSHIFT); // input speed follows the output speed
  settings.c_ospeed = baudRate;
  settings.c_ispeed = baudRate;
  return ioctl(fd, TCSETS2, &settings) == 0;
}

bool GetBaudRate(int fd, std::uint32_t& baudRate) {
  termios2 settings{};
  if (ioctl(fd, TCGETS2, &settings) != 0) return false;
  baudRate = settings.c_ospeed;
  return true;
}

} // namespace zr7
