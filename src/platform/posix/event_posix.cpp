#include "platform/event.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace zr7 {

std::unique_ptr<Event> Event::Create(int& error) {
  const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  return std::unique_ptr<Event>(new Event(fd));
}

Event::~Event() { close(handle_); }

void Event::Set() {
  const std::uint64_t one = 1;
  [[maybe_unused]] auto written = write(handle_, &one, sizeof one);
}

void Event::Reset() {
  std::uint64_t count;
  [[maybe_unused]] auto got = read(handle_, &count, sizeof count);
}

bool Event::IsSet() const {
  pollfd entry{handle_, POLLIN, 0};
  return poll(&entry, 1, 0) == 1 && (entry.revents & POLLIN);
}

std::uint32_t WaitForEvents(std::span<Event* const> events, int& error) {
  std::vector<pollfd> entries;
  for (Event* event : events) entries.push_back({event->NativeHandle(), POLLIN, 0});
  for (;;) {
    if (poll(entries.data(), entries.size(), -1) < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return kWaitFailed;
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].revents) return static_cast<std::uint32_t>(i);
  }
}

} // namespace zr7
