#include "transfer/instrument_memory.h"
#include "file_content.h"

#include "platform/plain_message_loop.h"
#include "sim_process.h"
#include "temporary_directory.h"
#include "transfer/instrument_link.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

namespace zr7 {
namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

// The cores against zr7-sim on a real pseudo-terminal.
class InstrumentMemory : public ::testing::Test {
protected:
  void Connect(std::vector<std::string> simOptions) {
    simOptions.insert(simOptions.end(), {"--log", Log()});
    sim_.emplace(simOptions);
    ConfigureForInstrument(comm, true);
    comm.CommPort = sim_->FirstLine();
    comm.OpenPort();
  }
  std::string Log() const { return (directory.Path() / "requests.log").string(); }
  int RequestsReceived() const { return LineCount(Log()); }

  TWorkingDirectory directory;
  std::optional<TSimProcess> sim_;
  PlainMessageLoop loop;
  TComm32 comm{loop};
  TReadStopper stopper;
};

// A stop between requests ends the batch there: no further request, the
// rest of the banks not read, and the link still open.
TEST_F(InstrumentMemory, StopBetweenRequestsEndsTheBatch) {
  Connect({});
  const TBatchSettings settings{directory.Path() / "banks", {}, ","};
  std::filesystem::create_directories(settings.folder);
  int lastDone = 0;
  const auto entries = ReadBanksIntoFolder(comm, loop, {1, 2, 3}, settings, stopper, [&](int done, int total) {
    EXPECT_EQ(total, 3 * 544);
    lastDone = done;
    if (done == 600) stopper.Stop();
  });
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].outcome, TBankFileOutcome::Written);
  for (const std::size_t i : {1u, 2u}) {
    EXPECT_EQ(entries[i].outcome, TBankFileOutcome::Failed);
    EXPECT_EQ(entries[i].reason, "odczyt przerwany");
  }
  EXPECT_EQ(lastDone, 3 * 544); // the one progress runs to its end
  EXPECT_TRUE(comm.IsOpen());
  comm.ClosePort();
  EXPECT_EQ(RequestsReceived(), 600);
}

// A stop while a request waits for its answer ends the wait at once, long
// before the answer's time-out.
TEST_F(InstrumentMemory, StopEndsAWaitAtOnce) {
  Connect({"--silent"});
  const auto timer = loop.CreateTimer([&] { stopper.Stop(); });
  timer->Start(50ms);
  const auto start = TClock::now();
  const auto headers = ReadBankHeaders(comm, loop, {1, 2}, stopper);
  EXPECT_LT(TClock::now() - start, 400ms);
  ASSERT_EQ(headers.size(), 2u);
  for (const TBankHeader& h : headers) {
    EXPECT_FALSE(h.read);
    EXPECT_EQ(h.reason, "odczyt przerwany");
  }
  EXPECT_TRUE(comm.IsOpen());
}

} // namespace
} // namespace zr7
