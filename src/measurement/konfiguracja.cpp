#include "konfiguracja.h"

#include "platform/file_io.h"
#include "text/cp1250.h"
#include "text/number_format.h"
#include "text/short_string.h"

#include <span>

namespace zr7 {
namespace {

constexpr std::size_t kLineLimit = TShortString::kCapacity;
constexpr std::size_t kReadPiece = 64 * 1024;
constexpr int kLinesRead = 4;
constexpr int kHighestRestoredPort = 12;

// Takes the file's bytes piece by piece and keeps of each of the four lines
// only what the program uses, so a line of any length costs no memory.
class TKonfiguracjaLines {
public:
  // Answers whether more bytes are wanted.
  bool Feed(std::string_view bytes) {
    std::size_t pos = 0;
    while (line_ < kLinesRead && pos < bytes.size()) {
      std::string& line = lines_[line_];
      if (line.size() == kLineLimit) {
        // The rest of a full line is skipped up to its line feed.
        pos = bytes.find('\n', pos);
        if (pos == std::string_view::npos) break;
      }
      const char c = bytes[pos++];
      if (c == '\n') {
        ++line_;
      } else if (c != '\r') {
        line += c;
      }
    }
    return line_ < kLinesRead;
  }

  TKonfiguracja Result() const {
    TKonfiguracja result{lines_[0], lines_[1], lines_[2], std::nullopt};
    const std::optional<std::int32_t> port = ParseRuntimeInteger(lines_[3]);
    if (port && *port >= 1 && *port <= kHighestRestoredPort) result.port = *port;
    return result;
  }

private:
  std::string lines_[kLinesRead];
  int line_ = 0;
};

} // namespace

TStationData WithKonfiguracja(TStationData station, const TKonfiguracja& konfiguracja) {
  station.SKP = Cp1250ToUtf8(konfiguracja.skp);
  station.Adres = Cp1250ToUtf8(konfiguracja.adres);
  station.Uwagi = Cp1250ToUtf8(konfiguracja.uwagi);
  return station;
}

TKonfiguracja ParseKonfiguracja(std::string_view content) {
  TKonfiguracjaLines lines;
  lines.Feed(content);
  return lines.Result();
}

std::string FormatKonfiguracja(std::string_view skp, std::string_view adres, std::string_view uwagi, int port) {
  std::string content;
  for (std::string_view line : {skp, adres, uwagi}) (content += line) += "\r\n";
  return content + std::to_string(port) + "\r\n";
}

int ReadKonfiguracja(const std::string& path, TKonfiguracja& konfiguracja) {
  TKonfiguracjaLines lines;
  const int error = ReadFilePieces(path, kReadPiece, [&](std::span<const std::uint8_t> piece) {
    return lines.Feed({reinterpret_cast<const char*>(piece.data()), piece.size()});
  });
  if (error == 0) konfiguracja = lines.Result();
  return error;
}

int WriteKonfiguracja(const std::string& path, std::string_view content) {
  return ReplaceFileContent(path, std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
}

} // namespace zr7
