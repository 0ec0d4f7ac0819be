#include "file_content.h"
#include "file_size_limit.h"
#include "unique_folder.h"
#include "unprivileged_child.h"
#include "platform/file_io.h"
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
    dir_ = MakeUniqueFolder("zr7-file-io");
    ::chmod(dir_.c_str(), 0755); // other users may look inside
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static void Write(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
  }
  static struct stat StatOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
  }
  std::size_t EntriesIn(const fs::path& folder) const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
  }
  fs::path dir_;
};

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST_F(FileIo, PiecesCoverTheFileInOrderAndStopWhenAsked) {
  const std::string path = Path("pieces.txt");
  Write(path, "abcdefghij");
  std::vector<std::string> pieces;
  ASSERT_EQ(ReadFilePieces(path, 4,
                           [&](std::span<const std::uint8_t> piece) {
                             pieces.emplace_back(piece.begin(), piece.end());
                             return true;
                           }),
            0);
  EXPECT_EQ(pieces, (std::vector<std::string>{"abcd", "efgh", "ij"}));
  pieces.clear();
  ASSERT_EQ(ReadFilePieces(path, 4,
                           [&](std::span<const std::uint8_t> piece) {
                             pieces.emplace_back(piece.begin(), piece.end());
                             return false;
                           }),
            0);
  EXPECT_EQ(pieces, (std::vector<std::string>{"abcd"}));
}

TEST_F(FileIo, FailedWriteLeavesThePreviousFileWhole) {
  const std::string path = Path(std::string(240, 'n'));
  ASSERT_EQ(ReplaceFileContent(path, Bytes("old record")), 0) << "a long name still saves";
  int error = 0;
  {
    const TFileSizeLimit limit(4);
    error = ReplaceFileContent(path, Bytes("a much longer new record"));
  }
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(FileContent(path), "old record");
  EXPECT_EQ(EntriesIn(dir_), 1u) << "no temporary file left";
}

TEST_F(FileIo, ReplacedFileKeepsItsPermissionBitsOwnerAndGroup) {
  const std::string path = Path("kept.zr");
  Write(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
  ASSERT_EQ(::chown(path.c_str(), 0, kNogroup), 0) << "the tests run as root";
  const ino_t before = StatOf(path).st_ino;
  ASSERT_EQ(ReplaceFileContent(path, Bytes("new")), 0);
  const struct stat after = StatOf(path);
  EXPECT_EQ(FileContent(path), "new");
  EXPECT_EQ(after.st_mode & 07777, 0604u);
  EXPECT_EQ(after.st_gid, kNogroup);
  EXPECT_NE(after.st_ino, before) << "replaced by a new file, not overwritten";
}

TEST_F(FileIo, SymbolicLinksAreWrittenThroughAndStay) {
  fs::create_directories(dir_ / "data");
  Write(Path("data/real.zr"), "old");
  const struct {
    const char* link;
    std::string to;
    const char* target;
  } cases[] = {
      {"absolute.zr", Path("data/real.zr"), "data/real.zr"},
      {"relative.zr", "data/real.zr", "data/real.zr"},
      {"chain.zr", "absolute.zr", "data/real.zr"},
      {"dangling.zr", "data/new.zr", "data/new.zr"},
  };
  for (const auto& c : cases) {
    fs::create_symlink(c.to, dir_ / c.link);
    const std::string content = std::string("through ") + c.link;
    ASSERT_EQ(ReplaceFileContent(Path(c.link), Bytes(content)), 0) << c.link;
    EXPECT_TRUE(fs::is_symlink(dir_ / c.link)) << c.link;
    EXPECT_EQ(fs::read_symlink(dir_ / c.link), c.to) << c.link;
    EXPECT_EQ(FileContent(Path(c.target)), content) << c.link;
  }
  EXPECT_EQ(EntriesIn(dir_ / "data"), 2u) << "no temporary file left";
  fs::create_symlink("loop.zr", dir_ / "loop.zr");
  EXPECT_EQ(ReplaceFileContent(Path("loop.zr"), Bytes("x")), ELOOP);
}

TEST_F(FileIo, DevicesAreWrittenNeverReplaced) {
  fs::create_symlink("/dev/full", dir_ / "full.pdf");
  EXPECT_EQ(FileErrorText(ReplaceFileContent(Path("full.pdf"), Bytes("report"))), "Disk full");
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
  EXPECT_EQ(ReplaceFileContent("/dev/null", Bytes("x")), 0);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// An ordinary user saving where the folder or the file's owner keeps a new
// file from taking the old one's place: the writable file is written in place
// and keeps its owner. Only a file of the user's own in a folder of the user's
// own is replaced by a new one.
TEST_F(FileIo, OrdinaryUserSavesWhereTheFileLives) {
  const struct {
    const char* name;
    mode_t folderMode;
    uid_t fileOwner;
    mode_t fileMode;
    bool replacedByNewFile;
  } cases[] = {
      {"folder without the right to make files", 0755, 0, 0666, false},
      {"shared folder that keeps others' files", 01777, 0, 0666, false},
      {"open folder, another user's file", 0777, 0, 0666, false},
      {"open folder, own file", 0777, kNobody, 0640, true},
  };
  for (const auto& c : cases) {
    const fs::path folder = dir_ / "f";
    fs::create_directory(folder);
    const std::string path = (folder / "konfiguracja.txt").string();
    Write(path, "old content, longer than the new");
    ASSERT_EQ(::chown(path.c_str(), c.fileOwner, c.fileOwner == 0 ? 0 : kNogroup), 0) << "the tests run as root";
    ASSERT_EQ(::chmod(path.c_str(), c.fileMode), 0);
    ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
    const struct stat before = StatOf(path);

    EXPECT_EQ(RunAsNobody([&] { return ReplaceFileContent(path, Bytes("new")); }), 0) << c.name;
    const struct stat after = StatOf(path);
    EXPECT_EQ(FileContent(path), "new") << c.name;
    EXPECT_EQ(after.st_mode & 07777, c.fileMode) << c.name;
    EXPECT_EQ(after.st_uid, c.fileOwner) << c.name;
    EXPECT_EQ(after.st_ino != before.st_ino, c.replacedByNewFile) << c.name;
    EXPECT_EQ(EntriesIn(folder), 1u) << c.name << ": no temporary file left";
    fs::remove_all(folder);
  }
}

TEST_F(FileIo, OrdinaryUserIsRefusedWhatTheSystemRefuses) {
  const std::string readOnly = Path("ro.zr");
  Write(readOnly, "old");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0644), 0);
  EXPECT_EQ(FileErrorText(RunAsNobody([&] { return ReplaceFileContent(readOnly, Bytes("new")); })),
            "File access denied");
  EXPECT_EQ(FileContent(readOnly), "old");
  EXPECT_EQ(FileErrorText(RunAsNobody([&] { return ReplaceFileContent(Path("new.zr"), Bytes("new")); })),
            "File access denied")
      << "no new file in a folder that allows none";
  EXPECT_FALSE(fs::exists(Path("new.zr")));
}

TEST_F(FileIo, FailedWriteInPlaceLeavesTheOldContentWhole) {
  const std::string path = Path("shared.zr");
  Write(path, "old record");
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  const int error = RunAsNobody([&] {
    const TFileSizeLimit limit(12);
    return ReplaceFileContent(path, Bytes("a much longer new record"));
  });
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(FileContent(path), "old record");
}

} // namespace
} // namespace zr7
