// A full bank read from zr7-sim, paced at 76800 baud with a fixed answer
// latency, against the floor set by the line itself: every byte of the
// dialogue at 7680 bytes/s plus 544 answer latencies. Measured with the
// component's line-feed terminator on and off, and the peak memory of a
// `zr7-cli read` process. Given the Windows build's zr7-cli.exe, also the
// same read under Wine through COM7 of $WINEPREFIX (a booted prefix): the
// whole process, less the start-up of one that only fails to open a file,
// each the fastest of three runs. Then the list of the twelve banks'
// headers (48 requests) and a batch of all twelve banks into a folder, each
// against its floor the same way.
//
//   bank_read ZR7_SIM ZR7_CLI [latency-ms] [bank] [ZR7_CLI_EXE]

#include "cli/bank_read_command.h"
#include "platform/plain_message_loop.h"
#include "sim/sim_bank.h"
#include "sim/sim_instrument.h"
#include "transfer/bank_requests.h"
#include "transfer/instrument_memory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string WineProgram() {
  for (const char* candidate : {"/usr/bin/wine64", "/usr/lib/wine/wine64", "/usr/bin/wine"})
    if (access(candidate, X_OK) == 0) return candidate;
  return "wine";
}

pid_t Spawn(std::vector<std::string> args) {
  if (args[0].ends_with(".exe")) args.insert(args.begin(), WineProgram());
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The simulated instrument on a link, for as long as the object lives.
class Instrument {
public:
  Instrument(const std::string& simulator, const fs::path& link, int latencyMs) : link_(link) {
    pid_ = Spawn({simulator, "--pace", "--latency", std::to_string(latencyMs), "--link", link.string()});
    for (int i = 0; i < 100 && !fs::is_symlink(link); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ~Instrument() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

private:
  fs::path link_;
  pid_t pid_;
};

// Bytes both ways of the first `requests` requests of a bank read of the
// generated banks (all of them unless given).
std::size_t DialogueBytes(int bank, std::size_t requests = zr7::kRequestsPerBank) {
  zr7::sim::TSimInstrument instrument(zr7::sim::GeneratedBanks());
  std::size_t bytes = 0;
  std::vector<zr7::TRequest> asked = zr7::BankRequests(bank);
  asked.resize(requests);
  for (const zr7::TRequest& request : asked) {
    const std::string sent = request.Bytes();
    bytes += sent.size() + instrument.Answer(std::string_view(sent).substr(0, sent.size() - 1)).value_or("").size();
  }
  return bytes;
}

double ReadSeconds(const fs::path& link, int bank, bool terminator, const fs::path& out) {
  zr7::TBankReadOptions options;
  options.port = link.string();
  options.bank = bank;
  options.out = out.string();
  options.rxTerminator = terminator;
  std::ostringstream summary;
  std::ostringstream errors;
  const auto start = Clock::now();
  const int exitCode = zr7::ReadBankCommand(options, summary, errors);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (exitCode != 0) std::cerr << "read failed: " << errors.str();
  return seconds;
}

// Seconds of the list of all banks' headers, or of a batch of all banks into
// a fresh folder, through the cores over a port opened as zr7-cli opens it.
double MemorySeconds(const fs::path& link, bool batch, const fs::path& folder) {
  zr7::PlainMessageLoop loop;
  zr7::TComm32 comm(loop);
  zr7::TBankReadOptions options;
  options.port = link.string();
  std::ostringstream errors;
  if (!zr7::OpenInstrumentPort(comm, options, errors)) {
    std::cerr << errors.str();
    return 0;
  }
  const std::vector<int> banks{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  zr7::TReadStopper stopper;
  fs::remove_all(folder);
  fs::create_directories(folder);
  const auto start = Clock::now();
  bool complete = true;
  if (batch) {
    for (const auto& entry : zr7::ReadBanksIntoFolder(comm, loop, banks, {folder, {}, ","}, stopper))
      complete &= entry.outcome == zr7::TBankFileOutcome::Written;
  } else {
    for (const auto& header : zr7::ReadBankHeaders(comm, loop, banks, stopper)) complete &= header.read;
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!complete) std::cerr << (batch ? "batch" : "list") << ": not every bank was read\n";
  return seconds;
}

constexpr int kWineRuns = 3;
constexpr int kListRuns = 5;

// Seconds of a whole process run.
double RunSeconds(const std::vector<std::string>& args) {
  const auto start = Clock::now();
  const pid_t pid = Spawn(args);
  int status = 0;
  waitpid(pid, &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != (args.size() > 2 && args[1] == "read" ? 0 : 1))
    std::cerr << args[0] << " " << args[1] << ": unexpected exit\n";
  return seconds;
}

long PeakKilobytesOfCliRead(const std::string& cli, const fs::path& link, int bank, const fs::path& out) {
  const pid_t pid =
      Spawn({cli, "read", "--port", link.string(), "--bank", std::to_string(bank), "--out", out.string()});
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: bank_read ZR7_SIM ZR7_CLI [latency-ms] [bank]\n";
    return 2;
  }
  const std::string simulator = argv[1];
  const std::string cli = argv[2];
  const int latencyMs = argc > 3 ? std::stoi(argv[3]) : 1;
  const int bank = argc > 4 ? std::stoi(argv[4]) : 12;
  const std::string windowsCli = argc > 5 ? argv[5] : "";
  const fs::path folder = fs::temp_directory_path() / ("zr7-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path link = folder / "COM1";
  const fs::path out = folder / "bank.zr";

  const std::size_t bytes = DialogueBytes(bank);
  const double floor = static_cast<double>(bytes) / 7680.0 + 544 * latencyMs / 1000.0;
  std::printf("bank %d: %zu bytes on the wire, latency %d ms, floor %.3f s\n", bank, bytes, latencyMs, floor);
  for (const bool terminator : {true, false}) {
    Instrument instrument(simulator, link, latencyMs);
    const double seconds = ReadSeconds(link, bank, terminator, out);
    std::printf("terminator %-3s: %.3f s, %.2f x floor, %.1f ms per request\n", terminator ? "on" : "off", seconds,
                seconds / floor, seconds * 1000 / 544);
  }
  {
    std::size_t listBytes = 0;
    std::size_t batchBytes = 0;
    for (int b = 1; b <= zr7::kBankCount; ++b) {
      listBytes += DialogueBytes(b, 1 + zr7::kHeaderLines);
      batchBytes += DialogueBytes(b);
    }
    const double listFloor = static_cast<double>(listBytes) / 7680.0 + 12 * 4 * latencyMs / 1000.0;
    const double batchFloor =
        static_cast<double>(batchBytes) / 7680.0 + 12 * zr7::kRequestsPerBank * latencyMs / 1000.0;
    Instrument instrument(simulator, link, latencyMs);
    // The list is short enough for one slow wake-up of the machine to show:
    // the median of a few.
    std::vector<double> lists;
    for (int run = 0; run < kListRuns; ++run) lists.push_back(MemorySeconds(link, false, folder / "batch"));
    std::sort(lists.begin(), lists.end());
    const double list = lists[lists.size() / 2];
    std::printf("list of 12 headers: %zu bytes, floor %.3f s: median %.3f s of %d (%.3f to %.3f), %.2f x floor\n",
                listBytes, listFloor, list, kListRuns, lists.front(), lists.back(), list / listFloor);
    const double batch = MemorySeconds(link, true, folder / "batch");
    std::printf("batch of 12 banks: %zu bytes, floor %.3f s: %.3f s, %.2f x floor\n", batchBytes, batchFloor, batch,
                batch / batchFloor);
  }
  Instrument instrument(simulator, link, latencyMs);
  std::printf("zr7-cli read peak memory: %.1f MB\n", PeakKilobytesOfCliRead(cli, link, bank, out) / 1024.0);
  if (!windowsCli.empty()) {
    const char* prefix = std::getenv("WINEPREFIX");
    const fs::path com7 = fs::path(prefix ? prefix : std::string(std::getenv("HOME")) + "/.wine") / "dosdevices/com7";
    const std::string windowsOut = (folder / "windows.zr").string();
    // Wine's start-up varies by seconds on a busy machine: each figure is
    // the fastest of a few runs.
    const auto fastest = [](const std::vector<std::string>& args) {
      double best = RunSeconds(args);
      for (int run = 1; run < kWineRuns; ++run) best = std::min(best, RunSeconds(args));
      return best;
    };
    const double startUp = fastest({windowsCli, "show", (folder / "missing.zr").string()});
    Instrument windowsInstrument(simulator, com7, latencyMs);
    const double whole =
        fastest({windowsCli, "read", "--port", "COM7", "--bank", std::to_string(bank), "--out", windowsOut});
    const double seconds = whole - startUp;
    std::printf(
        "Wine, terminator on: %.3f s (process %.3f s less start-up %.3f s), %.2f x floor, %.1f ms per request\n",
        seconds, whole, startUp, seconds / floor, seconds * 1000 / 544);
  }
  fs::remove_all(folder);
  return 0;
}
