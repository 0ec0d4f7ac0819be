#include "instrument_memory.h"

#include "bank_read_driver.h"
#include "measurement/measurement_file.h"
#include "platform/file_io.h"
#include "text/file_error_text.h"
#include "transfer_texts.h"

#include <numeric>
#include <array>
#include <algorithm>
#include <cerrno>

namespace zr7 {
namespace {

constexpr const char* kStoppedReason = "odczyt przerwany";
constexpr const char* kPortClosedReason = "port zamknięty w trakcie odczytu";

// Drives one read until its end or its first request without a good answer
// (a bank is written only whole, so nothing after it is of use). The
// reason of the failure, empty for a read in which every request was answered.
std::string DriveToFirstFailure(TBankRead& read, int bank, TComm32& comm, MessageLoop& loop, TReadStopper& stopper,
                                const std::function<void(const TRequestOutcome&)>& onOutcome) {
  if (stopper.Stopped()) return kStoppedReason;
  if (!comm.IsOpen()) return kPortClosedReason;
  const std::vector<TRequest> requests = BankRequests(bank);
  std::string reason;
  int requestsMade = 0;
  stopper.Attach(&read);
  DriveBankRead(read, comm, loop, [&](const TRequestOutcome& outcome) {
    const std::string request = requests[static_cast<std::size_t>(requestsMade++)].Bytes();
    onOutcome(outcome);
    if (!reason.empty()) return;
    if (stopper.Stopped()) {
      reason = kStoppedReason;
    } else if (!comm.IsOpen()) {
      reason = kPortClosedReason;
    } else if (outcome.failed) {
      reason = std::string(kReadErrorMessage) + " (zła odpowiedź na zapytanie " +
               request.substr(0, request.size() - 1) + ")";
    } else if (read.StatusRS() != TRequestWait::kAnswered) {
      reason = "brak odpowiedzi na zapytanie " + request.substr(0, request.size() - 1) + " (" +
               std::to_string(requestsMade) + " z " + std::to_string(read.RequestCount()) + ")";
    }
    if (!reason.empty()) read.GiveUp();
  });
  stopper.Attach(nullptr);
  return reason;
}

// Counts the requests of a run for its one progress; a bank that ends early
// moves the count on by the requests it did not make.
class TRunProgress {
public:
  TRunProgress(const TMemoryProgress& report, int total) : report_(report), total_(total) {}
  void Request() { Report(++done_); }
  void BankEnded(int bankStart, int bankRequests) { Report(done_ = bankStart + bankRequests); }
  int Done() const { return done_; }

private:
  void Report(int done) {
    if (report_) report_(done, total_);
  }
  const TMemoryProgress& report_;
  int total_;
  int done_ = 0;
};

// Writes the image into the folder under the test's name, or finds it there.
TBankFileEntry WriteBankFile(const TBatchSettings& settings, int bank, const TStoredTest& test, const TPomiar& pomiar) {
  TBankFileEntry entry{bank, TBankFileOutcome::Failed, {}, {}};
  const TPomiarImage image = ToImage(pomiar);
  for (int copy = 1;; ++copy) {
    const std::filesystem::path path = settings.folder / BankFileName(test, bank, copy);
    const std::string pathText = Utf8OfPath(path);
    std::vector<std::uint8_t> existing;
    const int readError = ReadFileStart(pathText, kPomiarImageSize + 1, existing);
    if (readError == 0 && std::equal(existing.begin(), existing.end(), image.begin(), image.end())) {
      entry.outcome = TBankFileOutcome::Identical;
      entry.file = path;
      return entry;
    }
    if (readError == 0) continue; // a different file: never replaced
    if (readError != ENOENT) {
      entry.reason = pathText + ": " + FileErrorText(readError);
      return entry;
    }
    if (const int error = SaveMeasurementFile(pathText, pomiar); error != 0) {
      entry.reason = pathText + ": " + FileErrorText(error);
      return entry;
    }
    entry.outcome = TBankFileOutcome::Written;
    entry.file = path;
    return entry;
  }
}

} // namespace

void TReadStopper::Stop() {
  stopped_ = true;
  if (current_ != nullptr) current_->GiveUp();
}

std::vector<TBankHeader> ReadBankHeaders(TComm32& comm, MessageLoop& loop, const std::vector<int>& banks,
                                         TReadStopper& stopper, const TMemoryProgress& progress) {
  constexpr int kHeaderRequests = 1 + kHeaderLines;
  TRunProgress run(progress, static_cast<int>(banks.size()) * kHeaderRequests);
  std::vector<TBankHeader> headers;
  for (const int bank : banks) {
    const int start = run.Done();
    TBankContents contents;
    TBankRead read(contents, bank, ",", TBankPart::Header);
    TBankHeader header{bank, std::nullopt, false, {}};
    header.reason =
        DriveToFirstFailure(read, bank, comm, loop, stopper, [&](const TRequestOutcome&) { run.Request(); });
    header.read = header.reason.empty();
    if (header.read) header.test = StoredTestOf(contents.Naglowek);
    run.BankEnded(start, kHeaderRequests);
    headers.push_back(header);
  }
  return headers;
}

std::vector<TBankFileEntry> ReadBanksIntoFolder(TComm32& comm, MessageLoop& loop, const std::vector<int>& banks,
                                                const TBatchSettings& settings, TReadStopper& stopper,
                                                const TMemoryProgress& progress) {
  TRunProgress run(progress, static_cast<int>(banks.size()) * kRequestsPerBank);
  std::vector<TBankFileEntry> entries;
  for (const int bank : banks) {
    const int start = run.Done();
    TBankContents contents;
    TBankRead read(contents, bank, settings.decimalSeparator);
    THeaderCaptions captions;
    bool empty = false;
    const std::string reason =
        DriveToFirstFailure(read, bank, comm, loop, stopper, [&](const TRequestOutcome& outcome) {
          run.Request();
          if (!outcome.header) return;
          captions = *outcome.header;
          // A bank without a test has no samples worth asking for.
          if (!StoredTestOf(contents.Naglowek)) {
            empty = true;
            read.GiveUp();
          }
        });
    run.BankEnded(start, kRequestsPerBank);
    if (empty && reason.empty()) {
      entries.push_back({bank, TBankFileOutcome::Empty, {}, {}});
    } else if (!reason.empty()) {
      entries.push_back({bank, TBankFileOutcome::Failed, {}, reason});
    } else {
      FillRecordTexts(
          contents.Pomiar,
          {captions.Ldata, captions.Lgodzina, contents.HamulecTxt, contents.UwagaTxt, contents.OdchylenieTxt},
          settings.station);
      entries.push_back(WriteBankFile(settings, bank, *StoredTestOf(contents.Naglowek), contents.Pomiar));
    }
  }
  return entries;
}

std::string OutcomeText(TBankFileOutcome outcome) {
  switch (outcome) {
    case TBankFileOutcome::Written:
      return "zapisany";
    case TBankFileOutcome::Identical:
      return "identyczny plik już jest";
    case TBankFileOutcome::Empty:
      return "brak pomiaru";
    case TBankFileOutcome::Failed:
      break;
  }
  return "błąd";
}

std::string DescribeBatch(const std::vector<TBankFileEntry>& entries) {
  std::string text;
  std::array<int, 4> counts{};
  for (const TBankFileEntry& e : entries) {
    ++counts[static_cast<std::size_t>(e.outcome)];
    text += "bank " + std::to_string(e.bank) + ": " + OutcomeText(e.outcome);
    if (!e.file.empty()) text += " " + Utf8OfPath(e.file.filename());
    if (!e.reason.empty()) text += ": " + e.reason;
    text += "\n";
  }
  const auto count = [&](TBankFileOutcome outcome) {
    return std::to_string(counts[static_cast<std::size_t>(outcome)]);
  };
  return text + "odczytane i zapisane: " + count(TBankFileOutcome::Written) +
         ", pominięte (identyczne): " + count(TBankFileOutcome::Identical) +
         ", puste: " + count(TBankFileOutcome::Empty) + ", błędy: " + count(TBankFileOutcome::Failed) + "\n";
}

std::vector<int> AllBanks() {
  std::vector<int> banks(kBankCount);
  std::iota(banks.begin(), banks.end(), 1);
  return banks;
}

} // namespace zr7
