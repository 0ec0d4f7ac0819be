#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zr7 {

// zr7-cli ports. On Linux: the serial adapters and the COMn links that lead
// to them, or a new link (--link). On Windows: the COM ports present with
// the names the system gives them. Returns the exit code.
int PortsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zr7
