#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace zr7 {

// A file's bytes, as they are on disk; empty when it cannot be read.
inline std::string FileContent(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace zr7
