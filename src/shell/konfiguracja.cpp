#include "konfiguracja.h"

#include "measurement/file_io.h"
#include "text/number_format.h"
#include "text/short_string.h"

#include <span>
#include <vector>

namespace zr7 {
namespace {

constexpr std::size_t kLineLimit = TShortString::kCapacity;
constexpr std::size_t kLargestFile = 1 << 20;
constexpr int kLinesRead = 4;
constexpr int kHighestRestoredPort = 12;

} // namespace

TKonfiguracja ParseKonfiguracja(std::string_view content) {
  std::string lines[kLinesRead];
  std::size_t pos = 0;
  for (std::string& line : lines) {
    while (pos < content.size() && content[pos] != '\n') {
      if (content[pos] != '\r' && line.size() < kLineLimit) line += content[pos];
      ++pos;
    }
    ++pos;  // the line feed
  }
  TKonfiguracja result{lines[0], lines[1], lines[2], std::nullopt};
  const std::optional<std::int32_t> port = ParseRuntimeInteger(lines[3]);
  if (port && *port >= 1 && *port <= kHighestRestoredPort) result.port = *port;
  return result;
}

std::string FormatKonfiguracja(std::string_view skp, std::string_view adres, std::string_view uwagi, int port) {
  std::string content;
  for (std::string_view line : {skp, adres, uwagi}) (content += line) += "\r\n";
  return content + std::to_string(port) + "\r\n";
}

int ReadKonfiguracja(const std::string& path, TKonfiguracja& konfiguracja) {
  std::vector<std::uint8_t> bytes;
  const int error = ReadFileStart(path, kLargestFile, bytes);
  if (error == 0) konfiguracja = ParseKonfiguracja({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  return error;
}

int WriteKonfiguracja(const std::string& path, std::string_view content) {
  return ReplaceFileContent(path, std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
}

} // namespace zr7
