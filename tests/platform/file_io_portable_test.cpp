#include "file_content.h"
#include "platform/file_io.h"
#include "text/file_error_text.h"
#include "unique_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zr7 {
namespace {

namespace fs = std::filesystem;

class FileIo : public ::testing::Test {
protected:
  void SetUp() override { dir_ = MakeUniqueFolder("zr7-file-io"); }
  void TearDown() override {
    // Write protection is lifted first: Windows deletes no read-only file.
    fs::permissions(dir_, fs::perms::owner_all);
    for (const auto& entry : fs::directory_iterator(dir_))
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST_F(FileIo, ReplacesContentAndReadsBackItsStart) {
  const std::string path = Path("a.zr");
  ASSERT_EQ(ReplaceFileContent(path, Bytes("first version, long")), 0);
  ASSERT_EQ(ReplaceFileContent(path, Bytes("second")), 0);
  EXPECT_EQ(FileContent(path), "second");
  std::vector<std::uint8_t> bytes;
  ASSERT_EQ(ReadFileStart(path, 3, bytes), 0);
  EXPECT_EQ(bytes, Bytes("sec"));
  ASSERT_EQ(ReadFileStart(path, 100, bytes), 0);
  EXPECT_EQ(bytes, Bytes("second"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1) << "no temporary file left";
}

// Every byte value comes back unchanged, also over an existing file: no
// line-end translation, no end of file at 0x1A, no stop at 0x00.
TEST_F(FileIo, EveryByteValueRoundTrips) {
  std::vector<std::uint8_t> bytes;
  for (int round = 0; round < 2; ++round)
    for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<std::uint8_t>(value));
  const std::vector<std::uint8_t> lineEnds = {'\r', '\n', '\n', '\r', 0x1A, '\r', '\n', 0x1A};
  bytes.insert(bytes.begin(), lineEnds.begin(), lineEnds.end());
  const std::string path = Path("bytes.zr");
  ASSERT_EQ(ReplaceFileContent(path, Bytes("an older file")), 0);
  ASSERT_EQ(ReplaceFileContent(path, bytes), 0);
  std::vector<std::uint8_t> back;
  ASSERT_EQ(ReadFileStart(path, bytes.size() + 1, back), 0);
  EXPECT_EQ(back, bytes);
  const std::string onDisk = FileContent(path);
  EXPECT_EQ(std::vector<std::uint8_t>(onDisk.begin(), onDisk.end()), bytes) << "as another program reads it";
}

// A folder the user names may carry Polish letters, as a station's
// "C:\Users\Paweł" does: given as UTF-8, it is one and the same folder for
// std::filesystem and for the program's own file functions, both ways.
TEST_F(FileIo, PolishNamesAreOneFolderForEveryFileFunction) {
  const std::string folder = Utf8OfPath(dir_) + "/Pomiary Łódź";
  ASSERT_TRUE(fs::create_directory(PathFromUtf8(folder)));
  ASSERT_EQ(ReplaceFileContent(folder + "/żółw.zr", Bytes("pomiar")), 0);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(PathFromUtf8(folder)))
    names.push_back(Utf8OfPath(entry.path().filename()));
  EXPECT_EQ(names, std::vector<std::string>{"żółw.zr"});
  EXPECT_EQ(FileContent(PathFromUtf8(folder + "/żółw.zr")), "pomiar");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1) << "no second folder of another name";
}

TEST_F(FileIo, MissingFolderIsReported) {
  EXPECT_EQ(FileErrorText(ReplaceFileContent(Path("no-such-folder/a.zr"), Bytes("x"))), "File not found");
}

TEST_F(FileIo, ReadErrorsCarryTheSystemError) {
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(FileErrorText(ReadFileStart(Path("missing.zr"), 10, bytes)), "File not found");
  EXPECT_EQ(FileErrorText(ReadFileStart(dir_.string(), 10, bytes)), "File access denied")
      << "a folder, as on the original platform";
}

// On Linux the same refusal is tested as an ordinary user (file_io_test):
// root may write any file.
#ifdef _WIN32
TEST_F(FileIo, WriteProtectedFileIsNotReplaced) {
  const std::string path = Path("ro.zr");
  ASSERT_EQ(ReplaceFileContent(path, Bytes("old")), 0);
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(FileErrorText(ReplaceFileContent(path, Bytes("new"))), "File access denied");
  EXPECT_EQ(FileContent(path), "old");
}

class HeldFile {
public:
  HeldFile(const std::string& path, DWORD share)
      : handle_(CreateFileW(fs::path(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~HeldFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  // What the holder reads from the start of the file it holds.
  std::string Read() const {
    SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
    char buffer[64];
    DWORD n = 0;
    return ReadFile(handle_, buffer, sizeof buffer, &n, nullptr) ? std::string(buffer, n) : "read failed";
  }

private:
  HANDLE handle_;
};

// Another program holds the file open and lets it be written but not
// renamed or deleted (a viewer, a backup tool): no new file can take the
// old one's place, so the file is written in place, to a shorter or a
// longer length; the holder reads the new content. One that lets no one
// write refuses the save and keeps the old content.
TEST_F(FileIo, FileHeldOpenByAnotherProgram) {
  const struct {
    DWORD share;
    const char* content;
    bool saved;
  } cases[] = {
      {FILE_SHARE_READ | FILE_SHARE_WRITE, "new", true},
      {FILE_SHARE_READ | FILE_SHARE_WRITE, "a new content, longer than the old", true},
      {FILE_SHARE_READ, "new", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    const std::string path = Path("held.zr");
    ASSERT_EQ(ReplaceFileContent(path, Bytes("the old content")), 0);
    {
      HeldFile held(path, c.share);
      ASSERT_TRUE(held.Valid());
      const int error = ReplaceFileContent(path, Bytes(c.content));
      if (c.saved)
        EXPECT_EQ(error, 0) << FileErrorText(error);
      else
        EXPECT_EQ(FileErrorText(error), "File access denied");
      EXPECT_EQ(held.Read(), c.saved ? c.content : "the old content");
    }
    EXPECT_EQ(FileContent(path), c.saved ? c.content : "the old content");
    for (const auto& entry : fs::directory_iterator(dir_))
      EXPECT_FALSE(entry.path().filename().string().starts_with(".zr7-")) << "temporary file left";
    fs::remove(path);
  }
}

// The replaced file keeps its attributes (a hidden file stays hidden).
TEST_F(FileIo, ReplacedFileKeepsItsAttributes) {
  const std::string path = Path("hidden.zr");
  ASSERT_EQ(ReplaceFileContent(path, Bytes("old")), 0);
  ASSERT_TRUE(SetFileAttributesW(fs::path(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_EQ(ReplaceFileContent(path, Bytes("new")), 0);
  EXPECT_EQ(FileContent(path), "new");
  EXPECT_TRUE(GetFileAttributesW(fs::path(path).c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// A device takes the bytes as a stream and is never replaced.
TEST_F(FileIo, DevicesAreWrittenNeverReplaced) { EXPECT_EQ(ReplaceFileContent("NUL", Bytes("into nothing")), 0); }
#endif

} // namespace
} // namespace zr7
