#include "file_io.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zr7 {
namespace {

class FileDescriptor {
public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the close's own failure.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

private:
  int fd_;
};

// A short hidden name in the same folder, so the final rename stays within
// one file system and a long file name does not grow past the name limit.
std::string TemporaryNameBeside(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  return folder + ".zr7-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

} // namespace

int ReadFileStart(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return errno;
  bytes.resize(limit);
  std::size_t got = 0;
  while (got < limit) {
    const ssize_t n = ::read(file.get(), bytes.data() + got, limit - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return file.Close() == 0 ? 0 : errno;
}

int ReplaceFileContent(const std::string& path, std::span<const std::uint8_t> bytes) {
  // A write-protected file stays protected, as it would for a direct write.
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) return errno;
  const std::string temporary = TemporaryNameBeside(path);
  FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (file.get() < 0) return errno;
  auto fail = [&](int error) {
    ::unlink(temporary.c_str());
    return error;
  };
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(file.get(), bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);
    if (n == 0) return fail(ENOSPC);
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(file.get()) != 0) return fail(errno);
  if (file.Close() != 0) return fail(errno);
  if (::rename(temporary.c_str(), path.c_str()) != 0) return fail(errno);
  return 0;
}

} // namespace zr7
