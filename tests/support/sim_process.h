#pragma once

// zr7-sim as a child process, for tests that talk to a simulated instrument.
// The test target defines ZR7_SIM_EXECUTABLE as the simulator's path.

#include "run_command.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zr7 {

// zr7-sim as a child process with its output on a pipe.
class TSimProcess {
public:
  explicit TSimProcess(std::vector<std::string> args) {
    args.insert(args.begin(), ZR7_SIM_EXECUTABLE);
    const TChildWithOutput child = StartWithOutputPipe(args);
    EXPECT_GT(child.pid, 0) << "zr7-sim did not start";
    pid_ = child.pid;
    output_ = child.output;
  }
  ~TSimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(output_);
  }

  // The first line of its output: the device path.
  std::string FirstLine() {
    std::string line;
    char c;
    while (line.find('\n') == std::string::npos) {
      pollfd fd{output_, POLLIN, 0};
      if (poll(&fd, 1, 5000) <= 0 || read(output_, &c, 1) != 1) break;
      line += c;
    }
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
  }

  // Everything until it exits, and its exit code; -1 when it did not run
  // or did not end normally.
  int Wait(std::string* output = nullptr) {
    if (pid_ <= 0) return -1;
    std::string all;
    char buffer[4096];
    ssize_t n;
    while ((n = read(output_, buffer, sizeof buffer)) > 0) all.append(buffer, static_cast<std::size_t>(n));
    if (output != nullptr) *output = all;
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  int Stop(int signal = SIGTERM) {
    if (pid_ > 0) kill(pid_, signal); // never kill(-1): that signals every process
    return Wait();
  }

private:
  pid_t pid_ = -1;
  int output_ = -1;
};

} // namespace zr7
