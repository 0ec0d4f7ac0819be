#include "platform/serial_adapters.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zr7 {

namespace {

bool InSessionGroups(gid_t group) {
  if (getegid() == group) return true;
  const int count = getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

// Whether the group database lists the user in the group, which a new login
// session would then have.
bool InUserGroups(gid_t group) {
  const passwd* user = getpwuid(getuid());
  if (user == nullptr) return false;
  int count = 32;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  while (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
    groups.resize(static_cast<std::size_t>(count));
  }
  return std::find(groups.begin(), groups.begin() + count, group) != groups.begin() + count;
}

} // namespace

TOpenProbe ProbeDevice(const std::filesystem::path& device) {
  TOpenProbe probe;
  struct stat status {};
  if (stat(device.c_str(), &status) == 0) {
    if (const group* owner = getgrgid(status.st_gid)) probe.group = owner->gr_name;
    probe.inSessionGroups = InSessionGroups(status.st_gid);
    probe.inUserGroups = InUserGroups(status.st_gid);
  }
  // Opened as the program opens a port, and closed again at once. The
  // program locks its port, so a lock held elsewhere means it is in use.
  const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    probe.openError = errno;
    return probe;
  }
  probe.locked = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return probe;
}

} // namespace zr7
