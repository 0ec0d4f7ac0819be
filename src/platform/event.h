#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace zr7 {

// A manual-reset event that a thread can wait on together with a device or
// with other events: set stays set until reset. On POSIX it is an eventfd,
// on Windows an event object.
#ifdef _WIN32
using NativeEventHandle = void*;
#else
using NativeEventHandle = int;
#endif

class Event {
public:
  // Null when the system refuses one; error then holds the system's code.
  static std::unique_ptr<Event> Create(int& error);
  ~Event();
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  bool IsSet() const; // never waits
  NativeEventHandle NativeHandle() const { return handle_; }

private:
  explicit Event(NativeEventHandle handle) : handle_(handle) {}
  NativeEventHandle handle_;
};

// Results of the waits of this layer: the index of the first signalled
// object (objects are tested in the order given), or kWaitFailed.
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;

// Waits without time limit until one of the events is set. On kWaitFailed
// error holds the system's code.
std::uint32_t WaitForEvents(std::span<Event* const> events, int& error);

} // namespace zr7
