#include "text/cp1250.h"
#include "text/file_error_text.h"
#include "text/number_format.h"
#include "text/short_string.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <limits>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace zr7 {
namespace {

// The system's own Windows-1250 converter, as an independent reference;
// empty for a byte the code page leaves unassigned.
#ifdef _WIN32
std::string SystemCp1250ToUtf8(unsigned char byte) {
  const char in[1] = {static_cast<char>(byte)};
  wchar_t wide[4] = {};
  const int units = MultiByteToWideChar(1250, MB_ERR_INVALID_CHARS, in, 1, wide, 4);
  // Windows passes unassigned bytes through as C1 control characters.
  if (units != 1 || (wide[0] >= 0x80 && wide[0] <= 0x9F)) return {};
  char out[8] = {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, units, out, sizeof out, nullptr, nullptr);
  return std::string(out, length > 0 ? length : 0);
}
#else
std::string SystemCp1250ToUtf8(unsigned char byte) {
  iconv_t cd = iconv_open("UTF-8", "CP1250");
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inPtr = in;
  char* outPtr = out;
  size_t inLeft = 1;
  size_t outLeft = sizeof out;
  const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  return result == static_cast<size_t>(-1) ? std::string() : std::string(out, outPtr);
}
#endif

TEST(Cp1250, UpperHalfMatchesSystemConverter) {
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const std::string expected = SystemCp1250ToUtf8(static_cast<unsigned char>(byte));
    if (expected.empty()) continue; // unassigned in the code page
    const std::string single(1, static_cast<char>(byte));
    EXPECT_EQ(Cp1250ToUtf8(single), expected) << "byte " << byte;
    EXPECT_EQ(Utf8ToCp1250(expected), single) << "byte " << byte;
  }
}

TEST(Cp1250, PolishLettersAndUnmappableCharacters) {
  const std::string polish = "Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ";
  const std::string bytes = Utf8ToCp1250(polish);
  EXPECT_EQ(bytes.size(), 27u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[2]), 0xBF); // ż
  EXPECT_EQ(Cp1250ToUtf8(bytes), polish);
  EXPECT_EQ(Utf8ToCp1250("π ≈ 3"), "? ? 3");
  EXPECT_EQ(Utf8ToCp1250("\xC5"), "?"); // cut-off sequence
  EXPECT_EQ(Cp1250ToUtf8(Utf8ToCp1250(Cp1250ToUtf8("\x81"))), Cp1250ToUtf8("\x81"));
}

TEST(Cp1250, MalformedUtf8BecomesOneQuestionMarkPerSequence) {
  const std::pair<std::string, std::string> cases[] = {
      {"x\xC1\x81y", "x?y"},             // overlong "A"
      {std::string("\xC0\x80", 2), "?"}, // overlong NUL
      {"\xE0\x80\xAF", "?"},             // overlong "/"
      {"\xE0\x82\x80", "?"},             // overlong U+0080
      {"\xF0\x80\x80\xB3", "?"},         // overlong "3"
      {"\xED\xA0\x80", "?"},             // a surrogate
      {"\xF4\x90\x80\x80", "?"},         // past U+10FFFF
      {"\xC2\x81", "\x81"},              // a two-byte character the code page keeps
      {"\xC5\x81\xC2\xA0", "\xA3\xA0"},  // Ł and the no-break space
  };
  for (const auto& [utf8, cp1250] : cases) EXPECT_EQ(Utf8ToCp1250(utf8), cp1250) << utf8;
}

TEST(ShortString, CutsAt255AndKeepsBytesBeyondTheText) {
  TShortString text;
  text.Assign(std::string(300, 'x'));
  EXPECT_EQ(text.Length(), 255u);
  EXPECT_EQ(text.Text(), std::string(255, 'x'));
  text.Assign("ab");
  EXPECT_EQ(text.Text(), "ab");
  EXPECT_EQ(text.bytes[3], 'x'); // a shorter text leaves the old bytes behind it
  text.AssignUtf8("Bląd");
  EXPECT_EQ(text.Length(), 4u);
  EXPECT_EQ(text.Utf8(), "Bląd");
}

struct FixedCase {
  double value;
  int decimals;
  const char* expected;
};

