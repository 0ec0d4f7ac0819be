#include "platform/com_ports_present.h"

#include <algorithm>
#include <sstream>

namespace zr7 {
namespace {

// The window's port list runs from COM1 to COM32.
constexpr int kLastListedCom = 32;

std::string DescribeState(const TComPortPresent& port) {
  switch (port.state) {
    case TComPortPresent::TState::Free:
      return "you may open it";
    case TComPortPresent::TState::Busy:
      return "busy: another program has it open (a connected ZR-7 window, for one)";
    case TComPortPresent::TState::Fails:
      return "cannot be opened: " + port.error;
  }
  return {};
}

} // namespace

std::string DescribeComPortsPresent(std::vector<TComPortPresent> ports) {
  std::ostringstream out;
  if (ports.empty()) {
    out << "No COM port found. Plug the instrument's USB adapter in; the Device Manager shows its\n"
           "COM number under \"Ports (COM & LPT)\".\n";
    return out.str();
  }
  std::sort(ports.begin(), ports.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
  for (const TComPortPresent& port : ports) {
    const std::string com = "COM" + std::to_string(port.number);
    out << com << "\n";
    if (!port.name.empty() && port.name != com) out << "  name:        " << port.name << "\n";
    out << "  access:      " << DescribeState(port) << "\n";
    if (port.number > kLastListedCom) {
      out << "  the window lists COM1 to COM" << kLastListedCom
          << ": give the adapter a lower COM number in the Device Manager\n"
             "               (its properties, \"Port Settings\", \"Advanced\")\n";
    }
  }
  out << "In the window choose the COM port in the list and press \"Polącz\".\n";
  return out.str();
}

} // namespace zr7
