#include "transfer/bank_read.h"

#include "sim_process.h"
#include "temporary_directory.h"
#include "sim/sim_bank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace zr7 {
namespace {

using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The program's end of the line: the pty's device opened like a serial port.
class TDevice {
public:
  explicit TDevice(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY)) {
    EXPECT_GE(fd_, 0) << path;
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd_, TCSANOW, &settings);
  }
  ~TDevice() { close(fd_); }

  void Send(std::string_view bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // One chunk, or empty when nothing came in time.
  std::string Chunk(std::chrono::milliseconds within) {
    pollfd fd{fd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(within.count())) <= 0) return {};
    char buffer[2048];
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
  }

  // Chunks up to a line feed, or what came before the deadline.
  std::string Line(std::chrono::milliseconds within = 2000ms) {
    const auto deadline = TClock::now() + within;
    std::string line;
    while (line.find('\n') == std::string::npos && TClock::now() < deadline) {
      line += Chunk(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()));
    }
    return line;
  }

  std::string Ask(const std::string& request) {
    Send(request + "\r");
    return Line();
  }

  int Fd() const { return fd_; }

private:
  int fd_;
};

std::string AnswerText(const sim::TSimLine& l) {
  return std::to_string(l[0]) + " " + std::to_string(l[1]) + " " + std::to_string(l[2]) + "\r\n";
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A bank read over the device, the way the window does it: each request
// waits for its line or 500 ms.
struct TPtyRead {
  std::vector<TRequestOutcome> outcomes;
  std::optional<THeaderCaptions> header;
  TTimeAxis axis;
};

TPtyRead ReadBank(TDevice& device, TBankContents& state, int bank) {
  TPtyRead result;
  TBankRead read(state, bank, ",");
  while (!read.Finished()) {
    device.Send(read.BeginRequest());
    const auto deadline = TClock::now() + 500ms;
    while (read.StatusRS() == TRequestWait::kWaiting) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - TClock::now());
      const std::string chunk = left.count() > 0 ? device.Chunk(left) : std::string();
      if (chunk.empty()) {
        if (TClock::now() >= deadline) read.TimeOut();
        continue;
      }
      read.Receive({reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size()});
    }
    result.outcomes.push_back(read.EndRequest());
    if (result.outcomes.back().header) result.header = result.outcomes.back().header;
  }
  result.axis = read.Finish();
  return result;
}

TEST(SimPty, AnswersLinksLogsAndStops) {
  TWorkingDirectory dir;
  const auto link = dir.Path() / "ports" / "COM1";
  const auto log = dir.Path() / "requests.log";
  TSimProcess sim({"--link", link.string(), "--log", log.string()});
  const std::string path = sim.FirstLine();
  ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
  EXPECT_EQ(std::filesystem::read_symlink(link), path);

  const auto banks = sim::GeneratedBanks();
  {
    TDevice device(link.string());
    EXPECT_TRUE(isatty(device.Fd()));
    EXPECT_EQ(device.Ask("L143"), "OK\r\n");
    for (int k = 0; k < 3; ++k) EXPECT_EQ(device.Ask("D" + std::to_string(k)), AnswerText(banks[11].header[k]));
    EXPECT_EQ(device.Ask("L155"), "OK\r\n");
    EXPECT_EQ(device.Ask("D43"), AnswerText(banks[11].samples[527]));
    // A request in two writes is one request.
    device.Send("L1");
    device.Send("\rD5\r");
    std::string both = device.Line();
    if (std::count(both.begin(), both.end(), '\n') < 2) both += device.Line();
    EXPECT_EQ(both, "OK\r\n" + AnswerText(banks[0].samples[5]));
  }
  // The program closes the port and opens it again.
  {
    TDevice device(path);
    EXPECT_EQ(device.Ask("L0"), "OK\r\n");
    EXPECT_EQ(device.Ask("D0"), AnswerText(banks[0].header[0]));
  }
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
  EXPECT_EQ(ReadFile(log), "L143\nD0\nD1\nD2\nL155\nD43\nL1\nD5\nL0\nD0\n");
}

TEST(SimPty, StopsOnInterrupt) {
  TSimProcess sim({});
  ASSERT_FALSE(sim.FirstLine().empty());
  EXPECT_EQ(sim.Stop(SIGINT), 0);
}

