#include "../support/file_size_limit.h"
#include "measurement/file_io.h"
#include "text/file_error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

class FileIo : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zr7-file-io-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  static std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST_F(FileIo, ReplacesContentAndReadsBackItsStart) {
  const std::string path = Path("a.zr");
  ASSERT_EQ(ReplaceFileContent(path, Bytes("first version, long")), 0);
  ASSERT_EQ(ReplaceFileContent(path, Bytes("second")), 0);
  EXPECT_EQ(Content(path), "second");
  std::vector<std::uint8_t> bytes;
  ASSERT_EQ(ReadFileStart(path, 3, bytes), 0);
  EXPECT_EQ(bytes, Bytes("sec"));
  ASSERT_EQ(ReadFileStart(path, 100, bytes), 0);
  EXPECT_EQ(bytes, Bytes("second"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1) << "no temporary file left";
}

TEST_F(FileIo, FailedWriteLeavesThePreviousFileWhole) {
  const std::string path = Path(std::string(240, 'n').c_str());
  ASSERT_EQ(ReplaceFileContent(path, Bytes("old record")), 0) << "a long name still saves";
  int error = 0;
  {
    const TFileSizeLimit limit(4);
    error = ReplaceFileContent(path, Bytes("a much longer new record"));
  }
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(Content(path), "old record");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1) << "no temporary file left";
}

TEST_F(FileIo, MissingFolderIsReported) {
  EXPECT_EQ(FileErrorText(ReplaceFileContent(Path("no-such-folder/a.zr"), Bytes("x"))), "File not found");
}

TEST_F(FileIo, ReadErrorsCarryTheSystemError) {
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(FileErrorText(ReadFileStart(Path("missing.zr"), 10, bytes)), "File not found");
  EXPECT_EQ(FileErrorText(ReadFileStart(dir_.string(), 10, bytes)), "File access denied") << "a folder, as on the original platform";
}

TEST_F(FileIo, WriteProtectedFileIsNotReplaced) {
  const std::string path = Path("ro.zr");
  ASSERT_EQ(ReplaceFileContent(path, Bytes("old")), 0);
  ::chmod(path.c_str(), 0444);
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  EXPECT_EQ(FileErrorText(ReplaceFileContent(path, Bytes("new"))), "File access denied");
  EXPECT_EQ(Content(path), "old");
}

} // namespace
} // namespace zr7
