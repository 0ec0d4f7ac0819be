#pragma once

#include "platform/message_loop.h"

namespace zr7 {

// The message loop seam on Qt's event loop, for the window: messages are
// posted events, waits are nested event loops and timers are QTimers. Make
// it on the thread that runs the QCoreApplication.
class QtMessageLoop final : public MessageLoop {
public:
  std::shared_ptr<MessageWindow> CreateMessageWindow(WindowProcedure procedure) override;
  std::unique_ptr<OneShotTimer> CreateTimer(std::function<void()> onTimer) override;
  void ProcessMessagesUntil(const std::function<bool()>& done) override;
  bool ProcessMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) override;
};

} // namespace zr7
