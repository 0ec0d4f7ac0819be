#include "platform/system.h"

#include <windows.h>

namespace zr7 {

std::string SystemDecimalSeparator() {
  wchar_t separator[8] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1) return ".";
  char utf8[32];
  const int length = WideCharToMultiByte(CP_UTF8, 0, separator, -1, utf8, sizeof utf8, nullptr, nullptr);
  return length > 1 ? std::string(utf8, length - 1) : ".";
}

std::string SystemErrorText(int code) {
  char buffer[512];
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(code),
                     MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), buffer, sizeof buffer, nullptr);
  std::string text(buffer, length);
  // The system's texts end in a line break, which would split a log line.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

// An unplugged adapter's handle fails with this code.
int DeviceGoneError() { return ERROR_DEVICE_NOT_CONNECTED; }

int OutOfMemoryError() { return ERROR_NOT_ENOUGH_MEMORY; }

void RaiseCurrentThreadPriority(int steps) {
  static constexpr int kPriorities[] = {THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST};
  if (steps <= 0) return;
  SetThreadPriority(GetCurrentThread(), kPriorities[steps > 2 ? 2 : steps]);
}

} // namespace zr7
