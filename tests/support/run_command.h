#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace zr7 {

// A program started with its standard output on a pipe that the test reads.
struct TChildWithOutput {
  pid_t pid = -1; // -1: it could not be started
  int output = -1;
};

// Starts a program (looked up on PATH unless the name holds a slash).
TChildWithOutput StartWithOutputPipe(const std::vector<std::string>& arguments);

// What a program printed on its standard output, and how it ended.
struct TCommandOutput {
  int exitCode = -1; // -1: it could not be started or did not end normally
  std::string output;
};

// Runs a program with these arguments and waits for it.
TCommandOutput RunCommand(const std::vector<std::string>& arguments);

} // namespace zr7
