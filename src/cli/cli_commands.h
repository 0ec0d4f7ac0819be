#pragma once

#include "measurement/tpomiar.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zr7 {

// zr7-cli's commands on measurement files. Each returns the process's exit
// code: 0 done, 1 the file or the output failed, 2 wrong arguments.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// Shared by the commands: the usage text on err, returning exit code 2.
int Usage(std::ostream& err);
// The same for one command's lines.
int UsageOf(std::ostream& err, std::string_view command);

// Loads a measurement file, telling on err why when it cannot.
bool Load(const std::string& path, TPomiar& pomiar, std::ostream& err);

} // namespace zr7
