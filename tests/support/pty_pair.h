#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace zr7::test {

// A pseudo-terminal for serial tests: the code under test opens the
// terminal side by its path; the test plays the far end of the line on the
// controlling side. Both start raw, so nothing is echoed or translated.
class PtyPair {
public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& TerminalPath() const { return terminalPath_; }
  int Terminal() const { return terminal_; }

  // Sends bytes down the line to the terminal side.
  void Send(std::string_view bytes);
  // Bytes that came up the line from the terminal side: until count have
  // arrived, or what has arrived when the time runs out.
  std::string Receive(std::size_t count, std::chrono::milliseconds timeout);
  // Pulls the plug: the terminal side hangs up.
  void Unplug();

private:
  int controller_ = -1;
  int terminal_ = -1;
  std::string terminalPath_;
};

} // namespace zr7::test
