#pragma once

#include <string>

namespace zr7 {

// A PDF read back with poppler-utils, as an examiner's tools would. Each
// fails the running test when the tool is missing or refuses the file.

// The text as `pdftotext -layout` places it on the page.
std::string PdfLayoutText(const std::string& pdf);
// What `pdfinfo` tells of the file: page count, page size, ...
std::string PdfInfo(const std::string& pdf);

} // namespace zr7
