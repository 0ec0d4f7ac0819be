#include "sim_bank_file.h"

#include <istream>
#include <ostream>
#include <sstream>

namespace zr7::sim {

const char* const kBankFileHelp =
    "Bank file (--banks FILE), plain text, one item a line:\n"
    "  # comment             blank lines are skipped too\n"
    "  bank N                the following lines belong to bank N (1 to 12)\n"
    "  empty N               bank N holds no test (erased: every line -1 -1 -1)\n"
    "  h N1 N2 N3            the bank's next header line (at most 3)\n"
    "  s N1 N2 N3            the bank's next sample line (at most 528)\n"
    "Header line 1: day*256+month, (year-2000)*256+hour, minute*256+second.\n"
    "Header line 2: sample count-100, start angle [mrad], initial acceleration [cm/s2].\n"
    "Header line 3: brake kind*256+deviation [dm], two unused numbers.\n"
    "Sample line: X and Z in counts (2048 = 3 g), pedal force [daN]*256 + status bits.\n"
    "Lines not given answer \"0 0 0\". --dump writes the built-in banks in this form.\n";

TBankFileResult ReadBankFile(std::istream& in) {
  TSimBanks banks{};
  TSimBank* bank = nullptr;
  int headerLines = 0;
  int sampleLines = 0;
  std::string line;
  for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto fail = [&](const std::string& why) {
      return TBankFileResult{std::nullopt, "line " + std::to_string(lineNumber) + ": " + why};
    };
    std::istringstream fields(line);
    std::string keyword;
    if (!(fields >> keyword) || keyword[0] == '#') continue;
    if (keyword == "bank" || keyword == "empty") {
      int number = 0;
      if (!(fields >> number) || number < 1 || number > kBanks) return fail("bank number 1 to 12 expected");
      bank = &banks[number - 1];
      headerLines = sampleLines = 0;
      if (keyword == "empty") {
        // Its lines are erased memory; none may follow until the next "bank N".
        *bank = ErasedBank();
        bank = nullptr;
      }
      continue;
    }
    if (keyword != "h" && keyword != "s") return fail("unknown keyword \"" + keyword + "\"");
    if (bank == nullptr) return fail("\"bank N\" must come first");
    TSimLine numbers{};
    for (auto& n : numbers) {
      if (!(fields >> n)) return fail("three integers expected");
    }
    std::string rest;
    if (fields >> rest) return fail("more than three numbers");
    if (keyword == "h") {
      if (headerLines == kHeaderLinesPerBank) return fail("more than 3 header lines");
      bank->header[headerLines++] = numbers;
    } else {
      if (sampleLines == kSampleLinesPerBank) return fail("more than 528 sample lines");
      bank->samples[sampleLines++] = numbers;
    }
  }
  return {banks, ""};
}

void WriteBankFile(std::ostream& out, const TSimBanks& banks) {
  const auto write = [&out](char kind, const TSimLine& l) {
    out << kind << ' ' << l[0] << ' ' << l[1] << ' ' << l[2] << '\n';
  };
  for (int b = 1; b <= kBanks; ++b) {
    if (banks[b - 1] == ErasedBank()) {
      out << "empty " << b << '\n';
      continue;
    }
    out << "bank " << b << '\n';
    for (const auto& l : banks[b - 1].header) write('h', l);
    for (const auto& l : banks[b - 1].samples) write('s', l);
  }
}

} // namespace zr7::sim
