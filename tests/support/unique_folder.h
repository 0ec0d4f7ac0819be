#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace zr7 {

// Creates a new empty folder in the system's temporary folder, named from
// prefix and a random part, so runs side by side (and ctest's parallel
// jobs) never share one. Throws when none can be made.
inline std::filesystem::path MakeUniqueFolder(const std::string& prefix) {
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder = base / (prefix + "-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(folder, error)) return folder;
    if (error) throw std::filesystem::filesystem_error("cannot create a test folder", folder, error);
  }
  throw std::filesystem::filesystem_error("no free test folder name", base,
                                          std::make_error_code(std::errc::file_exists));
}

} // namespace zr7
