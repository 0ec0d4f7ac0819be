#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zr7 {

// Results carry the errno of the failing step (0 on success), which
// FileErrorText turns into the runtime's message.

// Reads at most `limit` bytes from the start of the file.
int ReadFileStart(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes);

// Replaces the file's content as a whole: the bytes go to a new file beside
// it, which then takes the old one's name, so a failure at any step leaves
// the previous file whole. A short write reports ENOSPC.
int ReplaceFileContent(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace zr7
