#include "platform/qt/desktop_session.h"

#include <QtGlobal>

namespace zr7 {

bool HasDesktopSession() {
#ifdef Q_OS_WIN
  // Qt's offscreen platform finds none of the Windows fonts and would draw
  // every letter as a box.
  return true;
#else
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}

} // namespace zr7
