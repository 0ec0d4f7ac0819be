#pragma once

#include "bank_read.h"
#include "measurement/station_data.h"
#include "platform/message_loop.h"
#include "serial/comm32.h"
#include "stored_test.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zr7 {

// Stops a running read of the instrument's memory between or within its
// requests (the operator's Escape): the wait under way ends at once and no
// further request is made. The link stays open.
class TReadStopper {
public:
  void Stop();
  bool Stopped() const { return stopped_; }
  // The read now running, which Stop gives up; null between reads.
  void Attach(TBankRead* read) { current_ = read; }

private:
  bool stopped_ = false;
  TBankRead* current_ = nullptr;
};

// One row of the list of stored tests.
struct TBankHeader {
  int bank = 1;
  std::optional<TStoredTest> test; // none: the bank holds no test, or it was not read
  bool read = false;               // every request of the header was answered well
  std::string reason;              // why it was not read (Polish, UTF-8)
};

// Called after each request with the requests made so far and all the
// requests the run would make, for one progress of the whole run.
using TMemoryProgress = std::function<void(int done, int total)>;

// Reads the header blocks of the given banks, 4 requests each, in order. A
// bank whose header goes unanswered or malformed is marked unread with the
// reason, and the next one is asked; a stop or a closed port leaves the
// rest unread.
std::vector<TBankHeader> ReadBankHeaders(TComm32& comm, MessageLoop& loop, const std::vector<int>& banks,
                                         TReadStopper& stopper, const TMemoryProgress& progress = {});

enum class TBankFileOutcome {
  Written,   // the test is in a new file
  Identical, // a file of its name holds exactly this test: left as it is
  Empty,     // the bank holds no test: nothing written
  Failed,    // not read or not written: see the reason
};

struct TBankFileEntry {
  int bank = 1;
  TBankFileOutcome outcome = TBankFileOutcome::Failed;
  std::filesystem::path file; // written or identical
  std::string reason;         // Failed: why (Polish, UTF-8)
};

// What a batch puts into each file beside the test: the station and vehicle
// data, and the regional decimal separator of the deviation text.
struct TBatchSettings {
  std::filesystem::path folder;
  TStationData station;
  std::string decimalSeparator = ",";
};

// Reads each given bank whole and writes its test into the folder as
// BankFileName gives it, as the window's save writes it. A file of that name
// with the same bytes is left alone; a different one is never replaced: the
// test goes to the first copy name free or identical. The first request left
// unanswered or malformed fails its bank only; the next bank is read after
// the line has fallen quiet. A stop or a closed port fails the rest.
std::vector<TBankFileEntry> ReadBanksIntoFolder(TComm32& comm, MessageLoop& loop, const std::vector<int>& banks,
                                                const TBatchSettings& settings, TReadStopper& stopper,
                                                const TMemoryProgress& progress = {});

// The text a summary shows for an outcome (Polish, UTF-8): "zapisany",
// "identyczny plik już jest", "brak pomiaru", "błąd".
std::string OutcomeText(TBankFileOutcome outcome);

// What a batch did, as the window and zr7-cli tell it (Polish, UTF-8): one
// line a bank with its file and any reason, then the counts.
std::string DescribeBatch(const std::vector<TBankFileEntry>& entries);

// Banks 1 to 12, in order.
std::vector<int> AllBanks();

} // namespace zr7
