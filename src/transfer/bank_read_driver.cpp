#include "bank_read_driver.h"

namespace zr7 {
namespace {

// A late answer to the timed-out request must not be taken for the next
// one's: the line is listened to, and what arrives dropped, until a whole
// quiet period has passed without a byte.
void WaitForQuietLine(TBankRead& read, TComm32& comm, MessageLoop& loop, OneShotTimer& timerRS) {
  const std::chrono::milliseconds period(kQuietRxTimeOuts * comm.RxTimeOut);
  const auto deadline = std::chrono::steady_clock::now() + kLongestQuietWait;
  do {
    read.BeginQuietPeriod();
    timerRS.Start(period);
    loop.ProcessMessagesUntil([&] { return read.QuietPeriodOver() || !comm.IsOpen(); });
    timerRS.Stop();
  } while (read.HeardDuringQuietPeriod() && comm.IsOpen() && std::chrono::steady_clock::now() < deadline);
  read.EndQuietWait();
}

// Hands the component's received chunks to the read while it runs; an
// answer that completes stops the answer timer at once.
class TReceiveHook {
public:
  TReceiveHook(TComm32& comm, TBankRead& read, OneShotTimer& timerRS)
      : comm_(comm), previous_(std::move(comm.OnReceiveData)) {
    comm_.OnReceiveData = [&read, &timerRS](const char* buffer, std::uint16_t length) {
      if (read.Receive({reinterpret_cast<const std::uint8_t*>(buffer), length})) timerRS.Stop();
    };
  }
  ~TReceiveHook() { comm_.OnReceiveData = std::move(previous_); }
  TReceiveHook(const TReceiveHook&) = delete;
  TReceiveHook& operator=(const TReceiveHook&) = delete;

private:
  TComm32& comm_;
  TReceiveDataEvent previous_;
};

} // namespace

TTimeAxis DriveBankRead(TBankRead& read, TComm32& comm, MessageLoop& loop,
                        const std::function<void(const TRequestOutcome&)>& onOutcome) {
  const std::unique_ptr<OneShotTimer> timerRS = loop.CreateTimer([&read] { read.TimeOut(); });
  const TReceiveHook hook(comm, read, *timerRS);
  while (!read.Finished()) {
    const std::string request = read.BeginRequest();
    comm.SendBytes(request.data(), static_cast<std::uint16_t>(request.size()));
    timerRS->Start(kAnswerTimeout);
    loop.ProcessMessagesUntil(
        [&] { return read.StatusRS() != TRequestWait::kWaiting || !comm.IsOpen() || read.GivenUp(); });
    timerRS->Stop();
    const TRequestOutcome outcome = read.EndRequest();
    onOutcome(outcome);
    // A request left without its answer (timed out, or the read was stopped
    // during its wait) may still be answered: also after the read's last
    // request, so that a late answer reaches nothing that follows (the next
    // read, the next bank of a batch).
    if (read.StatusRS() != TRequestWait::kAnswered && comm.IsOpen()) WaitForQuietLine(read, comm, loop, *timerRS);
  }
  return read.Finish();
}

} // namespace zr7
