#include "cli/cli_commands.h"
#include "file_content.h"
#include "measurement/derived_values.h"
#include "measurement/measurement_file.h"
#include "sim/sim_bank.h"
#include "sim_process.h"
#include "temporary_directory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace zr7 {
namespace {

namespace fs = std::filesystem;

class CliRead : public ::testing::Test {
protected:
  int Read(std::vector<std::string> simOptions, int bank) {
    simOptions.insert(simOptions.end(), {"--link", Port(), "--log", Log()});
    TSimProcess instrument(simOptions);
    instrument.FirstLine();
    out.str({});
    err.str({});
    return RunCli({"read", "--port", Port(), "--bank", std::to_string(bank), "--out", Out()}, out, err);
  }
  std::string Port() const { return (directory.Path() / "COM1").string(); }
  std::string Out() const { return (directory.Path() / "bank.zr").string(); }
  std::string Log() const { return (directory.Path() / "requests.log").string(); }
  int RequestsReceived() const { return LineCount(Log()); }

  TWorkingDirectory directory;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(CliRead, FileHoldsTheSimulatorsBank) {
  std::ofstream("konfiguracja.txt", std::ios::binary) << "Stacja \xA3\xF3"
                                                         "d\x9F\r\nul. Kr\xF3tka 1\r\nuwagi\r\n1\r\n";
  ASSERT_EQ(Read({}, 5), 0) << err.str();
  const sim::TSimTest held = sim::GeneratedTest(5);
  TPomiar p;
  ASSERT_TRUE(LoadMeasurementFile(Out(), p).Ok());
  EXPECT_EQ(fs::file_size(Out()), 27592u);
  EXPECT_EQ(p.Probki[1].n, held.count);
  for (int i = 1; i <= held.count; ++i) {
    const TProbka& s = p.Probki[i];
    const sim::TSimLine& line = held.samples[i - 1];
    ASSERT_EQ(s.surX, std::abs(line[0])) << i;
    ASSERT_EQ(s.surZ, std::abs(line[1])) << i;
    ASSERT_EQ(s.F, (line[2] >> 8) & 0xFF) << i;
    ASSERT_EQ(s.n, held.count) << i;
    TProbka derived = s;
    ComputeDerived(derived);
    ASSERT_EQ(s.a, derived.a) << i;
  }
  EXPECT_EQ(p.Data.Text(), std::to_string(held.day) + "/" + std::to_string(held.month) + "/20" +
                               (held.year < 10 ? "0" : "") + std::to_string(held.year));
  EXPECT_FALSE(p.Hamulec.Text().empty());
  EXPECT_EQ(p.SKP.Utf8(), "Stacja Łódź");
  EXPECT_EQ(p.Uwagi.Text(), "uwagi");
  EXPECT_EQ(p.RodzajPojazdu, -1);
  EXPECT_NE(out.str().find(std::to_string(held.count) + " samples"), std::string::npos) << out.str();
}

// Nothing can be written once a request has gone unanswered, so the read
// gives up there and says which request it was.
TEST_F(CliRead, IncompleteReadsStopAtTheFirstFailureAndWriteNothing) {
  struct Case {
    std::vector<std::string> simOptions;
    const char* message;
    int requestsMade;
  };
  const Case cases[] = {
      {{"--silent"}, "request 1 of 544 (L13) unanswered within 500 ms", 1},
      {{"--silent-at", "100"}, "request 100 of 544 (D4) unanswered within 500 ms", 100},
      {{"--malformed-at", "40"}, "Bląd odczytu danych lub portu!", 40},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.simOptions, 2), 1) << c.message;
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(RequestsReceived(), c.requestsMade) << c.message;
    EXPECT_FALSE(fs::exists(Out())) << c.message;
    EXPECT_EQ(out.str(), "");
  }
}

TEST_F(CliRead, PortAndArgumentMistakes) {
  EXPECT_EQ(
      RunCli({"read", "--port", (directory.Path() / "nothing").string(), "--bank", "1", "--out", Out()}, out, err), 1);
  EXPECT_NE(err.str().find("Error opening com port."), std::string::npos) << err.str();
  for (const char* bank : {"0", "13", "x"}) {
    EXPECT_EQ(RunCli({"read", "--port", "COM1", "--bank", bank, "--out", Out()}, out, err), 2) << bank;
  }
  EXPECT_EQ(RunCli({"read", "--port", "COM1", "--out", Out()}, out, err), 2);
  EXPECT_FALSE(fs::exists(Out()));
}

} // namespace
} // namespace zr7
