#pragma once

namespace zr7 {

// Whether windows and pages can be drawn with the system's own fonts: on
// Windows always; on Linux when an X or Wayland display is named. Without
// one, a program that only draws pages uses Qt's offscreen platform.
bool HasDesktopSession();

} // namespace zr7
