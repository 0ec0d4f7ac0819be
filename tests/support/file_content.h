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

// The number of lines of a text file, as the simulator's request log counts
// its requests; 0 when it cannot be read.
inline int LineCount(const std::filesystem::path& path) {
  std::ifstream in(path);
  int lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

} // namespace zr7
