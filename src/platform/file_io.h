#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zr7 {

// Files as the program reads and writes them. Results carry the errno of the
// failing step (0 on success), which FileErrorText turns into the runtime's
// message.

// Reads the file from its start in pieces of at most pieceSize bytes, handing
// each to `consume` until the file ends or `consume` answers false. Only one
// piece is held at a time, so a file of any length can be read.
int ReadFilePieces(const std::string& path, std::size_t pieceSize,
                   const std::function<bool(std::span<const std::uint8_t>)>& consume);

// Reads at most `limit` bytes from the start of the file.
int ReadFileStart(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes);

// Replaces the file's content as a whole. A symbolic link is written through
// to the file it names and stays a link. The bytes go to a new file beside
// that file, which then takes its name with the old file's permission bits,
// owner and group, so a failure at any step leaves the previous file whole.
// Where that cannot be done (the folder lets no file be made, or the old
// file's owner or group could not be kept) but the file itself may be
// written, it is written in place, its room reserved first so that a full
// disk is found before any old byte is overwritten. A short write reports
// ENOSPC. On Windows the new file keeps the old one's attributes and
// security instead, and the file is written in place also where another
// program holds it open, letting it be written but not replaced; a
// read-only file is refused (EACCES).
int ReplaceFileContent(const std::string& path, std::span<const std::uint8_t> bytes);

// The program keeps every path as UTF-8 text, as file_io takes it. A
// std::filesystem path made from narrow text, or turned back into it, uses
// the system's code page on Windows instead, so a folder named "Łódź" would
// become another folder: paths cross between the two through these.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8OfPath(const std::filesystem::path& path);

} // namespace zr7
