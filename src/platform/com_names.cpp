#include "platform/com_names.h"

#include <charconv>

namespace zr7 {

unsigned ComNumber(std::string_view name) {
  if (name.size() < 4 || name.size() > 6) return 0;
  for (std::size_t i = 0; i < 3; ++i)
    if ((name[i] & ~0x20) != "COM"[i]) return 0;
  std::string_view digits = name.substr(3);
  if (digits.front() == '0') return 0;
  unsigned number = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size()) return 0;
  return number;
}

#ifdef _WIN32

std::filesystem::path ComDevicePath(std::string_view name, const std::filesystem::path&, const std::filesystem::path&) {
  if (name.starts_with(kWin32DevicePrefix)) return std::filesystem::path(name);
  const unsigned number = ComNumber(name);
  if (number == 0) return {};
  return std::string(kWin32DevicePrefix) + "COM" + std::to_string(number);
}

#else

std::filesystem::path ComDevicePath(std::string_view name, const std::filesystem::path& portsFolder,
                                    const std::filesystem::path& devFolder) {
  if (name.starts_with('/')) return std::filesystem::path(name);
  const unsigned number = ComNumber(name);
  if (number == 0) return {};
  if (!portsFolder.empty()) {
    std::error_code error;
    std::filesystem::path link = portsFolder / ("COM" + std::to_string(number));
    if (std::filesystem::exists(std::filesystem::symlink_status(link, error))) return link;
  }
  return devFolder / ("ttyUSB" + std::to_string(number - 1));
}

#endif

} // namespace zr7
