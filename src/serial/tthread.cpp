#include "serial/tthread.h"

#include "platform/system.h"

namespace zr7 {

TThread::~TThread() {
  if (!thread_.joinable()) return;
  if (thread_.get_id() == std::this_thread::get_id())
    thread_.detach();
  else
    thread_.join();
}

void TThread::Start(const std::shared_ptr<TThread>& thread, int prioritySteps, std::function<void()> onEnd) {
  thread->thread_ = std::thread([thread, prioritySteps, onEnd = std::move(onEnd)] {
    RaiseCurrentThreadPriority(prioritySteps);
    thread->Execute();
    {
      std::lock_guard lock(thread->mutex_);
      thread->finished_ = true;
    }
    thread->ended_.notify_all();
    if (onEnd) onEnd();
  });
}

bool TThread::Finished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

bool TThread::WaitFor(std::chrono::milliseconds timeout) {
  {
    std::unique_lock lock(mutex_);
    if (!ended_.wait_for(lock, timeout, [this] { return finished_; })) return false;
  }
  // Execute has returned; only onEnd may still be running.
  if (thread_.joinable()) thread_.join();
  return true;
}

void TThread::Abandon() {
  if (thread_.joinable()) thread_.detach();
}

} // namespace zr7
