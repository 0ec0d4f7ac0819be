#pragma once

#include "platform/message_loop.h"

#include <memory>

namespace zr7 {

// The message loop on a condition variable and a queue, for the command
// line program and the core's tests. Posted messages are dispatched before
// due timers, in the order they were posted.
class PlainMessageLoop final : public MessageLoop {
public:
  PlainMessageLoop();
  ~PlainMessageLoop() override;
  PlainMessageLoop(const PlainMessageLoop&) = delete;
  PlainMessageLoop& operator=(const PlainMessageLoop&) = delete;

  std::shared_ptr<MessageWindow> CreateMessageWindow(WindowProcedure procedure) override;
  std::unique_ptr<OneShotTimer> CreateTimer(std::function<void()> onTimer) override;
  void ProcessMessagesUntil(const std::function<bool()>& done) override;
  bool ProcessMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) override;

  struct Core;

private:
  std::shared_ptr<Core> core_;
};

} // namespace zr7
