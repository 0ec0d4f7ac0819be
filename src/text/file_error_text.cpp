#include "file_error_text.h"

#include <cerrno>

namespace zr7 {

std::string FileErrorText(int errnoValue) {
  switch (errnoValue) {
    case ENOENT:
      return "File not found";
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
      return "Invalid filename";
    case EMFILE:
    case ENFILE:
      return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return "File access denied";
#ifdef EDQUOT
    case EDQUOT:
#endif
    case ENOSPC:
      return "Disk full";
    default:
      return "I/O error " + std::to_string(errnoValue);
  }
}

std::string WithFullStop(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

} // namespace zr7