TEST(FormatFixed, RoundsHalfAwayFromZeroOnTheDecimalForm) {
  const FixedCase cases[] = {
      {0.0, 1, "0,0"},
      {9.96, 1, "10,0"},
      {2.25, 1, "2,3"},
      {0.15, 1, "0,2"},
      {-2.25, 1, "-2,3"},
      {-0.04, 1, "0,0"},
      {57.0, 0, "57"},
      {56.5, 0, "57"},
      {0.4999, 0, "0"},
      {123.45, 1, "123,5"},
      {1e-20, 1, "0,0"},
      {255.0, 0, "255"},
      {1234567.891, 1, "1234567,9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals, ","), c.expected) << c.value;
  }
  EXPECT_EQ(FormatFixed(4.639, 1, "\u066B"), "4\u066B6") << "a separator of more than one byte";
}

TEST(FormatGeneral, ShortestFormWithFourDigits) {
  const std::pair<double, const char*> cases[] = {
      {-0.5, "-0.5"},          {1.25, "1.25"}, {123.45, "123.5"},     {0.0, "0"}, {2.0, "2"}, {9.9996, "10"},
      {0.0012345, "0.001235"}, {-12.0, "-12"}, {12345.0, "1.235E+4"},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(FormatGeneral(value, 4, "."), expected) << value;
  EXPECT_EQ(FormatGeneral(-0.5, 4, ","), "-0,5");
}

// The process's C locale set to Polish, as Qt does on a Polish desktop; the
// locale must be installed (scripts/install-deps.sh generates it).
#ifdef _WIN32
constexpr const char* kPolishLocale = "Polish_Poland.1250";
#else
constexpr const char* kPolishLocale = "pl_PL.UTF-8";
#endif

class PolishProcessLocale : public ::testing::Test {
protected:
  void SetUp() override {
    previous_ = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, kPolishLocale), nullptr) << kPolishLocale << " is not installed";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  }
  void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

private:
  std::string previous_;
};

struct SpecialCase {
  double value;
  const char* fixed1;
  const char* fixed0;
  const char* general4;
};

TEST_F(PolishProcessLocale, DigitsDoNotFollowTheCLocale) {
  const std::string huge = "1" + std::string(308, '0');
  const SpecialCase cases[] = {
      {0.0, "0,0", "0", "0"},
      {0.05, "0,1", "0", "0,05"},
      {0.15, "0,2", "0", "0,15"},
      {4.95, "5,0", "5", "4,95"},
      {9.95, "10,0", "10", "9,95"},
      {33.0, "33,0", "33", "33"},
      {66.0, "66,0", "66", "66"},
      {-0.5, "-0,5", "-1", "-0,5"},
      {5e-324, "0,0", "0", "4,941E-324"},
      {1e308, nullptr, nullptr, "1E+308"},
      {std::numeric_limits<double>::infinity(), "INF", "INF", "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF", "-INF", "-INF"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN", "NAN", "NAN"},
      {-std::numeric_limits<double>::quiet_NaN(), "NAN", "NAN", "NAN"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, 1, ","), c.fixed1 ? c.fixed1 : huge + ",0") << c.value;
    EXPECT_EQ(FormatFixed(c.value, 0, ","), c.fixed0 ? c.fixed0 : huge) << c.value;
    EXPECT_EQ(FormatGeneral(c.value, 4, ","), c.general4) << c.value;
  }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(44.5), 44);
  EXPECT_EQ(RoundHalfEven(45.5), 46);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(44.98), 45);
}

TEST(ParseRuntimeInteger, AcceptsWhatTheRuntimeAccepts) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"7", 7},
      {" 7", 7},
      {"+7", 7},
      {"-3", -3},
      {"012", 12},
      {"$1F", 31},
      {"0x1f", 31},
      {"0X10", 16},
      {"x10", 16},
      {"-$10", -16},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"7 ", std::nullopt},
      {"COM7", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"-", std::nullopt},
      {"0x", std::nullopt},
      {"1.5", std::nullopt},
      {"2147483648", std::nullopt},
      {"99999999999", std::nullopt},
      {"\t7", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ParseRuntimeInteger(text), expected) << '"' << text << '"';
}

TEST(FileErrors, RuntimeTextsAndFullStop) {
  EXPECT_EQ(FileErrorText(ENOENT), "File not found");
  EXPECT_EQ(FileErrorText(ENOTDIR), "Invalid filename");
  EXPECT_EQ(FileErrorText(EMFILE), "Too many open files");
  EXPECT_EQ(FileErrorText(EACCES), "File access denied");
  EXPECT_EQ(FileErrorText(ENOSPC), "Disk full");
  EXPECT_EQ(FileErrorText(EIO), "I/O error 5");
  EXPECT_EQ(WithFullStop("File not found"), "File not found.");
  EXPECT_EQ(WithFullStop("Done."), "Done.");
  EXPECT_EQ(WithFullStop("Really!"), "Really!"); // '!' sorts before '.'
  EXPECT_EQ(WithFullStop("I/O error 5"), "I/O error 5.");
  EXPECT_EQ(WithFullStop(""), "");
}

} // namespace
} // namespace zr7
