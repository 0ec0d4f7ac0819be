#include "platform/message_loop.h"

namespace zr7 {

bool MessageWindow::PostCall(std::function<void()> call) {
  Message message;
  message.Call = std::move(call);
  return Post(std::move(message));
}

} // namespace zr7
