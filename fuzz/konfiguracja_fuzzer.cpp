// konfiguracja.txt as any editor or disk fault may leave it. Only its
// content: reading the file itself is the measurement files' reader, fuzzed
// there, and costs a 1 MB buffer per input here.
#include "fuzz_check.h"
#include "measurement/konfiguracja.h"
#include "text/number_format.h"

#include <cstdint>
#include <string>

namespace {

using zr7::TKonfiguracja;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool Same(const TKonfiguracja& a, const TKonfiguracja& b) {
  return a.skp == b.skp && a.adres == b.adres && a.uwagi == b.uwagi && a.port == b.port;
}

// Line `index` of the content as the program keeps it: up to its line
// feed, carriage returns dropped, at most 255 characters.
std::string ExpectedLine(std::string_view content, int index) {
  std::size_t start = 0;
  for (int i = 0; i < index && start <= content.size(); ++i) {
    start = content.find('\n', start);
    start = start == std::string_view::npos ? content.size() + 1 : start + 1;
  }
  if (start > content.size()) return "";
  const std::size_t end = std::min(content.find('\n', start), content.size());
  std::string line;
  for (const char c : content.substr(start, end - start)) {
    if (c != '\r' && line.size() < 255) line += c;
  }
  return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const TKonfiguracja parsed = zr7::ParseKonfiguracja(content);

  ZR7_FUZZ_CHECK(parsed.skp == ExpectedLine(content, 0), Quoted(content));
  ZR7_FUZZ_CHECK(parsed.adres == ExpectedLine(content, 1), Quoted(content));
  ZR7_FUZZ_CHECK(parsed.uwagi == ExpectedLine(content, 2), Quoted(content));
  // The port line is read whole by the integer conversion; only COM1 to
  // COM12 are restored.
  const auto port = zr7::ParseRuntimeInteger(ExpectedLine(content, 3));
  ZR7_FUZZ_CHECK(parsed.port == (port && *port >= 1 && *port <= 12 ? port : std::nullopt), Quoted(content));

  // What the program writes back from it reads as the same settings.
  const std::string written = zr7::FormatKonfiguracja(parsed.skp, parsed.adres, parsed.uwagi, parsed.port.value_or(0));
  ZR7_FUZZ_CHECK(Same(zr7::ParseKonfiguracja(written), parsed), Quoted(content) + " written as " + Quoted(written));
  return 0;
}
