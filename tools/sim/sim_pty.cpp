#include "sim_pty.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <stdlib.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace zr7::sim {
namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::system_error(errno, std::generic_category(), what); }

} // namespace

TSimPty::TSimPty() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) Fail("posix_openpt");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) Fail("unlockpt");
  const char* name = ptsname(master_);
  if (name == nullptr) Fail("ptsname");
  devicePath_ = name;
  slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) Fail(devicePath_);
  termios settings{};
  if (tcgetattr(slave_, &settings) != 0) Fail("tcgetattr");
  cfmakeraw(&settings);
  if (tcsetattr(slave_, TCSANOW, &settings) != 0) Fail("tcsetattr");
  const int flags = fcntl(master_, F_GETFL);
  if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) Fail("fcntl");
}

TSimPty::~TSimPty() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
}

TSimLink::TSimLink(std::string path, const std::string& target) : path_(std::move(path)) {
  const std::filesystem::path link(path_);
  std::error_code ec;
  if (link.has_parent_path()) std::filesystem::create_directories(link.parent_path(), ec);
  struct stat info {};
  if (lstat(path_.c_str(), &info) == 0) {
    if (!S_ISLNK(info.st_mode)) {
      errno = EEXIST;
      Fail(path_ + " exists and is not a symlink");
    }
    unlink(path_.c_str());
  }
  if (symlink(target.c_str(), path_.c_str()) != 0) Fail(path_);
}

TSimLink::~TSimLink() { unlink(path_.c_str()); }

} // namespace zr7::sim
