#include "sim_bank_file.h"
#include "sim_loop.h"
#include "sim_options.h"
#include "sim_pty.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <signal.h>
#include <system_error>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

// SIGTERM and SIGINT are blocked except inside the loop's wait, so a stop
// can never slip in between the check and the wait.
void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGTERM);
  sigaddset(&stops, SIGINT);
  sigprocmask(SIG_BLOCK, &stops, nullptr);
}

std::optional<zr7::sim::TSimBanks> LoadBanks(const std::string& path) {
  if (path.empty()) return zr7::sim::GeneratedBanks();
  std::ifstream in(path);
  if (!in) {
    std::cerr << "zr7-sim: cannot open " << path << "\n";
    return std::nullopt;
  }
  auto result = zr7::sim::ReadBankFile(in);
  if (!result.banks) std::cerr << "zr7-sim: " << path << ": " << result.error << "\n";
  return result.banks;
}

} // namespace

int main(int argc, char** argv) {
  using namespace zr7::sim;
  const auto parsed = ParseSimOptions(argc, argv);
  if (!parsed.error.empty()) {
    std::cerr << "zr7-sim: " << parsed.error << "\nTry zr7-sim --help.\n";
    return 2;
  }
  const TSimOptions& options = parsed.options;
  if (options.help) {
    std::cout << SimHelpText();
    return 0;
  }
  auto banks = LoadBanks(options.banksFile);
  if (!banks) return 2;
  for (const int bank : options.emptyBanks) (*banks)[bank - 1] = ErasedBank();
  if (options.dump) {
    WriteBankFile(std::cout, *banks);
    return 0;
  }

  CatchStopSignals();
  try {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(nullptr, std::fclose);
    if (!options.logFile.empty()) {
      log.reset(std::fopen(options.logFile.c_str(), "w"));
      if (!log) throw std::system_error(errno, std::generic_category(), options.logFile);
    }
    TSimPty pty;
    std::optional<TSimLink> link;
    if (!options.link.empty()) link.emplace(options.link, pty.DevicePath());
    std::cout << pty.DevicePath() << std::endl;
    TSimLoop(options, *banks, pty.Master(), log.get()).Run(stopRequested);
  } catch (const std::system_error& e) {
    std::cerr << "zr7-sim: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
