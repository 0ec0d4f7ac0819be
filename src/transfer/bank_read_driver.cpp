#include "bank_read_driver.h"

namespace zr7 {

TTimeAxis DriveBankRead(TBankRead& read, TComm32& comm, MessageLoop& loop, OneShotTimer& timerRS,
                        const std::function<void(const TRequestOutcome&)>& onOutcome) {
  while (!read.Finished()) {
    const std::string request = read.BeginRequest();
    comm.SendBytes(request.data(), static_cast<std::uint16_t>(request.size()));
    timerRS.Start(kAnswerTimeout);
    loop.ProcessMessagesUntil([&] { return read.StatusRS() != TRequestWait::kWaiting || !comm.IsOpen(); });
    timerRS.Stop();
    onOutcome(read.EndRequest());
  }
  return read.Finish();
}

} // namespace zr7
