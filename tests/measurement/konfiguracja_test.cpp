#include "measurement/konfiguracja.h"
#include "temporary_directory.h"
#include "text/file_error_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/resource.h>

namespace zr7 {
namespace {

struct ReadCase {
  const char* name;
  std::string content;
  std::string skp;
  std::string uwagi;
  std::optional<int> port;
};

TEST(Konfiguracja, ReadingTheFourLines) {
  const std::string long300(300, 'N');
  const ReadCase cases[] = {
      {"complete", "SKP\r\nAdres\r\nUwagi\r\n12\r\n", "SKP", "Uwagi", 12},
      {"three lines", "SKP\r\nAdres\r\nUwagi\r\n", "SKP", "Uwagi", std::nullopt},
      {"empty file", "", "", "", std::nullopt},
      {"port 0", "a\r\nb\r\nc\r\n0\r\n", "a", "c", std::nullopt},
      {"port 1", "a\r\nb\r\nc\r\n1\r\n", "a", "c", 1},
      {"port 13", "a\r\nb\r\nc\r\n13\r\n", "a", "c", std::nullopt},
      {"negative port", "a\r\nb\r\nc\r\n-3\r\n", "a", "c", std::nullopt},
      {"leading blank", "a\r\nb\r\nc\r\n 7\r\n", "a", "c", 7},
      {"trailing blank", "a\r\nb\r\nc\r\n7 \r\n", "a", "c", std::nullopt},
      {"port name", "a\r\nb\r\nc\r\nCOM7\r\n", "a", "c", std::nullopt},
      {"hexadecimal", "a\r\nb\r\nc\r\n$A\r\n", "a", "c", 10},
      {"LF only", "a\nb\nc\n5", "a", "c", 5},
      {"lone CR dropped", "S\rK\rP\r\nb\r\nu\r\r\n3\r\n", "SKP", "u", 3},
      {"empty lines empty the fields", "\r\n\r\n\r\n2\r\n", "", "", 2},
      {"300 characters", long300 + "\r\nb\r\n" + long300 + "\r\n4\r\n", long300.substr(0, 255), long300.substr(0, 255),
       4},
  };
  for (const auto& c : cases) {
    const TKonfiguracja k = ParseKonfiguracja(c.content);
    EXPECT_EQ(k.skp, c.skp) << c.name;
    EXPECT_EQ(k.uwagi, c.uwagi) << c.name;
    EXPECT_EQ(k.port, c.port) << c.name;
  }
}

TEST(Konfiguracja, WritingGivesFourCrLfLinesAndTextsWhole) {
  const std::string long300(300, 'N');
  EXPECT_EQ(FormatKonfiguracja("SKP",
                               "ul. \xA3\xF3"
                               "dzka 1",
                               "", 0),
            "SKP\r\nul. \xA3\xF3"
            "dzka 1\r\n\r\n0\r\n");
  const std::string written = FormatKonfiguracja(long300, "a", "b", 32);
  EXPECT_EQ(written, long300 + "\r\na\r\nb\r\n32\r\n");
  EXPECT_EQ(ParseKonfiguracja(written).skp, long300.substr(0, 255));
  EXPECT_EQ(ParseKonfiguracja(written).port, std::nullopt) << "COM32 is written but not restored";
}

TEST(Konfiguracja, VeryLongFirstLineIsSkippedToItsEndWithoutBeingHeld) {
  const TWorkingDirectory directory;
  // "Stacja", then 256 MiB of the line as a hole in the file, then the
  // other three lines.
  constexpr off_t kLineLength = off_t{1} << 28;
  {
    std::ofstream file(kKonfiguracjaFileName, std::ios::binary);
    file << "Stacja";
    file.seekp(kLineLength);
    file << "\r\nAdres\r\nUwagi\r\n7\r\n";
  }
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  TKonfiguracja k;
  ASSERT_EQ(ReadKonfiguracja(kKonfiguracjaFileName, k), 0);
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  EXPECT_EQ(k.skp, "Stacja" + std::string(249, '\0'));
  EXPECT_EQ(k.adres, "Adres");
  EXPECT_EQ(k.uwagi, "Uwagi");
  EXPECT_EQ(k.port, 7);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes more at the peak";
}

TEST(Konfiguracja, MissingFileIsReported) {
  TKonfiguracja k;
  k.skp = "kept";
  EXPECT_EQ(FileErrorText(ReadKonfiguracja("/nonexistent-folder/konfiguracja.txt", k)), "File not found");
  EXPECT_EQ(k.skp, "kept");
}

} // namespace
} // namespace zr7
