#include "qt_parts.h"

namespace zr7 {

int ReportCommand(const std::vector<std::string>&, std::ostream& err) {
  err << "zr7-cli report: this zr7-cli was built without Qt, which draws the report page\n";
  return 2;
}

// Without Qt there is no configuration folder: COMn is the system's own port
// (\\.\COMn on Windows, /dev/ttyUSB<n-1> on Linux).
std::filesystem::path PortsFolder() { return {}; }

} // namespace zr7