TEST(SimPty, CoreReadsWhatTheSimulatorHolds) {
  TSimProcess sim({});
  TDevice device(sim.FirstLine());
  for (const int bank : {1, 2, 3, 12}) {
    const sim::TSimTest test = sim::GeneratedTest(bank);
    TBankContents state;
    const auto read = ReadBank(device, state, bank);
    ASSERT_EQ(read.outcomes.size(), 544u);
    for (const auto& outcome : read.outcomes) ASSERT_FALSE(outcome.timedOut || outcome.failed) << bank;
    ASSERT_TRUE(read.header);

    EXPECT_EQ(state.IloscProbek, test.count) << bank;
    EXPECT_EQ(read.header->statusCount, " Ilosc próbek = " + std::to_string(test.count));
    EXPECT_EQ(read.header->Ldata, std::to_string(test.day) + "/" + std::to_string(test.month) + "/20" +
                                      (test.year < 10 ? "0" : "") + std::to_string(test.year));
    EXPECT_EQ(read.header->Lgodzina,
              std::to_string(test.hour) + ":" + std::to_string(test.minute) + ":" + std::to_string(test.second));
    EXPECT_DOUBLE_EQ(state.KatPocz, test.angleMilliradians / 1000.0);
    EXPECT_DOUBLE_EQ(state.APocz, test.accelerationCenti / 100.0);
    const char* const kinds[] = {"", "hamulec roboczy", "hamulec awaryjny", "hamulec pomocniczy"};
    const std::string kind = test.brakeKind <= 3 ? kinds[test.brakeKind] : "";
    EXPECT_EQ(state.HamulecTxt.Utf8(), kind);
    if (test.brakeKind == 1) {
      const std::string deviation =
          std::to_string(test.deviationDecimetres / 10) + "," + std::to_string(test.deviationDecimetres % 10);
      EXPECT_EQ(read.header->lHamulec, kind + ", odch.kier.jazdy= " + deviation + " [m]");
    } else {
      EXPECT_EQ(read.header->lHamulec, kind);
    }
    EXPECT_DOUBLE_EQ(read.axis.maximum, test.count / 40.0);
    for (int i = 1; i <= 500; ++i) {
      const auto& sample = state.Pomiar.Probki[i];
      ASSERT_EQ(sample.surX, std::abs(test.samples[i - 1][0])) << bank << " " << i;
      ASSERT_EQ(sample.surZ, test.samples[i - 1][1]) << bank << " " << i;
      ASSERT_EQ(sample.F, test.samples[i - 1][2] >> 8) << bank << " " << i;
      ASSERT_EQ(sample.n, i <= test.count ? test.count : 0) << bank << " " << i;
    }
  }
}

TEST(SimPty, FaultsOnChosenRequests) {
  TWorkingDirectory dir;
  const auto log = dir.Path() / "requests.log";
  TSimProcess sim({"--silent-at", "2", "--split-at", "3", "--split-pause", "300", "--malformed-at", "4", "--late-at",
                   "5:400", "--log", log.string()});
  TDevice device(sim.FirstLine());
  const auto banks = sim::GeneratedBanks();

  EXPECT_EQ(device.Ask("L0"), "OK\r\n");
  device.Send("D0\r");
  EXPECT_EQ(device.Chunk(200ms), ""); // request 2: silence

  device.Send("D1\r"); // request 3: in two pieces
  const std::string first = device.Chunk(1000ms);
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(first.find('\n'), std::string::npos);
  EXPECT_EQ(first + device.Line(), AnswerText(banks[0].header[1]));

  EXPECT_EQ(device.Ask("D2"), "281  0 0\r\n"); // request 4: two spaces

  device.Send("D0\r"); // request 5: late
  EXPECT_EQ(device.Chunk(150ms), "");
  EXPECT_EQ(device.Line(), AnswerText(banks[0].header[0]));

  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_EQ(ReadFile(log), "L0\nD0\nD1\nD2\nD0\n");
}

TEST(SimPty, CoreMendsASplitLineAndStopsAtAMalformedOne) {
  // Request 6 is sample 1; request 100 is sample 93 (L1 is request 5, L2 50, L3 95).
  TSimProcess sim({"--split-at", "6", "--split-pause", "60", "--malformed-at", "100"});
  TDevice device(sim.FirstLine());
  const sim::TSimTest test = sim::GeneratedTest(1);
  TBankContents state;
  state.Pomiar.Probki[93].surZ = 1;
  const auto read = ReadBank(device, state, 1);
  ASSERT_EQ(read.outcomes.size(), 100u);
  EXPECT_TRUE(read.outcomes.back().failed);
  EXPECT_FALSE(read.outcomes[5].timedOut);
  EXPECT_EQ(state.Pomiar.Probki[1].surZ, test.samples[0][1]);
  EXPECT_EQ(state.Pomiar.Probki[1].F, test.samples[0][2] >> 8);
  EXPECT_EQ(state.Pomiar.Probki[92].surZ, test.samples[91][1]);
  EXPECT_EQ(state.Pomiar.Probki[93].surZ, 1);
  EXPECT_EQ(state.IloscProbek, test.count);
}

