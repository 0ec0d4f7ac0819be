#include "platform/system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace zr7 {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The codes the program gives itself for a gone device and for memory it
// could not have are the system's own: their texts say so, on one line.
TEST(SystemErrorText, NamesTheProgramsOwnCodes) {
  const struct {
    int code;
    const char* word;
  } cases[] = {{DeviceGoneError(), "device"}, {OutOfMemoryError(), "memory"}};
  for (const auto& c : cases) {
    const std::string text = SystemErrorText(c.code);
    EXPECT_NE(Lower(text).find(c.word), std::string::npos) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  }
}

} // namespace
} // namespace zr7
