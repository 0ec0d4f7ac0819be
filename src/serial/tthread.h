#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zr7 {

// A worker thread object: a subclass overrides Execute. The running thread
// keeps its object alive, so an owner may let go of a thread that will not
// end without pulling the object from under it.
class TThread {
public:
  virtual ~TThread();

  // Runs Execute on a thread of its own, raised prioritySteps above normal,
  // then onEnd on the same thread. Throws std::system_error when the system
  // cannot make the thread.
  static void Start(const std::shared_ptr<TThread>& thread, int prioritySteps, std::function<void()> onEnd);

  bool Finished() const;
  // Waits up to timeout for Execute to return; true when it has.
  bool WaitFor(std::chrono::milliseconds timeout);
  // Asks the thread to deliver nothing more. Used on a thread that has not
  // ended in time, before it is abandoned.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Lets a thread that will not end run on alone; it ends when it can.
  void Abandon();

protected:
  virtual void Execute() = 0;

private:
  mutable std::mutex mutex_;
  std::condition_variable ended_;
  bool finished_ = false;
  std::atomic<bool> terminated_{false};
  std::thread thread_;
};

} // namespace zr7
