#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace zr7 {

struct TBankReadOptions {
  std::string port; // "COMn" or a device path
  int bank = 1;
  std::string out;
  std::filesystem::path portsFolder;
  // Deliver each answer at its line feed; off waits out the silence after it.
  bool rxTerminator = true;
  bool showProgress = false;
};

// Reads a bank from the instrument into a measurement file, as the window
// would save it right after the read (station data from konfiguracja.txt in
// the working directory when there is one). Writes a one-line summary to out.
// Nothing is written unless every request was answered well, so the first
// request left unanswered ends the read: exit code 0 for a written file, 1
// otherwise with the reason on err.
int ReadBankCommand(const TBankReadOptions& options, std::ostream& out, std::ostream& err);

class TComm32;

// Opens the instrument's port with the link settings, a failure said on err.
bool OpenInstrumentPort(TComm32& comm, const TBankReadOptions& options, std::ostream& err);

// The station data a saved record carries: konfiguracja.txt in the working
// directory when there is one, as the window shows it at start.
struct TStationData;
TStationData StationDataAtStart();

} // namespace zr7
