#include "memory_commands.h"

#include "bank_read_command.h"
#include "cli_commands.h"
#include "measurement/station_data.h"
#include "platform/file_io.h"
#include "platform/plain_message_loop.h"
#include "platform/system.h"
#include "qt_parts.h"
#include "text/number_format.h"
#include "transfer/bank_requests.h"
#include "transfer/instrument_memory.h"

#include <cstdio>
#include <filesystem>
#include <algorithm>
#include <system_error>
#include <unistd.h>

namespace zr7 {
namespace {

// "1,3,5": bank numbers 1 to 12, each once, in the order given.
std::optional<std::vector<int>> ParseBanks(const std::string& text) {
  std::vector<int> banks;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const auto bank = ParseRuntimeInteger(text.substr(start, comma - start));
    if (!bank || *bank < 1 || *bank > kBankCount || std::find(banks.begin(), banks.end(), *bank) != banks.end()) {
      return std::nullopt;
    }
    banks.push_back(*bank);
    if (comma == std::string::npos) return banks;
    start = comma + 1;
  }
}

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// The deviation is known for the service brake only, as the window shows it.
std::string DeviationText(const TStoredTest& test) {
  return test.brakeKind == 1 ? FormatFixed(test.deviation, 1, ".") : "";
}

void PrintTable(const std::vector<TBankHeader>& headers, std::ostream& out) {
  for (const TBankHeader& h : headers) {
    out << h.bank;
    if (h.test) {
      out << '\t' << h.test->Date() << '\t' << h.test->Time() << '\t' << h.test->BrakeText() << '\t'
          << FormatFixed(h.test->DurationSeconds(), 3, ".") << '\t' << DeviationText(*h.test);
    } else {
      out << "\t\t\t\t\t";
    }
    out << '\n';
  }
}

void PrintJson(const std::vector<TBankHeader>& headers, std::ostream& out) {
  out << "[\n";
  for (std::size_t i = 0; i < headers.size(); ++i) {
    const TBankHeader& h = headers[i];
    out << "  {\"bank\": " << h.bank << ", \"read\": " << (h.read ? "true" : "false");
    if (!h.read) out << ", \"error\": " << JsonString(h.reason);
    if (h.test) {
      out << ", \"test\": {\"date\": \"" << h.test->Date() << "\", \"time\": \"" << h.test->Time()
          << "\", \"brake_kind\": " << h.test->brakeKind << ", \"brake\": " << JsonString(h.test->BrakeText())
          << ", \"samples\": " << h.test->sampleCount
          << ", \"duration_s\": " << FormatFixed(h.test->DurationSeconds(), 3, ".")
          << ", \"deviation_m\": " << (h.test->brakeKind == 1 ? DeviationText(*h.test) : "null") << "}";
    } else {
      out << ", \"test\": null";
    }
    out << "}" << (i + 1 < headers.size() ? "," : "") << "\n";
  }
  out << "]\n";
}

// Standard error shows one progress line while it is a terminal.
TMemoryProgress ProgressOnTerminal(std::ostream& err) {
  if (::isatty(::fileno(stderr)) == 0) return {};
  return [&err](int done, int total) { err << "\r" << done << "/" << total << std::flush; };
}

} // namespace

int ListCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TBankReadOptions options;
  options.portsFolder = PortsFolder();
  bool json = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--port" && i + 1 < args.size()) {
      options.port = args[++i];
    } else if (args[i] == "--json") {
      json = true;
    } else {
      return UsageOf(err, "list");
    }
  }
  if (options.port.empty()) return UsageOf(err, "list");

  PlainMessageLoop loop;
  TComm32 comm(loop);
  if (!OpenInstrumentPort(comm, options, err)) return 1;
  TReadStopper stopper;
  const TMemoryProgress progress = ProgressOnTerminal(err);
  const std::vector<TBankHeader> headers = ReadBankHeaders(comm, loop, AllBanks(), stopper, progress);
  comm.ClosePort();
  if (progress) err << "\n";

  if (json) {
    PrintJson(headers, out);
  } else {
    PrintTable(headers, out);
  }
  int unread = 0;
  for (const TBankHeader& h : headers) {
    if (h.read) continue;
    ++unread;
    err << "bank " << h.bank << ": " << h.reason << "\n";
  }
  return unread == 0 ? 0 : 1;
}

int ReadBanksCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TBankReadOptions options;
  options.portsFolder = PortsFolder();
  std::optional<std::vector<int>> banks;
  std::string folder;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--port" && hasValue) {
      options.port = args[++i];
    } else if (args[i] == "--all" && !banks) {
      banks = AllBanks();
    } else if (args[i] == "--banks" && hasValue && !banks) {
      banks = ParseBanks(args[++i]);
      if (!banks) return UsageOf(err, "read");
    } else if (args[i] == "--dir" && hasValue) {
      folder = args[++i];
    } else {
      return UsageOf(err, "read");
    }
  }
  if (options.port.empty() || folder.empty() || !banks) return UsageOf(err, "read");

  std::error_code error;
  const std::filesystem::path folderPath = PathFromUtf8(folder);
  std::filesystem::create_directories(folderPath, error);
  if (error) {
    err << folder << ": " << error.message() << "\n";
    return 1;
  }
  PlainMessageLoop loop;
  TComm32 comm(loop);
  if (!OpenInstrumentPort(comm, options, err)) return 1;
  TReadStopper stopper;
  const TMemoryProgress progress = ProgressOnTerminal(err);
  const TBatchSettings settings{folderPath, StationDataAtStart(), SystemDecimalSeparator()};
  const std::vector<TBankFileEntry> entries = ReadBanksIntoFolder(comm, loop, *banks, settings, stopper, progress);
  comm.ClosePort();
  if (progress) err << "\n";

  out << DescribeBatch(entries);
  const bool failed = std::any_of(entries.begin(), entries.end(),
                                  [](const TBankFileEntry& e) { return e.outcome == TBankFileOutcome::Failed; });
  return failed ? 1 : 0;
}

} // namespace zr7
