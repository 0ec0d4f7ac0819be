#include "cli/cli_commands.h"
#include "file_content.h"
#include "sim/sim_bank.h"
#include "sim_process.h"
#include "temporary_directory.h"
#include "text/number_format.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

// The file name a bank's generated test is written under.
std::string FileNameOf(int bank, int copy = 1) {
  const sim::TSimTest t = sim::GeneratedTest(bank);
  return "20" + TwoDigits(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + "_" + TwoDigits(t.hour) + "-" +
         TwoDigits(t.minute) + "-" + TwoDigits(t.second) + "_bank" + TwoDigits(bank) +
         (copy > 1 ? "_" + std::to_string(copy) : "") + ".zr";
}

std::string Content(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::set<std::string> Files(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// The command line against zr7-sim on a real pseudo-terminal, linked as a
// port in the test's own folder.
class CliMemory : public ::testing::Test {
protected:
  int Run(std::vector<std::string> simOptions, std::vector<std::string> args) {
    simOptions.insert(simOptions.end(), {"--link", Port(), "--log", Log()});
    TSimProcess instrument(simOptions);
    instrument.FirstLine();
    out.str({});
    err.str({});
    args.insert(args.begin() + 1, {"--port", Port()});
    return RunCli(args, out, err);
  }
  std::string Port() const { return (directory.Path() / "COM1").string(); }
  std::string Log() const { return (directory.Path() / "requests.log").string(); }
  fs::path Folder() const { return directory.Path() / "banks"; }
  int RequestsReceived() const { return LineCount(Log()); }

  TWorkingDirectory directory;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(CliMemory, ListShowsEachBanksHeaderAndEmptyBanksEmpty) {
  ASSERT_EQ(Run({"--empty", "3,7"}, {"list"}), 0) << err.str();
  std::string expected;
  for (int b = 1; b <= 12; ++b) {
    expected += std::to_string(b);
    if (b == 3 || b == 7) {
      expected += "\t\t\t\t\t\n";
      continue;
    }
    const sim::TSimTest t = sim::GeneratedTest(b);
    const char* brakes[] = {"", "hamulec roboczy", "hamulec awaryjny", "hamulec pomocniczy"};
    expected += "\t20" + TwoDigits(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + "\t" +
                TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) + "\t" +
                (t.brakeKind <= 3 ? brakes[t.brakeKind] : "") + "\t" + FormatFixed(t.count / 40.0, 3, ".") + "\t" +
                (t.brakeKind == 1 ? FormatFixed(t.deviationDecimetres / 10.0, 1, ".") : "") + "\n";
  }
  EXPECT_EQ(out.str(), expected);
  EXPECT_EQ(RequestsReceived(), 48); // a header block and its three lines a bank

  ASSERT_EQ(Run({"--empty", "3"}, {"list", "--json"}), 0) << err.str();
  const sim::TSimTest first = sim::GeneratedTest(1);
  EXPECT_NE(out.str().find("{\"bank\": 3, \"read\": true, \"test\": null}"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("{\"bank\": 1, \"read\": true, \"test\": {\"date\": \"20" + TwoDigits(first.year)),
            std::string::npos)
      << out.str();
  EXPECT_EQ(out.str().front(), '[');
}

TEST_F(CliMemory, ListSaysWhichBanksWentUnanswered) {
  // Request 6 is bank 2's first header line.
  EXPECT_EQ(Run({"--silent-at", "6"}, {"list"}), 1);
  EXPECT_NE(err.str().find("bank 2: brak odpowiedzi na zapytanie D0 (2 z 4)"), std::string::npos) << err.str();
  EXPECT_NE(out.str().find("2\t\t\t\t\t\n3\t20"), std::string::npos) << out.str();
}

// Files named after their tests hold what a single read writes; a second
// batch skips them, and a file that differs is kept beside a new copy.
TEST_F(CliMemory, BatchWritesSkipsIdenticalAndNeverOverwrites) {
  ASSERT_EQ(Run({}, {"read", "--bank", "5", "--out", (directory.Path() / "single.zr").string()}), 0) << err.str();
  ASSERT_EQ(Run({"--empty", "3"}, {"read", "--banks", "1,3,5", "--dir", Folder().string()}), 0) << err.str();
  EXPECT_EQ(Files(Folder()), (std::set<std::string>{FileNameOf(1), FileNameOf(5)}));
  EXPECT_EQ(Content(Folder() / FileNameOf(5)), Content(directory.Path() / "single.zr"));
  EXPECT_NE(out.str().find("bank 3: brak pomiaru\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("zapisane: 2, pominięte (identyczne): 0, puste: 1, błędy: 0"), std::string::npos)
      << out.str();

  ASSERT_EQ(Run({"--empty", "3"}, {"read", "--banks", "5,1", "--dir", Folder().string()}), 0) << err.str();
  EXPECT_NE(out.str().find("bank 5: identyczny plik już jest " + FileNameOf(5)), std::string::npos) << out.str();
  EXPECT_EQ(Files(Folder()).size(), 2u);

  const std::string bank1 = Content(Folder() / FileNameOf(1));
  std::ofstream(Folder() / FileNameOf(1), std::ios::binary) << "an examiner's own file";
  ASSERT_EQ(Run({}, {"read", "--banks", "1", "--dir", Folder().string()}), 0) << err.str();
  EXPECT_EQ(Content(Folder() / FileNameOf(1)), "an examiner's own file");
  EXPECT_EQ(Content(Folder() / FileNameOf(1, 2)), bank1);
  ASSERT_EQ(Run({}, {"read", "--banks", "1", "--dir", Folder().string()}), 0) << err.str();
  EXPECT_NE(out.str().find("identyczny plik już jest " + FileNameOf(1, 2)), std::string::npos) << out.str();
  EXPECT_EQ(Files(Folder()).size(), 3u);
}

// A bank that fails loses only itself: the banks before and after it are
// written, the exit code says that not all were read.
TEST_F(CliMemory, OneFailedBankLosesOnlyItself) {
  const struct {
    std::vector<std::string> simOptions;
    std::set<std::string> written;
    const char* reason;
  } cases[] = {
      // Bank 2's requests are 545 to 1088: it goes silent in its middle.
      {{"--silent-at", "700"},
       {FileNameOf(1), FileNameOf(3)},
       "bank 2: błąd: brak odpowiedzi na zapytanie D15 (156 z 544)"},
      {{"--malformed-at", "600"},
       {FileNameOf(1), FileNameOf(3)},
       "bank 2: błąd: Bląd odczytu danych lub portu! (zła odpowiedź na zapytanie D5)"},
      // Switched off in bank 2's middle: what came before stays.
      {{"--silent-from", "700"}, {FileNameOf(1)}, "bank 3: błąd: brak odpowiedzi na zapytanie L26 (1 z 544)"},
  };
  for (const auto& c : cases) {
    fs::remove_all(Folder());
    EXPECT_EQ(Run(c.simOptions, {"read", "--banks", "1,2,3", "--dir", Folder().string()}), 1) << c.reason;
    EXPECT_EQ(Files(Folder()), c.written) << c.reason;
    EXPECT_NE(out.str().find(c.reason), std::string::npos) << out.str();
  }
}

TEST_F(CliMemory, ArgumentMistakes) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"read", "--banks", "0", "--dir", "d"},
           {"read", "--banks", "1,13", "--dir", "d"},
           {"read", "--banks", "1,1", "--dir", "d"},
           {"read", "--banks", "1,", "--dir", "d"},
           {"read", "--all", "--banks", "1", "--dir", "d"},
           {"read", "--all"},
           {"list", "--bogus"},
       }) {
    EXPECT_EQ(RunCli(args, out, err), 2) << args[1];
  }
  EXPECT_FALSE(fs::exists("d"));
  EXPECT_EQ(RunCli({"list", "--port", (directory.Path() / "nothing").string()}, out, err), 1);
  EXPECT_NE(err.str().find("Error opening com port."), std::string::npos) << err.str();
}

} // namespace
} // namespace zr7
