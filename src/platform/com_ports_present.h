#pragma once

#include <string>
#include <vector>

namespace zr7 {

// A COM port that the system has today, as Windows names it.
struct TComPortPresent {
  int number = 0;
  std::string name; // UTF-8, "USB Serial Port (COM3)"; empty when the system gives none
  enum class TState {
    Free,  // it opened
    Busy,  // another program has it open
    Fails, // another error, in `error`
  } state = TState::Free;
  std::string error;
};

// The ports as zr7-cli ports prints them on Windows, by number, with the
// next step for the user.
std::string DescribeComPortsPresent(std::vector<TComPortPresent> ports);

} // namespace zr7
