#include "platform/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>
#include <windows.h>

// Files on Windows: binary through the system's own calls (no text-mode
// translation of CR LF or end at 0x1A), paths in UTF-8 opened as wide names,
// and errors given as the errno values whose runtime texts the program shows.
namespace zr7 {
namespace {

int ErrnoFromWin32(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
      return EINVAL;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}

int LastError() { return ErrnoFromWin32(GetLastError()); }

std::wstring WidePath(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

class FileHandle {
public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  // Closes now and reports the close's own failure (0 when it succeeded).
  int Close() {
    const BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed ? 0 : LastError();
  }

private:
  HANDLE handle_;
};

// A short name in the same folder, so the final replace stays within one
// volume and a long file name does not grow past the name limit.
std::wstring TemporaryNameBeside(const std::wstring& path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
  return folder + L".zr7-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
}

int WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
    DWORD n = 0;
    if (!WriteFile(file, bytes.data() + written, chunk, &n, nullptr)) return LastError();
    if (n == 0) return ENOSPC;
    written += n;
  }
  return 0;
}

// What a path names once symbolic links are followed: the final file's full
// name, or nothing there yet, or a device (a console, NUL) that takes bytes
// as a stream.
struct TTarget {
  std::wstring path;
  bool exists = false;
  bool device = false;
};

int FindTarget(const std::wstring& path, TTarget& target) {
  target = {path, false, false};
  // No access asked for, so no other program's sharing mode refuses this.
  FileHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? 0 : ErrnoFromWin32(error);
  }
  target.exists = true;
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    target.device = true;
    return 0;
  }
  // The answer's length counts the closing null only when the room was short.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(file.get(), name.data(), static_cast<DWORD>(name.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return LastError();
    const bool fits = length < name.size();
    name.resize(length);
    if (fits) break;
  }
  target.path = std::move(name);
  return 0;
}

// Writes over the file itself, shared with programs that hold it open for
// reading and writing. A file that grows gets its new length before the
// first byte is written, so a full disk stops the write while the old
// content is still whole.
int WriteInPlace(const TTarget& target, std::span<const std::uint8_t> bytes) {
  FileHandle file(CreateFileW(target.path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return LastError();
  if (target.device) {
    if (const int error = WriteAll(file.get(), bytes); error != 0) return error;
    return file.Close();
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return LastError();
  const auto length = static_cast<LONGLONG>(bytes.size());
  LARGE_INTEGER end{};
  end.QuadPart = length;
  if (length > size.QuadPart) {
    if (!SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get())) return LastError();
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return LastError();
  }
  if (const int error = WriteAll(file.get(), bytes); error != 0) return error;
  if (!SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get())) return LastError();
  if (!FlushFileBuffers(file.get())) return LastError();
  return file.Close();
}

// The attributes a saved file keeps; the others describe how it is stored.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The folder or the file refuses a new file in the old one's place; the
// file itself may still be written.
bool RefusedHere(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

} // namespace

int ReadFilePieces(const std::string& path, std::size_t pieceSize,
                   const std::function<bool(std::span<const std::uint8_t>)>& consume) {
  FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return LastError();
  std::vector<std::uint8_t> piece(pieceSize);
  while (true) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(piece.size(), 1u << 30));
    DWORD n = 0;
    if (!ReadFile(file.get(), piece.data(), chunk, &n, nullptr)) return LastError();
    if (n == 0 || !consume({piece.data(), n})) break;
  }
  return file.Close();
}

int ReplaceFileContent(const std::string& path, std::span<const std::uint8_t> bytes) {
  TTarget target;
  if (const int error = FindTarget(WidePath(path), target); error != 0) return error;
  if (target.device) return WriteInPlace(target, bytes);
  DWORD attributes = 0;
  if (target.exists) {
    attributes = GetFileAttributesW(target.path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
    // A write-protected file stays protected, as it would for a direct write.
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return EACCES;
  }
  const std::wstring temporary = TemporaryNameBeside(target.path);
  FileHandle file(
      CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    const DWORD error = GetLastError();
    return target.exists && RefusedHere(error) ? WriteInPlace(target, bytes) : ErrnoFromWin32(error);
  }
  auto fail = [&](int error) {
    DeleteFileW(temporary.c_str());
    return error;
  };
  if (const int error = WriteAll(file.get(), bytes); error != 0) {
    file.Close();
    return fail(error);
  }
  if (!FlushFileBuffers(file.get())) {
    const int error = LastError();
    file.Close();
    return fail(error);
  }
  if (const int error = file.Close(); error != 0) return fail(error);
  if (!target.exists)
    return MoveFileExW(temporary.c_str(), target.path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : fail(LastError());
  // ReplaceFileW is asked to keep the old file's attributes too, but not
  // every implementation does (Wine's does not).
  const DWORD kept = attributes & kKeptAttributes;
  if (!SetFileAttributesW(temporary.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL)) return fail(LastError());
  // ReplaceFileW keeps the old file's security too.
  if (ReplaceFileW(target.path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
    return 0;
  const DWORD error = GetLastError();
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
    // The old file is gone already; the new content is kept under the
    // temporary name rather than lost when it cannot take the name either.
    return MoveFileExW(temporary.c_str(), target.path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : LastError();
  }
  DeleteFileW(temporary.c_str());
  return RefusedHere(error) ? WriteInPlace(target, bytes) : ErrnoFromWin32(error);
}

} // namespace zr7
