#pragma once

#include <string>

namespace zr7 {

// The system's English text for an error code; empty when it has none.
std::string SystemErrorText(int code);

// The system's code for a device that has gone away, as a read that ends
// with no bytes tells (an adapter unplugged, a line hung up).
int DeviceGoneError();

// The system's code for memory that could not be had.
int OutOfMemoryError();

// The decimal separator of the user's regional settings, for programs
// without Qt (the window asks Qt); "." when they name none.
std::string SystemDecimalSeparator();

// Raises the calling thread's scheduling priority by a number of steps
// above normal, where the system allows it; otherwise leaves it alone.
void RaiseCurrentThreadPriority(int steps);

} // namespace zr7
