#include "cli_commands.h"

#include "bank_read_command.h"
#include "platform/qt/ports_folder.h"
#include "platform/serial_adapters.h"
#include "report/report_pdf.h"
#include "text/number_format.h"

#include "measurement/braking_description.h"
#include "measurement/file_io.h"
#include "measurement/measurement_export.h"
#include "measurement/measurement_file.h"
#include "text/file_error_text.h"

#include <QApplication>

#include <algorithm>
#include <memory>
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
     "                                         (COM1..COM32 or a device path) into a measurement file\n"},
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
     "                                         --dev DIR: look for adapters in DIR instead of /dev\n"},
};

std::string UsageText(std::string_view command = {}) {
  std::string text = "usage:\n";
  for (const TCommandUsage& usage : kCommands) {
    if (command.empty() || command == usage.name) text += usage.lines;
  }
  return text;
}

bool IsCommand(std::string_view name) {
  return std::any_of(std::begin(kCommands), std::end(kCommands), [&](const TCommandUsage& c) { return name == c.name; });
}

int Usage(std::ostream& err) {
  err << UsageText();
  return 2;
}

// Loads a measurement file, telling why when it cannot.
bool Load(const std::string& path, TPomiar& pomiar, std::ostream& err) {
  const TLoadResult loaded = LoadMeasurementFile(path, pomiar);
  if (loaded.error != 0) {
    err << path << ": " << FileErrorText(loaded.error) << "\n";
  } else if (!loaded.refusal.empty()) {
    err << path << ": " << loaded.refusal << "\n";
  }
  return loaded.Ok();
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return Usage(err);
  TPomiar pomiar;
  if (!Load(args[1], pomiar, err)) return 1;
  out << DescribeMeasurement(pomiar) << DescribeBraking(AnalyzeBraking(pomiar));
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

int Report(const std::vector<std::string>& args, std::ostream& err) {
  std::string file;
  std::string pdf;
  QPageSize paper(QPageSize::A4);
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
  bool brakingAnalysis = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--pdf" && hasValue) {
      pdf = args[++i];
    } else if (args[i] == "--paper" && hasValue) {
      const std::string name = args[++i];
      if (name != "A4" && name != "Letter") return Usage(err);
      paper = QPageSize(name == "A4" ? QPageSize::A4 : QPageSize::Letter);
    } else if (args[i] == "--landscape") {
      orientation = QPageLayout::Landscape;
    } else if (args[i] == "--analysis") {
      brakingAnalysis = true;
    } else if (file.empty() && !args[i].starts_with("--")) {
      file = args[i];
    } else {
      return Usage(err);
    }
  }
  if (file.empty() || pdf.empty()) return Usage(err);
  TPomiar pomiar;
  if (!Load(file, pomiar, err)) return 1;
  // The page draws the chart widget, which needs an application; without a
  // display it draws offscreen.
  std::unique_ptr<QApplication> application;
  if (QCoreApplication::instance() == nullptr) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "zr7-cli";
    static char* argv[] = {name, nullptr};
    application = std::make_unique<QApplication>(argc, argv);
  }
  QString error;
  if (!RenderReportPdf(pomiar, QString::fromStdString(pdf), paper, orientation, &error, brakingAnalysis)) {
    err << pdf << ": " << error.toStdString() << "\n";
    return 1;
  }
  return 0;
}

int Read(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TBankReadOptions options;
  options.portsFolder = ComPortsFolder();
  options.showProgress = ::isatty(STDERR_FILENO) == 1;
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

int Ports(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TAdapterFolders folders;
  folders.ports = ComPortsFolder();
  std::vector<std::string> link;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--dev" && i + 1 < args.size()) {
      folders.dev = args[++i];
    } else if (args[i] == "--link" && i + 2 < args.size()) {
      link = {args[i + 1], args[i + 2]};
      i += 2;
    } else {
      return Usage(err);
    }
  }
  if (link.empty()) {
    out << DescribeAdapterScan(ScanSerialAdapters(folders, ProbeDevice), folders);
    return 0;
  }
  const TLinkResult result = LinkComPort(link[0], link[1], folders);
  if (!result.error.empty()) {
    err << result.error << "\n";
    return 1;
  }
  out << result.message;
  return 0;
}

bool AsksForHelp(const std::vector<std::string>& arguments) {
  return std::any_of(arguments.begin(), arguments.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
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
  if (arguments[0] == "read") return Read(arguments, out, err);
  if (arguments[0] == "show") return Show(arguments, out, err);
  if (arguments[0] == "export") return Export(arguments, out, err);
  if (arguments[0] == "report") return Report(arguments, err);
  if (arguments[0] == "ports") return Ports(arguments, out, err);
  return Usage(err);
}

} // namespace zr7
