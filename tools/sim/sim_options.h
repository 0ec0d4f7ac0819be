#pragma once

#include <map>
#include <set>
#include <string>

namespace zr7::sim {

// Command line of zr7-sim. Request numbers count every request received,
// from 1.
struct TSimOptions {
  std::string link;      // symlink to the pty's device, removed on exit
  std::string banksFile; // banks instead of the built-in ones
  std::string logFile;   // every request received, one a line
  int latencyMs = 0;     // delay before each answer
  bool pace = false;     // answers leave at 76800 baud
  bool silent = false;   // never answer
  long silentFrom = 0;   // no answer from this request on (0: answers throughout)
  std::set<long> silentAt;
  std::set<long> splitAt;
  int splitPauseMs = 50;
  std::set<long> malformedAt;
  std::map<long, int> lateAt; // request -> delay in ms
  std::set<int> emptyBanks;   // banks that hold no test, 1 to 12
  bool dump = false;          // write the banks as a bank file and exit
  bool help = false;
};

struct TSimOptionsResult {
  TSimOptions options;
  std::string error; // empty when the command line was understood
};

TSimOptionsResult ParseSimOptions(int argc, const char* const* argv);

std::string SimHelpText();

} // namespace zr7::sim
