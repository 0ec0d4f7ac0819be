#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace zr7::fuzz {

// A private folder for the files a fuzz target writes and reads back, made
// under the system's temporary folder and removed when the run ends.
inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "zr7-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    std::atexit([] { std::filesystem::remove_all(ScratchFolder()); });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

// Writes the bytes to a new file of that name in the scratch folder and
// returns its path. Neither the program's own writer nor rewriting a file in
// place: both wait for the disk (a sync, or the file system's flush of a
// truncated file on close), which slows a run to a few inputs a second.
inline std::string WriteScratchFile(const char* name, const std::uint8_t* data, std::size_t size) {
  const std::string path = (ScratchFolder() / name).string();
  std::remove(path.c_str());
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
  return path;
}

} // namespace zr7::fuzz
