#include "marked_line.h"

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace zr7::test {

MarkedLine::MarkedLine() {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  input_ = ends[0];
  feed_ = ends[1];
}

MarkedLine::~MarkedLine() {
  close(feed_);
  if (input_ >= 0) close(input_);
}

OpenedDevice MarkedLine::Open(bool driverCounts) {
  if (input_ < 0) throw std::logic_error("the line has its device already");
  const int terminal = open(pty_.TerminalPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (terminal < 0) throw std::runtime_error("cannot open the pseudo-terminal");
  LineErrorCounter counter;
  if (driverCounts) {
    counter = [counts = counts_](LineErrorCounts& now) {
      std::lock_guard lock(counts->mutex);
      now = counts->counts;
      return true;
    };
  }
  const int input = input_;
  input_ = -1;
  return {MakePosixSerialDevice(terminal, input, std::move(counter)), OpenFailure::None};
}

void MarkedLine::Send(std::string_view marked) {
  if (write(feed_, marked.data(), marked.size()) != static_cast<ssize_t>(marked.size()))
    throw std::runtime_error("write to the line failed");
}

void MarkedLine::Count(const LineErrorCounts& more) {
  std::lock_guard lock(counts_->mutex);
  LineErrorCounts& c = counts_->counts;
  c.frame += more.frame;
  c.parity += more.parity;
  c.overrun += more.overrun;
  c.bufferOverrun += more.bufferOverrun;
  c.breaks += more.breaks;
}

} // namespace zr7::test
