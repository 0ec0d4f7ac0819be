#pragma once

// zr7-sim as a child process, for tests that talk to a simulated instrument.
// The test target defines ZR7_SIM_EXECUTABLE as the simulator's path.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zr7 {

// zr7-sim as a child process with its output on a pipe.
class TSimProcess {
public:
  explicit TSimProcess(std::vector<std::string> args) {
    args.insert(args.begin(), ZR7_SIM_EXECUTABLE);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    EXPECT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    output_ = out[0];
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

  // Everything until it exits, and its exit code.
  int Wait(std::string* output = nullptr) {
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
    kill(pid_, signal);
    return Wait();
  }

private:
  pid_t pid_ = -1;
  int output_ = -1;
};

} // namespace zr7
