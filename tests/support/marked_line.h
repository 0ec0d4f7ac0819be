#pragma once

#include "platform/posix/posix_serial_device.h"
#include "pty_pair.h"

#include <memory>
#include <mutex>
#include <string_view>

namespace zr7::test {

// A serial line whose driver the test plays: the device reads the bytes the
// test sends exactly as the terminal driver hands them over when it marks
// line errors (PARMRK), and the driver's error counts are the ones the test
// adds. The device's terminal, for its settings, is a pseudo-terminal.
class MarkedLine {
public:
  MarkedLine();
  ~MarkedLine();
  MarkedLine(const MarkedLine&) = delete;
  MarkedLine& operator=(const MarkedLine&) = delete;

  // The device on this line, once; driverCounts says whether the driver
  // keeps error counts.
  OpenedDevice Open(bool driverCounts);
  // Bytes as the driver passes them on: "\377\0c" for the character c
  // received with a framing or parity error, "\377\0\0" for a break,
  // "\377\377" for a received 0xFF.
  void Send(std::string_view marked);
  // Adds to the driver's counts; they are read when bytes arrive.
  void Count(const LineErrorCounts& more);

private:
  struct Counts {
    std::mutex mutex;
    LineErrorCounts counts;
  };
  PtyPair pty_;
  int input_ = -1; // the device's end
  int feed_ = -1;  // the test's end
  std::shared_ptr<Counts> counts_ = std::make_shared<Counts>();
};

} // namespace zr7::test
