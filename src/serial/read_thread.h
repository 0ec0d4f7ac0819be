#pragma once

#include "serial/comm_thread.h"

#include <cstddef>
#include <cstdint>

namespace zr7 {

// The receiving half of the port: keeps one read and one wait for line
// errors pending on the device, and posts each completed read as
// WM_COMM_DATA and each line-error report as WM_COMM_ERROR to the
// component's message window. Ends when CloseEvent is set, or after any
// failure, which it reports with WM_COMM_HANGUP.
class TReadThread final : public TCommThread {
public:
  using TCommThread::TCommThread;

  static constexpr std::size_t kReadBufferSize = 2048;

protected:
  void Execute() override;

private:
  void Run();
  bool SetupReadEvent();
  bool HandleReadEvent();
  bool PostReadData(const std::uint8_t* bytes, std::size_t count);
  bool SetupCommEvent();
  bool HandleCommEvent(bool retrieve);

  std::unique_ptr<IoRecord> readRecord_;
  std::unique_ptr<IoRecord> eventRecord_;
  std::uint8_t buffer_[kReadBufferSize];
  std::uint32_t eventMask_ = 0;
  int lastError_ = 0; // the code of the last failed system call
};

} // namespace zr7
