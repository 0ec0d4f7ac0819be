#include "serial/write_queue.h"

namespace zr7 {

std::unique_ptr<WriteQueue> WriteQueue::Create(int& error) {
  auto input = Event::Create(error);
  if (!input) return nullptr;
  return std::unique_ptr<WriteQueue>(new WriteQueue(std::move(input)));
}

bool WriteQueue::Post(Message message) {
  std::lock_guard lock(mutex_);
  if (closed_) return false;
  messages_.push_back(std::move(message));
  input_->Set();
  return true;
}

std::optional<Message> WriteQueue::TryTake() {
  std::lock_guard lock(mutex_);
  if (messages_.empty()) return std::nullopt;
  Message message = std::move(messages_.front());
  messages_.pop_front();
  if (messages_.empty()) input_->Reset();
  return message;
}

void WriteQueue::Close() {
  std::deque<Message> dropped;
  std::lock_guard lock(mutex_);
  closed_ = true;
  dropped.swap(messages_);
  input_->Reset();
}

} // namespace zr7
