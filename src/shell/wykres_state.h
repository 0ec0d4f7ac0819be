#pragma once

#include "transfer/bank_contents.h"

namespace zr7 {

// The values of the current test that the main window's handlers share:
// what the last bank read or opened file brought, and whether the serial
// port is open. One instance, owned by the main window, zero at start.
struct TWykresState : TBankContents {
  bool Polaczony = false;
};

} // namespace zr7
