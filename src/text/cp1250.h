#pragma once

#include <string>
#include <string_view>

// Every text the program stores (measurement files, konfiguracja.txt) is in
// the Windows-1250 code page; the window works in UTF-8.
namespace zr7 {

// Bytes 0x81, 0x83, 0x88, 0x90 and 0x98 have no character in the code page;
// they decode to the C1 control of the same number so nothing is lost.
std::string Cp1250ToUtf8(std::string_view cp1250);

// Characters the code page cannot hold become '?'; malformed UTF-8 too.
std::string Utf8ToCp1250(std::string_view utf8);

} // namespace zr7
