#pragma once

#include <cstdint>

// Any baud rate, such as the instrument's 76800, through the Linux termios2
// calls. They live in a file of their own because the kernel's termios
// header clashes with the C library's <termios.h>.
namespace zr7 {

bool SetBaudRate(int fd, std::uint32_t baudRate);
bool GetBaudRate(int fd, std::uint32_t& baudRate);

} // namespace zr7
