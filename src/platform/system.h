#pragma once

#include <string>

namespace zr7 {

// The system's English text for an error code; empty when it has none.
std::string SystemErrorText(int code);

// Raises the calling thread's scheduling priority by a number of steps
// above normal, where the system allows it; otherwise leaves it alone.
void RaiseCurrentThreadPriority(int steps);

} // namespace zr7
