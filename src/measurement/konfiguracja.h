#pragma once

#include "station_data.h"

#include <optional>
#include <string>
#include <string_view>

namespace zr7 {

// konfiguracja.txt in the working directory: station name, address and
// remark, then the number of the chosen COM port, one per CR LF line in
// Windows-1250.
constexpr const char* kKonfiguracjaFileName = "konfiguracja.txt";

struct TKonfiguracja {
  // Windows-1250 texts.
  std::string skp;
  std::string adres;
  std::string uwagi;
  // 1 for COM1 ... 12 for COM12; the program restores no other port.
  std::optional<int> port;
};

// Reads the file's content: lines end at LF, a CR before it or alone is
// dropped, each line gives at most 255 characters, missing lines are empty.
TKonfiguracja ParseKonfiguracja(std::string_view content);

// The four lines as the file holds them; port 0 means none chosen.
std::string FormatKonfiguracja(std::string_view skp, std::string_view adres, std::string_view uwagi, int port);

// The station data with the file's name, address and remark in place of
// its own, as the window shows them at start.
TStationData WithKonfiguracja(TStationData station, const TKonfiguracja& konfiguracja);

// File operations; the result is the errno of the failing step, 0 on success.
int ReadKonfiguracja(const std::string& path, TKonfiguracja& konfiguracja);
int WriteKonfiguracja(const std::string& path, std::string_view content);

} // namespace zr7
