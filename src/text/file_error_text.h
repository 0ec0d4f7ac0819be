#pragma once

#include <string>

namespace zr7 {

// The original runtime's text for a failed file operation, from errno:
// "File not found", "Invalid filename", "Too many open files",
// "File access denied", "Disk full" (also for a short write), and
// "I/O error <errno>" for anything else.
std::string FileErrorText(int errnoValue);

// The error box appends a full stop when the last character sorts after it.
std::string WithFullStop(std::string message);

} // namespace zr7
