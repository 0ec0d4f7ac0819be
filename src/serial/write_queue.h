#pragma once

#include "platform/event.h"
#include "platform/message_loop.h"

#include <deque>
#include <memory>
#include <mutex>
#include <optional>

namespace zr7 {

// The writer thread's own message queue. Any thread posts; the writer takes
// without waiting and sleeps on InputEvent, which is set while the queue
// holds a message.
class WriteQueue {
public:
  // Null when no event can be made; error then holds the system's code.
  static std::unique_ptr<WriteQueue> Create(int& error);

  // False once the queue is closed; the message is then freed.
  bool Post(Message message);
  std::optional<Message> TryTake();
  Event& InputEvent() { return *input_; }
  // Refuses later posts and frees the messages still queued.
  void Close();

private:
  explicit WriteQueue(std::unique_ptr<Event> input) : input_(std::move(input)) {}
  std::mutex mutex_;
  std::deque<Message> messages_;
  bool closed_ = false;
  std::unique_ptr<Event> input_;
};

} // namespace zr7
