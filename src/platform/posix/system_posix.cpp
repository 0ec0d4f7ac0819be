#include "platform/system.h"

#include <cerrno>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <sys/resource.h>
#include <unistd.h>

namespace zr7 {

std::string SystemDecimalSeparator() {
  // The environment's numeric locale, as a desktop sets it (LC_ALL,
  // LC_NUMERIC, LANG), without touching the process's own C locale.
  const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return ".";
  std::string separator = nl_langinfo_l(RADIXCHAR, user);
  freelocale(user);
  return separator.empty() ? "." : separator;
}

std::string SystemErrorText(int code) {
  char buffer[256];
  // The GNU strerror_r returns the text, in a static string or in buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  return text ? std::string(text) : std::string();
}

int DeviceGoneError() { return ENODEV; }

int OutOfMemoryError() { return ENOMEM; }

void RaiseCurrentThreadPriority(int steps) {
  // On Linux the nice value belongs to the thread, so this raises only the
  // caller. Without the right to do so the thread simply stays at normal.
  const id_t thread = static_cast<id_t>(gettid());
  const int current = getpriority(PRIO_PROCESS, thread);
  setpriority(PRIO_PROCESS, thread, current - steps);
}

} // namespace zr7
