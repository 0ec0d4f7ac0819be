#include "platform/file_io.h"

#include <atomic>
#include <cerrno>
#include <climits>
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

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a path finally names: symbolic links are followed one by one, a
// relative link read from the folder that holds it. The last link may name a
// file that does not exist yet; it is then made there.
int ResolveLinks(const std::string& path, std::string& target) {
  target = path;
  for (int hops = 0; hops < 40; ++hops) {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(target.c_str(), buffer, sizeof buffer);
    if (n < 0) return errno == EINVAL || errno == ENOENT ? 0 : errno; // not a link, or nothing there yet
    if (static_cast<std::size_t>(n) == sizeof buffer) return ENAMETOOLONG;
    const std::string link(buffer, static_cast<std::size_t>(n));
    target = link.starts_with('/') ? link : FolderOf(target) + link;
  }
  return ELOOP;
}

// A short hidden name in the same folder, so the final rename stays within
// one file system and a long file name does not grow past the name limit.
std::string TemporaryNameBeside(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return FolderOf(path) + ".zr7-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::pwrite(fd, bytes.data() + written, bytes.size() - written, static_cast<off_t>(written));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    written += static_cast<std::size_t>(n);
  }
  return 0;
}

enum class TReplaceResult { Done, Failed, NotHere };

// The new content in a temporary file that then takes the target's name.
// NotHere when the folder lets no such file be made, or the replaced file's
// owner or group could not be kept, or its name cannot be taken over: then
// nothing has changed and the caller may write in place.
TReplaceResult ReplaceByRename(const std::string& target, const struct stat* old, std::span<const std::uint8_t> bytes,
                               int& error) {
  const std::string temporary = TemporaryNameBeside(target);
  // A new file gets the usual mode; a replacement first only its owner's.
  FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, old ? 0600 : 0666));
  if (file.get() < 0) {
    error = errno;
    return TReplaceResult::NotHere;
  }
  const auto giveUp = [&](TReplaceResult result, int code) {
    ::unlink(temporary.c_str());
    error = code;
    return result;
  };
  if (old) {
    // Owner and group first: changing them clears the set-id bits.
    const bool kept = (old->st_uid == ::geteuid() || ::fchown(file.get(), old->st_uid, static_cast<gid_t>(-1)) == 0) &&
                      ::fchown(file.get(), static_cast<uid_t>(-1), old->st_gid) == 0;
    if (!kept) return giveUp(TReplaceResult::NotHere, EPERM);
    if (::fchmod(file.get(), old->st_mode & 07777) != 0) return giveUp(TReplaceResult::NotHere, errno);
  }
  if (const int code = WriteAll(file.get(), bytes); code != 0) return giveUp(TReplaceResult::Failed, code);
  if (::fsync(file.get()) != 0) return giveUp(TReplaceResult::Failed, errno);
  if (file.Close() != 0) return giveUp(TReplaceResult::Failed, errno);
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    // A sticky folder keeps others' files from being replaced.
    const int code = errno;
    return giveUp(code == EPERM || code == EACCES || code == EBUSY ? TReplaceResult::NotHere : TReplaceResult::Failed,
                  code);
  }
  // The rename itself becomes durable with the folder; a failure here loses
  // nothing that was not already written.
  const std::string folder = FolderOf(target);
  FileDescriptor directory(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());
  return TReplaceResult::Done;
}

// Writes over the file itself. Its new length is reserved before the first
// byte is written, so a full disk or a size limit stops the write while the
// old content is still whole.
int WriteInPlace(const std::string& target, bool regular, std::span<const std::uint8_t> bytes) {
  FileDescriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
  if (file.get() < 0) return errno;
  if (!regular) {
    // A device or pipe (a terminal, /dev/stdout) takes the bytes as a stream.
    std::size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = ::write(file.get(), bytes.data() + written, bytes.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return errno;
      if (n == 0) return ENOSPC;
      written += static_cast<std::size_t>(n);
    }
    return file.Close() == 0 ? 0 : errno;
  }
  if (!bytes.empty()) {
    if (const int code = ::posix_fallocate(file.get(), 0, static_cast<off_t>(bytes.size())); code != 0) return code;
  }
  if (const int code = WriteAll(file.get(), bytes); code != 0) return code;
  if (::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0) return errno;
  if (::fsync(file.get()) != 0) return errno;
  return file.Close() == 0 ? 0 : errno;
}

} // namespace

int ReadFilePieces(const std::string& path, std::size_t pieceSize,
                   const std::function<bool(std::span<const std::uint8_t>)>& consume) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return errno;
  std::vector<std::uint8_t> piece(pieceSize);
  while (true) {
    const ssize_t n = ::read(file.get(), piece.data(), piece.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0 || !consume({piece.data(), static_cast<std::size_t>(n)})) break;
  }
  return file.Close() == 0 ? 0 : errno;
}

int ReplaceFileContent(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::string target;
  if (const int error = ResolveLinks(path, target); error != 0) return error;
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return errno;
  // A write-protected file stays protected, as it would for a direct write.
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return errno;
  if (exists && !S_ISREG(old.st_mode)) {
    if (S_ISDIR(old.st_mode)) return EISDIR;
    return WriteInPlace(target, false, bytes);
  }
  int error = 0;
  switch (ReplaceByRename(target, exists ? &old : nullptr, bytes, error)) {
    case TReplaceResult::Done:
      return 0;
    case TReplaceResult::Failed:
      return error;
    case TReplaceResult::NotHere:
      return exists ? WriteInPlace(target, true, bytes) : error;
  }
  return error;
}

} // namespace zr7
