#include "platform/event.h"

#include <vector>
#include <windows.h>

namespace zr7 {

std::unique_ptr<Event> Event::Create(int& error) {
  HANDLE handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (handle == nullptr) {
    error = static_cast<int>(GetLastError());
    return nullptr;
  }
  return std::unique_ptr<Event>(new Event(handle));
}

Event::~Event() { CloseHandle(handle_); }

void Event::Set() { SetEvent(handle_); }

void Event::Reset() { ResetEvent(handle_); }

bool Event::IsSet() const { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }

std::uint32_t WaitForEvents(std::span<Event* const> events, int& error) {
  std::vector<HANDLE> handles;
  for (Event* event : events) handles.push_back(event->NativeHandle());
  const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
  if (result >= WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + handles.size()) return result - WAIT_OBJECT_0;
  error = static_cast<int>(result == WAIT_FAILED ? GetLastError() : result);
  return kWaitFailed;
}

} // namespace zr7
