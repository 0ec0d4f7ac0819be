#include "cli_commands.h"

#include "bank_read_command.h"
#include "memory_commands.h"
#include "ports_command.h"
#include "qt_parts.h"
#include "text/number_format.h"

#include "measurement/braking_description.h"
#include "platform/file_io.h"
#include "measurement/measurement_export.h"
#include "measurement/measurement_file.h"
#include "text/file_error_text.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <unistd.h>

namespace zr7 {
namespace {

struct TCommandUsage {
  const char* name;
  const char* lines;
};

constexpr TCommandUsage kCommands[] = {
    {"read",
     "  zr7-cli read --port PORT --bank N --out FILE  read bank N (1..12) from the instrument on PORT\n"
     "                                         (COM1..COM32 or a device path) into a measurement file\n"
     "  zr7-cli read --port PORT (--all | --banks N,N,...) --dir DIR\n"
     "                                         the tests of these banks into DIR, each named after its\n"
     "                                         date and time: RRRR-MM-DD_GG-MM-SS_bankNN.zr; a file that is\n"
     "                                         identical is skipped, a different one kept (a suffix _2, ...)\n"},
    {"list",
     "  zr7-cli list --port PORT [--json]     the tests stored in the twelve banks, one line a bank:\n"
     "                                         bank, date, time, brake, duration [s], deviation [m],\n"
     "                                         tab-separated; a bank without a test has empty fields\n"},
    {"show", "  zr7-cli show FILE                     the measurement's values, one 'name: value' a line\n"},
    {"export", "  zr7-cli export FILE --csv [--out OUT]  the samples as CSV, to OUT or standard output\n"},
    {"report",
     "  zr7-cli report FILE --pdf OUT [--paper A4|Letter] [--landscape] [--analysis]\n"
     "                                         the printed report of the measurement as a PDF page;\n"
     "                                         --analysis adds the braking figures under the results\n"},
    {"ports",
     "  zr7-cli ports [--dev DIR]             the serial adapters plugged in, the COM port that reaches\n"
     "                                         each and whether you may open it\n"
     "  zr7-cli ports --link COMn DEVICE      make COMn lead to DEVICE (best its /dev/serial/by-id/ name)\n"
     "                                         --dev DIR: look for adapters in DIR instead of /dev\n"
     "                                         On Windows: the COM ports present, with the names the\n"
     "                                         Device Manager gives them, and whether you may open each\n"},
};

std::string UsageText(std::string_view command = {}) {
  std::string text = "usage:\n";
  for (const TCommandUsage& usage : kCommands) {
    if (command.empty() || command == usage.name) text += usage.lines;
  }
  return text;
}

bool IsCommand(std::string_view name) {
  return std::any_of(std::begin(kCommands), std::end(kCommands),
                     [&](const TCommandUsage& c) { return name == c.name; });
}

} // namespace

int Usage(std::ostream& err) {
  err << UsageText();
  return 2;
}

int UsageOf(std::ostream& err, std::string_view command) {
  err << UsageText(command);
  return 2;
}

bool Load(const std::string& path, TPomiar& pomiar, std::ostream& err) {
  const TLoadResult loaded = LoadMeasurementFile(path, pomiar);
  if (loaded.error != 0) {
    err << path << ": " << FileErrorText(loaded.error) << "\n";
  } else if (!loaded.refusal.empty()) {
    err << path << ": " << loaded.refusal << "\n";
  }
  return loaded.Ok();
}

namespace {

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return Usage(err);
  TPomiar pomiar;
  if (!Load(args[1], pomiar, err)) return 1;
  const TBrakingAnalysis braking = AnalyzeBraking(pomiar);
  out << DescribeMeasurement(pomiar)
      << DescribeBraking(braking, JudgeBraking(braking, StationDataOf(pomiar), pomiar.Hamulec.Utf8()));
  return 0;
}

int Export(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string file;
  std::string output;
  bool csv = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--csv") {
      csv = true;
    } else if (args[i] == "--out" && i + 1 < args.size()) {
      output = args[++i];
    } else if (file.empty() && !args[i].starts_with("--")) {
      file = args[i];
    } else {
      return Usage(err);
    }
  }
  if (file.empty() || !csv) return Usage(err);
  TPomiar pomiar;
  if (!Load(file, pomiar, err)) return 1;
  const std::string table = MeasurementCsv(pomiar);
  if (output.empty()) {
    out << table;
    return 0;
  }
  const int error =
      ReplaceFileContent(output, std::span(reinterpret_cast<const std::uint8_t*>(table.data()), table.size()));
  if (error != 0) {
    err << output << ": " << FileErrorText(error) << "\n";
    return 1;
  }
  return 0;
}

int Read(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TBankReadOptions options;
  options.portsFolder = PortsFolder();
  // Any non-zero answer means a terminal: Windows' runtime does not give 1.
  options.showProgress = ::isatty(::fileno(stderr)) != 0;
  bool haveBank = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--port" && hasValue) {
      options.port = args[++i];
    } else if (args[i] == "--bank" && hasValue) {
      const std::optional<std::int32_t> bank = ParseRuntimeInteger(args[++i]);
      if (!bank || *bank < 1 || *bank > 12) return Usage(err);
      options.bank = *bank;
      haveBank = true;
    } else if (args[i] == "--out" && hasValue) {
      options.out = args[++i];
    } else {
      return Usage(err);
    }
  }
  if (options.port.empty() || options.out.empty() || !haveBank) return Usage(err);
  return ReadBankCommand(options, out, err);
}

bool AsksForHelp(const std::vector<std::string>& arguments) {
  return std::any_of(arguments.begin(), arguments.end(),
                     [](const std::string& a) { return a == "--help" || a == "-h"; });
}

} // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.empty()) return Usage(err);
  if (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help") {
    out << UsageText();
    return 0;
  }
  if (AsksForHelp(arguments)) {
    if (!IsCommand(arguments[0])) return Usage(err);
    out << UsageText(arguments[0]);
    return 0;
  }
  if (arguments[0] == "read") {
    const bool batch = std::any_of(arguments.begin(), arguments.end(),
                                   [](const std::string& a) { return a == "--all" || a == "--banks" || a == "--dir"; });
    return batch ? ReadBanksCommand(arguments, out, err) : Read(arguments, out, err);
  }
  if (arguments[0] == "list") return ListCommand(arguments, out, err);
  if (arguments[0] == "show") return Show(arguments, out, err);
  if (arguments[0] == "export") return Export(arguments, out, err);
  if (arguments[0] == "report") return ReportCommand(arguments, err);
  if (arguments[0] == "ports") return PortsCommand(arguments, out, err);
  return Usage(err);
}

} // namespace zr7
