#pragma once

#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zr7 {

// The user and group "nobody" of Linux systems.
inline constexpr uid_t kNobody = 65534;
inline constexpr gid_t kNogroup = 65534;

// Runs `body` in a child process as the given user and group, for cases
// that need an ordinary user's rights or limits while the tests run as
// root. Answers body's result (0 to 254), or -1 when the user could not be
// switched (the tests must run as root) or the child did not end normally.
inline int RunAsUser(uid_t user, gid_t group, const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(user) != 0) ::_exit(255);
    ::_exit(body() & 0xFF);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

inline int RunAsNobody(const std::function<int()>& body) { return RunAsUser(kNobody, kNogroup, body); }

} // namespace zr7
