#pragma once

#include "serial/comm32.h"

namespace zr7 {

// The instrument's serial line: 76800 baud, and an answer is whole at its
// line feed or after 20 ms of silence. The window and the command line
// configure their component here, before it opens the port.
// lineFeedEndsAnswers false leaves only the silence rule (for measuring it).
void ConfigureForInstrument(TComm32& comm, bool lineFeedEndsAnswers = true);

} // namespace zr7
