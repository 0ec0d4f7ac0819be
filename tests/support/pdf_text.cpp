#include "pdf_text.h"

#include "run_command.h"

#include <gtest/gtest.h>

namespace zr7 {
namespace {

std::string ToolOutput(const std::vector<std::string>& arguments, const std::string& pdf) {
  const TCommandOutput result = RunCommand(arguments);
  EXPECT_EQ(result.exitCode, 0) << arguments.front() << " failed on " << pdf << " (is poppler-utils installed?)";
  return result.output;
}

} // namespace

std::string PdfLayoutText(const std::string& pdf) { return ToolOutput({"pdftotext", "-layout", pdf, "-"}, pdf); }

std::string PdfInfo(const std::string& pdf) { return ToolOutput({"pdfinfo", pdf}, pdf); }

} // namespace zr7