TEST(SimPty, SilentNeverAnswers) {
  TWorkingDirectory dir;
  const auto log = dir.Path() / "requests.log";
  TSimProcess sim({"--silent", "--log", log.string()});
  TDevice device(sim.FirstLine());
  device.Send("L0\rD0\r");
  EXPECT_EQ(device.Chunk(300ms), "");
  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_EQ(ReadFile(log), "L0\nD0\n");
}

// Empty banks from the command line and from a bank file answer as erased
// memory; the others keep their tests. From --silent-from on nothing answers.
TEST(SimPty, EmptyBanksAndSilenceFromARequestOn) {
  TWorkingDirectory dir;
  const auto file = dir.Path() / "banks.txt";
  std::ofstream(file) << "empty 5\nbank 2\nh 1795 1545 1287\n";
  TSimProcess sim({"--banks", file.string(), "--empty", "3", "--silent-from", "9"});
  TDevice device(sim.FirstLine());
  const std::string erased = "-1 -1 -1\r\n";
  EXPECT_EQ(device.Ask("L26"), "OK\r\n"); // bank 3's header block
  EXPECT_EQ(device.Ask("D0"), erased);
  EXPECT_EQ(device.Ask("L38"), "OK\r\n"); // bank 3's last sample block
  EXPECT_EQ(device.Ask("D43"), erased);
  EXPECT_EQ(device.Ask("L52"), "OK\r\n"); // bank 5, emptied by the file
  EXPECT_EQ(device.Ask("D2"), erased);
  EXPECT_EQ(device.Ask("L13"), "OK\r\n"); // bank 2 holds the file's line
  EXPECT_EQ(device.Ask("D0"), "1795 1545 1287\r\n");
  device.Send("D0\r"); // request 9
  EXPECT_EQ(device.Chunk(300ms), "");
  device.Send("L0\rD0\r");
  EXPECT_EQ(device.Chunk(300ms), "");
}

// Paced, both directions take their time: the request with its carriage
// return on the way in, then the answer on the way out.
TEST(SimPty, PacedDialogueTakesItsTimeOnTheWire) {
  TSimProcess sim({"--pace"});
  TDevice device(sim.FirstLine());
  device.Ask("L1");
  std::size_t bytes = 0;
  const auto start = TClock::now();
  for (int k = 0; k < 44; ++k) {
    const std::string request = "D" + std::to_string(k);
    bytes += request.size() + 1 + device.Ask(request).size();
  }
  const double seconds = std::chrono::duration<double>(TClock::now() - start).count();
  EXPECT_GE(seconds, bytes / 7680.0);
}

TEST(SimPty, BanksFromAFile) {
  TWorkingDirectory dir;
  const auto file = dir.Path() / "banks.txt";
  std::ofstream(file) << "bank 2\nh 1795 1545 1287\nh 140 785 -50\nh 281 0 0\ns -150 700 6400\n";
  TSimProcess sim({"--banks", file.string()});
  TDevice device(sim.FirstLine());
  TBankContents state;
  const auto read = ReadBank(device, state, 2);
  ASSERT_TRUE(read.header);
  EXPECT_EQ(read.header->Ldata, "7/3/2006");
  EXPECT_EQ(read.header->Lgodzina, "9:5:7");
  EXPECT_EQ(read.header->Lbeta, "0");
  EXPECT_EQ(read.header->La_zero, "-0,5");
  EXPECT_EQ(read.header->lHamulec, "hamulec roboczy, odch.kier.jazdy= 2,5 [m]");
  EXPECT_EQ(state.IloscProbek, 240);
  EXPECT_EQ(state.Pomiar.Probki[1].surX, 150);
  EXPECT_EQ(state.Pomiar.Probki[1].F, 25);
  EXPECT_EQ(state.Pomiar.Probki[2].surX, 0);
}

TEST(SimPty, CommandLineErrors) {
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string output;
  } cases[] = {
      {{"--help"}, 0, "Usage: zr7-sim"},
      {{"--bogus"}, 2, ""},
      {{"--banks", "/nonexistent/banks.txt"}, 2, ""},
      {{"--dump"}, 0, "bank 1\nh "},
  };
  for (const auto& c : cases) {
    TSimProcess sim(c.args);
    std::string output;
    EXPECT_EQ(sim.Wait(&output), c.exitCode) << c.args[0];
    EXPECT_EQ(output.rfind(c.output, 0), 0u) << c.args[0];
  }
}

} // namespace
} // namespace zr7
