#pragma once

#include "platform/event.h"
#include "platform/message_loop.h"
#include "platform/serial_device.h"
#include "serial/tthread.h"

#include <cstdint>
#include <memory>

namespace zr7 {

// What the reader and the writer share: the three handles the component
// gives them before they run (the open device, the stop event and the
// component's message window), and posting to that window.
class TCommThread : public TThread {
public:
  TCommThread(std::shared_ptr<SerialDevice> commFile, std::shared_ptr<Event> closeEvent,
              std::shared_ptr<zr7::MessageWindow> messageWindow);

protected:
  // False when the window refuses the message or the thread has been
  // terminated; the message and its buffer are then freed.
  bool PostToWindow(std::uint32_t msg, std::uintptr_t wParam, std::unique_ptr<std::uint8_t[]> buffer = {});
  // Tells the component that this thread has failed and ends. Told once: a
  // failure that passes through several steps is still one failure; and
  // never when CloseEvent is set, as the thread is then only being stopped.
  void PostHangup();

  const std::shared_ptr<SerialDevice> CommFile;
  const std::shared_ptr<Event> CloseEvent;
  const std::shared_ptr<zr7::MessageWindow> HiddenWindow;

private:
  bool hangupPosted_ = false;
};

} // namespace zr7
