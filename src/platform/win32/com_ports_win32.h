#pragma once

#include "platform/com_ports_present.h"

#include <vector>

namespace zr7 {

// The COM ports the system has today: those of the Ports class with the
// names the Device Manager shows, then any other port that the system's
// serial map or its DOS device names list; each opened briefly to see whether another program holds it.
std::vector<TComPortPresent> ListComPortsPresent();

} // namespace zr7
