#include "pty_pair.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace zr7::test {

PtyPair::PtyPair() {
  char name[256];
  termios raw{};
  cfmakeraw(&raw);
  if (openpty(&controller_, &terminal_, name, &raw, nullptr) != 0) throw std::runtime_error("openpty failed");
  terminalPath_ = name;
  fcntl(controller_, F_SETFL, fcntl(controller_, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
  Unplug();
  close(terminal_);
}

void PtyPair::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(controller_, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
    } else if (written < 0 && errno == EAGAIN) {
      pollfd entry{controller_, POLLOUT, 0};
      poll(&entry, 1, 1000);
    } else if (written < 0 && errno != EINTR) {
      throw std::runtime_error("write to the pty failed");
    }
  }
}

std::string PtyPair::Receive(std::size_t count, std::chrono::milliseconds timeout) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (got.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd entry{controller_, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[4096];
    const ssize_t n = read(controller_, buffer, std::min(sizeof buffer, count - got.size()));
    if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;
  }
  return got;
}

void PtyPair::Unplug() {
  if (controller_ >= 0) close(controller_);
  controller_ = -1;
}

} // namespace zr7::test
