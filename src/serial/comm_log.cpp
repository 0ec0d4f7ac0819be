#include "serial/comm_log.h"

#include "platform/system.h"

#include <cstdio>
#include <mutex>

namespace zr7::comm_log {

namespace {

struct Sink {
  std::mutex mutex;
  std::string path;
  std::FILE* file = nullptr;
};

Sink& TheSink() {
  static Sink sink;
  return sink;
}

void LogErrorText(const std::string& text, std::string_view prefix) {
  std::string line(prefix);
  if (text.empty())
    line += "Out of memory";
  else
    line += "GetLastError returned: \"" + text + "\"";
  LogLine(line);
}

} // namespace

void SetPath(std::string path) {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  sink.path = std::move(path);
}

void Open() {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  if (sink.path.empty()) return;
  if (sink.file) std::fclose(sink.file);
  sink.file = std::fopen(sink.path.c_str(), "wb");
}

void Close() {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  if (sink.file) std::fclose(sink.file);
  sink.file = nullptr;
}

void LogLine(std::string_view text) {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  if (sink.path.empty() || !sink.file) return;
  std::fwrite(text.data(), 1, text.size(), sink.file);
  std::fwrite("\r\n", 1, 2, sink.file);
  std::fflush(sink.file);
}

void LogError(int code, std::string_view prefix) { LogErrorText(SystemErrorText(code), prefix); }

void LogError(const std::error_code& code, std::string_view prefix) {
  LogErrorText(code.category() == std::system_category() ? SystemErrorText(code.value()) : code.message(), prefix);
}

} // namespace zr7::comm_log
