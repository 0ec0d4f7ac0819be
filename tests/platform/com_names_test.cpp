#include "platform/com_names.h"

#include "unique_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32

TEST(ComNames, AreWindowsDevices) {
  const std::pair<const char*, const char*> cases[] = {{"COM1", "\\\\.\\COM1"},
                                                       {"COM12", "\\\\.\\COM12"},
                                                       {"com2", "\\\\.\\COM2"},
                                                       {"\\\\.\\COM40", "\\\\.\\COM40"},
                                                       {"", ""},
                                                       {"COM0", ""},
                                                       {"COM03", ""},
                                                       {"COMx", ""},
                                                       {"LPT1", ""},
                                                       {"/dev/ttyS0", ""},
                                                       {"C:\\COM1", ""}};
  for (const auto& [name, device] : cases) EXPECT_EQ(zr7::ComDevicePath(name, {}), fs::path(device)) << name;
}

#else

struct NameCase {
  const char* name;
  const char* device; // relative paths are inside the ports folder
};

class ComNames : public ::testing::TestWithParam<NameCase> {
protected:
  void SetUp() override {
    folder = zr7::MakeUniqueFolder("zr7-ports");
    fs::create_symlink("/dev/null", folder / "COM3");
    fs::create_symlink("/nowhere/at/all", folder / "COM4");
  }
  void TearDown() override { fs::remove_all(folder); }
  fs::path folder;
};

TEST_P(ComNames, MapToTheirDevice) {
  const NameCase& c = GetParam();
  fs::path expected = c.device;
  if (!expected.empty() && expected.is_relative()) expected = folder / expected;
  EXPECT_EQ(zr7::ComDevicePath(c.name, folder), expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComNames,
    ::testing::Values(NameCase{"COM1", "/dev/ttyUSB0"}, NameCase{"COM12", "/dev/ttyUSB11"},
                      NameCase{"COM32", "/dev/ttyUSB31"}, NameCase{"com2", "/dev/ttyUSB1"}, NameCase{"COM3", "COM3"},
                      // A link the operator made is used even when it leads nowhere:
                      // opening it then fails, rather than silently opening another port.
                      NameCase{"COM4", "COM4"}, NameCase{"/dev/pts/7", "/dev/pts/7"}, NameCase{"", ""},
                      NameCase{"COM", ""}, NameCase{"COM0", ""}, NameCase{"COM03", ""}, NameCase{"COMx", ""},
                      NameCase{"COM1 ", ""}, NameCase{"LPT1", ""}, NameCase{"dev/ttyS0", ""}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return "Case" + std::to_string(info.index); });

TEST(ComNamesWithoutFolder, FallBackToUsbAdapters) {
  EXPECT_EQ(zr7::ComDevicePath("COM3", {}), fs::path("/dev/ttyUSB2"));
}

#endif

} // namespace
