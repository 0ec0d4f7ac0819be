#include "platform/file_io.h"

#include <algorithm>

namespace zr7 {

int ReadFileStart(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  return ReadFilePieces(path, std::max<std::size_t>(limit, 1), [&](std::span<const std::uint8_t> piece) {
    const std::size_t take = std::min(piece.size(), limit - bytes.size());
    bytes.insert(bytes.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(take));
    return bytes.size() < limit;
  });
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8OfPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

} // namespace zr7
