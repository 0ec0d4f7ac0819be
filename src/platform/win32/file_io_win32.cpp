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
  return FlushFileBuffers(file) ? 0 : LastError();
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
  const std::wstring target = WidePath(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  // A write-protected file stays protected, as it would for a direct write.
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return EACCES;
  const std::wstring temporary = TemporaryNameBeside(target);
  FileHandle file(
      CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return LastError();
  auto fail = [&](int error) {
    DeleteFileW(temporary.c_str());
    return error;
  };
  if (const int error = WriteAll(file.get(), bytes); error != 0) {
    file.Close();
    return fail(error);
  }
  if (const int error = file.Close(); error != 0) return fail(error);
  // ReplaceFileW keeps the old file's attributes and security; a new file
  // is moved into place.
  const BOOL replaced =
      exists
          ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
          : MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!replaced) return fail(LastError());
  return 0;
}

} // namespace zr7
