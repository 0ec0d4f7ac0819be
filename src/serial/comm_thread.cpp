#include "serial/comm_thread.h"

#include "serial/comm_messages.h"

namespace zr7 {

TCommThread::TCommThread(std::shared_ptr<SerialDevice> commFile, std::shared_ptr<Event> closeEvent,
                         std::shared_ptr<zr7::MessageWindow> messageWindow)
    : CommFile(std::move(commFile)), CloseEvent(std::move(closeEvent)), HiddenWindow(std::move(messageWindow)) {}

bool TCommThread::PostToWindow(std::uint32_t msg, std::uintptr_t wParam, std::unique_ptr<std::uint8_t[]> buffer) {
  if (Terminated()) return false;
  Message message;
  message.Msg = msg;
  message.WParam = wParam;
  message.Buffer = std::move(buffer);
  return HiddenWindow->Post(std::move(message));
}

void TCommThread::PostHangup() {
  // A thread stopped by CloseEvent has not failed, whatever step saw it.
  if (hangupPosted_ || CloseEvent->IsSet()) return;
  hangupPosted_ = true;
  PostToWindow(WM_COMM_HANGUP, 0);
}

} // namespace zr7
