#pragma once

#include "platform/plain_message_loop.h"
#include "serial/comm32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace zr7::test {

// A component on a plain message loop, with its events recorded and its
// diagnostic log in a file of its own.
class CommFixture : public ::testing::Test {
protected:
  CommFixture();
  ~CommFixture() override;

  struct Chunk {
    std::string bytes;
    bool zeroAfter;
  };

  // Hooks the recorders to the component's events and gives it the log.
  void Attach(TComm32& comm);
  // Dispatches messages until the condition holds; false after 5 s.
  bool WaitFor(const std::function<bool()>& condition);
  // The same for state that no message announces (what a fake device saw),
  // looked at every few milliseconds.
  bool PollFor(const std::function<bool()>& condition);
  // Dispatches whatever arrives for a while.
  void Drain(std::chrono::milliseconds time);
  std::string Received() const;
  std::vector<std::string> LogLines() const;
  bool Logged(const std::string& line) const;

  PlainMessageLoop loop;
  std::filesystem::path logFolder;
  std::string logPath;
  std::vector<Chunk> chunks;
  std::vector<int> errorReports;
  int hangups = 0;
  int eventsOffTheOwnerThread = 0;
  const std::thread::id owner = std::this_thread::get_id();
};

} // namespace zr7::test
