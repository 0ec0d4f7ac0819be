#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// The parts of zr7-cli that need Qt, in with_qt.cpp: the report page, and
// the ports folder, which Qt finds in the system's configuration folder. A
// build without Qt links without_qt.cpp instead; the rest of zr7-cli stays
// the same.
namespace zr7 {

// zr7-cli report FILE --pdf OUT [--paper A4|Letter] [--landscape]: the
// printed report page, which the chart widget draws. Returns the exit code.
int ReportCommand(const std::vector<std::string>& args, std::ostream& err);

// The folder of the operator's COMn links (see ComDevicePath); empty
// without Qt.
std::filesystem::path PortsFolder();

} // namespace zr7
