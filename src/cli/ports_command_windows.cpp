#include "ports_command.h"

#include "cli_commands.h"
#include "platform/win32/com_ports_win32.h"

namespace zr7 {

// Windows gives each adapter its COM number itself (the Device Manager
// changes it), so there is nothing to link.
int PortsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() > 1) return Usage(err);
  out << DescribeComPortsPresent(ListComPortsPresent());
  return 0;
}

} // namespace zr7
