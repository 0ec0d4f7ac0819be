#include "sim_options.h"

#include "sim_bank_file.h"

#include <charconv>
#include <string_view>

namespace zr7::sim {
namespace {

bool ParseNumber(std::string_view text, long& value) {
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && ptr == text.data() + text.size() && value >= 0;
}

// Longest range "N-M" of a request list, so that a typing error cannot fill
// the memory.
constexpr long kLongestRange = 100000;

// "N" or "N-M" of a request list.
bool ParseRequestItem(std::string_view text, std::set<long>& into) {
  const auto dash = text.find('-');
  long first = 0;
  long last = 0;
  if (!ParseNumber(text.substr(0, dash), first) || first < 1) return false;
  if (dash == std::string_view::npos) {
    last = first;
  } else if (!ParseNumber(text.substr(dash + 1), last) || last < first || last - first >= kLongestRange) {
    return false;
  }
  for (long n = first; n <= last; ++n) into.insert(n);
  return true;
}

// "N,N-M,..." of request numbers counted from 1.
bool ParseRequestList(std::string_view text, std::set<long>& into) {
  while (true) {
    const auto comma = text.find(',');
    if (!ParseRequestItem(text.substr(0, comma), into)) return false;
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

// "B,B,..." of bank numbers 1 to 12.
bool ParseBankList(std::string_view text, std::set<int>& into) {
  while (true) {
    const auto comma = text.find(',');
    long value = 0;
    if (!ParseNumber(text.substr(0, comma), value) || value < 1 || value > kBanks) return false;
    into.insert(static_cast<int>(value));
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

// "N:MS".
bool ParseLate(std::string_view text, std::map<long, int>& into) {
  const auto colon = text.find(':');
  long request = 0;
  long ms = 0;
  if (colon == std::string_view::npos || !ParseNumber(text.substr(0, colon), request) || request < 1 ||
      !ParseNumber(text.substr(colon + 1), ms)) {
    return false;
  }
  into[request] = static_cast<int>(ms);
  return true;
}

} // namespace

TSimOptionsResult ParseSimOptions(int argc, const char* const* argv) {
  TSimOptionsResult result;
  TSimOptions& o = result.options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    const auto bad = [&](std::string_view why) {
      result.error = std::string(arg) + ": " + std::string(why);
      return result;
    };
    long number = 0;
    if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--pace") {
      o.pace = true;
    } else if (arg == "--silent") {
      o.silent = true;
    } else if (arg == "--dump") {
      o.dump = true;
    } else if (arg == "--link" || arg == "--banks" || arg == "--log") {
      const char* v = value();
      if (v == nullptr || *v == '\0') return bad("a path is expected");
      (arg == "--link" ? o.link : arg == "--banks" ? o.banksFile : o.logFile) = v;
    } else if (arg == "--latency" || arg == "--split-pause") {
      const char* v = value();
      if (v == nullptr || !ParseNumber(v, number)) return bad("milliseconds expected");
      (arg == "--latency" ? o.latencyMs : o.splitPauseMs) = static_cast<int>(number);
    } else if (arg == "--silent-at" || arg == "--split-at" || arg == "--malformed-at") {
      const char* v = value();
      auto& list = arg == "--silent-at" ? o.silentAt : arg == "--split-at" ? o.splitAt : o.malformedAt;
      if (v == nullptr || !ParseRequestList(v, list)) return bad("request numbers N,N,... from 1 expected");
    } else if (arg == "--silent-from") {
      const char* v = value();
      if (v == nullptr || !ParseNumber(v, o.silentFrom) || o.silentFrom < 1)
        return bad("a request number from 1 expected");
    } else if (arg == "--empty") {
      const char* v = value();
      if (v == nullptr || !ParseBankList(v, o.emptyBanks)) return bad("bank numbers B,B,... from 1 to 12 expected");
    } else if (arg == "--late-at") {
      const char* v = value();
      if (v == nullptr || !ParseLate(v, o.lateAt)) return bad("N:MS expected");
    } else {
      return bad("unknown option");
    }
  }
  return result;
}

std::string SimHelpText() {
  return std::string(
             "Usage: zr7-sim [options]\n"
             "A simulated ZR-7 on a pseudo-terminal. Prints the terminal's device path on\n"
             "the first line of its output and answers the bank read requests \"L<n>\\r\"\n"
             "(select block n) and \"D<k>\\r\" (line k of the block: \"n1 n2 n3\\r\\n\") until\n"
             "it gets SIGTERM or SIGINT. Request numbers below count from 1.\n"
             "\n"
             "  --link PATH        also reach the terminal through the symlink PATH, for\n"
             "                     example ~/.config/zr7/ports/COM1; removed on exit\n"
             "  --banks FILE       hold the banks of FILE instead of the built-in tests\n"
             "  --empty B,B        these banks hold no test (erased memory, see below)\n"
             "  --dump             write the banks as a bank file to stdout and exit\n"
             "  --latency MS       answer each request after MS milliseconds\n"
             "  --pace             send at the line's 76800 baud (7680 bytes/s)\n"
             "  --silent           never answer\n"
             "  --silent-at N,N-M  leave these requests unanswered\n"
             "  --silent-from N    answer nothing from request N on, as when switched off\n"
             "  --split-at N,N-M   send these answers in two pieces with a pause between\n"
             "  --split-pause MS   that pause, 50 ms unless given\n"
             "  --malformed-at N,N-M\n"
             "                     send these answers with two spaces after the first number\n"
             "  --late-at N:MS     answer request N after MS milliseconds (repeatable)\n"
             "  --log FILE         write every request received to FILE, one a line\n"
             "  --help             this text\n"
             "\n") +
         kBankFileHelp;
}

} // namespace zr7::sim
