#pragma once

#include <string>
#include <vector>

namespace zr7 {

// What a program printed on its standard output, and how it ended.
struct TCommandOutput {
  int exitCode = -1; // -1: it could not be started or did not end normally
  std::string output;
};

// Runs a program (looked up on PATH) with these arguments and waits for it.
TCommandOutput RunCommand(const std::vector<std::string>& arguments);

} // namespace zr7
