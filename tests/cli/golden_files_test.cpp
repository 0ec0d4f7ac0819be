// zr7-cli's show, CSV export and printed report of the reference
// measurement files in tests/data, each compared whole with the output
// expected of it, so that any change in an output shows as a difference.

#include "cli/cli_commands.h"
#include "file_content.h"
#include "pdf_text.h"
#include "platform/system.h"
#include "run_command.h"
#include "unique_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

const fs::path kData = ZR7_TEST_DATA;
const std::set<std::string> kReferenceFiles = {"sim-bank-1", "polish-texts", "no-samples", "non-finite"};

class GoldenFiles : public ::testing::TestWithParam<std::string> {
protected:
  void SetUp() override {
    ASSERT_EQ(SystemDecimalSeparator(), ",") << "the expected outputs are those of the pl_PL.UTF-8 locale, "
                                                "which must be installed and set (LC_ALL)";
    scratch_ = MakeUniqueFolder("zr7-golden");
  }
  void TearDown() override { fs::remove_all(scratch_); }

  std::string Reference() const { return (kData / (GetParam() + ".zr")).string(); }
  std::string Scratch(const std::string& name) const { return (scratch_ / name).string(); }
  std::string Run(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli(args, out, err), 0) << err.str();
    return out.str();
  }

  // The output against its expected file, whole; a difference is shown as
  // `diff -u` shows it.
  ::testing::AssertionResult AsExpected(const std::string& output, const std::string& expectedName) const {
    const fs::path expected = kData / "expected" / expectedName;
    if (!fs::exists(expected)) return ::testing::AssertionFailure() << expected << " is missing";
    if (output == FileContent(expected)) return ::testing::AssertionSuccess();
    const std::string actual = Scratch(expectedName);
    std::ofstream(actual, std::ios::binary) << output;
    const TCommandOutput diff =
        RunCommand({"diff", "-u", "--label", "expected/" + expectedName, "--label", "now", expected.string(), actual});
    return ::testing::AssertionFailure()
           << expectedName << " differs from what zr7-cli gives now:\n"
           << diff.output
           << "If the change is intended, make the expected outputs anew with tests/data/regenerate.sh "
              "(tests/data/README.md) and commit them with it.";
  }

  fs::path scratch_;
};

TEST_P(GoldenFiles, Show) { EXPECT_TRUE(AsExpected(Run({"show", Reference()}), GetParam() + ".show.txt")); }

TEST_P(GoldenFiles, CsvExport) { EXPECT_TRUE(AsExpected(Run({"export", Reference(), "--csv"}), GetParam() + ".csv")); }

TEST_P(GoldenFiles, ReportText) {
  const std::string pdf = Scratch("report.pdf");
  Run({"report", Reference(), "--pdf", pdf});
  EXPECT_TRUE(AsExpected(PdfLayoutText(pdf), GetParam() + ".report.txt"));
}

INSTANTIATE_TEST_SUITE_P(ReferenceFiles, GoldenFiles, ::testing::ValuesIn(kReferenceFiles), [](const auto& info) {
  std::string name = info.param;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
});

// Every reference file in the folder is compared above, and the Polish
// one holds its texts in Windows-1250, as the window writes them.
TEST(GoldenFileFolder, HoldsTheComparedReferenceFiles) {
  std::set<std::string> found;
  for (const auto& entry : fs::directory_iterator(kData))
    if (entry.path().extension() == ".zr") found.insert(entry.path().stem().string());
  EXPECT_EQ(found, kReferenceFiles);
  EXPECT_NE(FileContent(kData / "polish-texts.zr")
                .find("\xA3\xF3"
                      "d\x9F"),
            std::string::npos)
      << "\"Łódź\" in Windows-1250";
}

} // namespace
} // namespace zr7
