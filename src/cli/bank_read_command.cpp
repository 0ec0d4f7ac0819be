#include "bank_read_command.h"

#include "measurement/measurement_export.h"
#include "measurement/measurement_file.h"
#include "platform/plain_message_loop.h"
#include "platform/system.h"
#include "measurement/konfiguracja.h"
#include "text/file_error_text.h"
#include "text/number_format.h"
#include "transfer/bank_read_driver.h"
#include "transfer/bank_requests.h"
#include "transfer/instrument_link.h"
#include "transfer/transfer_texts.h"

namespace zr7 {
namespace {

// The texts the window's save would put into the record after this read:
// the station data from konfiguracja.txt, as the window shows it at start.
void FillTexts(TBankContents& bank, const THeaderCaptions& captions) {
  FillRecordTexts(bank.Pomiar, {captions.Ldata, captions.Lgodzina, bank.HamulecTxt, bank.UwagaTxt, bank.OdchylenieTxt},
                  StationDataAtStart());
}

} // namespace

TStationData StationDataAtStart() {
  TStationData station;
  if (TKonfiguracja konfiguracja; ReadKonfiguracja(kKonfiguracjaFileName, konfiguracja) == 0) {
    station = WithKonfiguracja(station, konfiguracja);
  }
  return station;
}

bool OpenInstrumentPort(TComm32& comm, const TBankReadOptions& options, std::ostream& err) {
  ConfigureForInstrument(comm, options.rxTerminator);
  comm.CommPort = options.port;
  comm.PortsFolder = options.portsFolder;
  try {
    comm.OpenPort();
  } catch (const ECommsError& error) {
    err << options.port << ": " << WithFullStop(error.what()) << "\n";
    return false;
  }
  return true;
}

int ReadBankCommand(const TBankReadOptions& options, std::ostream& out, std::ostream& err) {
  PlainMessageLoop loop;
  TComm32 comm(loop);
  if (!OpenInstrumentPort(comm, options, err)) return 1;

  TBankContents state;
  // The deviation text as the window would write it on this machine.
  TBankRead read(state, options.bank, SystemDecimalSeparator());
  bool hungUp = false;
  comm.OnRequestHangup = [&](TComm32*) {
    hungUp = true;
    comm.ClosePort();
  };

  // A file is written only from a read with every answer, so the first
  // request left unanswered ends the read.
  const std::vector<TRequest> requests = BankRequests(options.bank);
  std::size_t requestsMade = 0;
  std::optional<TRequest> unanswered;
  bool malformed = false;
  int progress = 0;
  THeaderCaptions captions;
  DriveBankRead(read, comm, loop, [&](const TRequestOutcome& outcome) {
    const TRequest& request = requests[requestsMade++];
    if (outcome.timedOut) {
      unanswered = request;
      read.GiveUp();
    }
    malformed |= outcome.failed;
    if (outcome.header) captions = *outcome.header;
    if (outcome.advanceProgress && options.showProgress) {
      err << "\rblok " << ++progress << "/" << TBankRead::kProgressMaximum << std::flush;
    }
  });
  const bool portClosed = !comm.IsOpen();
  comm.ClosePort();
  if (options.showProgress) err << "\n";

  if (hungUp || portClosed) {
    err << options.port << ": the port closed during the read (adapter unplugged?); nothing written\n";
    return 1;
  }
  if (malformed) {
    err << kReadErrorMessage << " (malformed answer); nothing written\n";
    return 1;
  }
  if (unanswered) {
    std::string request = unanswered->Bytes();
    request.pop_back(); // its CR
    err << options.port << ": request " << requestsMade << " of " << requests.size() << " (" << request
        << ") unanswered within " << kAnswerTimeout.count() << " ms:" << kStatusTimeOut
        << " Is the instrument switched on and connected? The read was given up; nothing written\n";
    return 1;
  }
  FillTexts(state, captions);
  if (const int error = SaveMeasurementFile(options.out, state.Pomiar); error != 0) {
    err << options.out << ": " << FileErrorText(error) << "\n";
    return 1;
  }
  const TMaxima maxima = Maxima(state.Pomiar);
  out << captions.Ldata << " " << captions.Lgodzina << ", " << captions.lHamulec << ", " << state.IloscProbek
      << " samples, a max " << FormatFixed(maxima.a, 1, ".") << " m/s2, F max " << FormatFixed(maxima.F, 0, ".")
      << " daN\n";
  return 0;
}

} // namespace zr7
