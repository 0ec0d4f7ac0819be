#pragma once

#include <filesystem>

namespace zr7 {

// Where the operator links the COM names to adapters: "<config dir>/zr7/ports"
// (normally ~/.config/zr7/ports on Linux).
std::filesystem::path ComPortsFolder();

} // namespace zr7
