#include "run_command.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zr7 {

TChildWithOutput StartWithOutputPipe(const std::vector<std::string>& arguments) {
  std::vector<std::string> args = arguments;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int out[2];
  if (::pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  TChildWithOutput child;
  if (::posix_spawnp(&child.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) child.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  child.output = out[0];
  return child;
}

TCommandOutput RunCommand(const std::vector<std::string>& arguments) {
  TCommandOutput result;
  const TChildWithOutput child = StartWithOutputPipe(arguments);
  if (child.output < 0) return result;
  char buffer[4096];
  for (ssize_t n; child.pid > 0 && (n = ::read(child.output, buffer, sizeof buffer)) > 0;)
    result.output.append(buffer, static_cast<std::size_t>(n));
  ::close(child.output);
  int status = 0;
  if (child.pid > 0 && ::waitpid(child.pid, &status, 0) == child.pid && WIFEXITED(status))
    result.exitCode = WEXITSTATUS(status);
  return result;
}

} // namespace zr7
