#include "platform/plain_message_loop.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace zr7 {

namespace {
using Clock = std::chrono::steady_clock;
class PlainMessageWindow;
class PlainTimer;
} // namespace

struct PlainMessageLoop::Core {
  struct Entry {
    std::shared_ptr<PlainMessageWindow> window;
    Message message;
  };
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<Entry> queue; // guarded by mutex
  bool closed = false;     // guarded by mutex
  // Timers are created, started and fired on the owner thread only.
  std::vector<PlainTimer*> timers;
};

namespace {

using Core = PlainMessageLoop::Core;

class PlainMessageWindow final : public MessageWindow, public std::enable_shared_from_this<PlainMessageWindow> {
public:
  PlainMessageWindow(std::shared_ptr<Core> core, WindowProcedure procedure)
      : core_(std::move(core)), procedure_(std::move(procedure)) {}

  bool Post(Message message) override {
    std::lock_guard lock(core_->mutex);
    if (!alive_ || core_->closed) return false;
    core_->queue.push_back({shared_from_this(), std::move(message)});
    core_->wake.notify_one();
    return true;
  }

  void Destroy() override {
    std::deque<Core::Entry> dropped;
    {
      std::lock_guard lock(core_->mutex);
      if (!alive_) return;
      alive_ = false;
      std::deque<Core::Entry> kept;
      for (auto& entry : core_->queue) (entry.window.get() == this ? dropped : kept).push_back(std::move(entry));
      core_->queue.swap(kept);
    }
    // The dropped messages and their buffers are freed here, outside the lock.
  }

  // Owner thread; alive_ changes only there, so no lock is needed to read it.
  void Dispatch(Message& message) {
    if (alive_ && procedure_) procedure_(message);
  }

private:
  std::shared_ptr<Core> core_;
  WindowProcedure procedure_;
  bool alive_ = true;
};

class PlainTimer final : public OneShotTimer {
public:
  PlainTimer(std::shared_ptr<Core> core, std::function<void()> onTimer)
      : core_(std::move(core)), onTimer_(std::move(onTimer)) {
    core_->timers.push_back(this);
  }
  ~PlainTimer() override { std::erase(core_->timers, this); }

  void Start(std::chrono::milliseconds interval) override {
    deadline_ = Clock::now() + interval;
    active_ = true;
  }
  void Stop() override { active_ = false; }
  bool IsActive() const override { return active_; }

  Clock::time_point Deadline() const { return deadline_; }

  // Copies the handler first: it may destroy this timer.
  void Fire() {
    active_ = false;
    auto onTimer = onTimer_;
    if (onTimer) onTimer();
  }

private:
  std::shared_ptr<Core> core_;
  std::function<void()> onTimer_;
  Clock::time_point deadline_{};
  bool active_ = false;
};

PlainTimer* EarliestTimer(const Core& core) {
  PlainTimer* earliest = nullptr;
  for (PlainTimer* timer : core.timers)
    if (timer->IsActive() && (!earliest || timer->Deadline() < earliest->Deadline())) earliest = timer;
  return earliest;
}

// Dispatches one posted message or one due timer; otherwise sleeps until
// something is posted, a timer falls due or the limit passes. Returns false
// only when the limit has passed with nothing to do.
bool DispatchOne(Core& core, std::optional<Clock::time_point> limit) {
  std::unique_lock lock(core.mutex);
  if (!core.queue.empty()) {
    Core::Entry entry = std::move(core.queue.front());
    core.queue.pop_front();
    lock.unlock();
    if (entry.message.Call)
      entry.message.Call();
    else
      entry.window->Dispatch(entry.message);
    return true;
  }
  PlainTimer* timer = EarliestTimer(core);
  auto now = Clock::now();
  if (timer && timer->Deadline() <= now) {
    lock.unlock();
    timer->Fire();
    return true;
  }
  if (limit && *limit <= now) return false;
  std::optional<Clock::time_point> until = limit;
  if (timer && (!until || timer->Deadline() < *until)) until = timer->Deadline();
  if (until)
    core.wake.wait_until(lock, *until);
  else
    core.wake.wait(lock);
  return true;
}

} // namespace

PlainMessageLoop::PlainMessageLoop() : core_(std::make_shared<Core>()) {}

PlainMessageLoop::~PlainMessageLoop() {
  std::deque<Core::Entry> dropped;
  std::lock_guard lock(core_->mutex);
  core_->closed = true;
  dropped.swap(core_->queue);
}

std::shared_ptr<MessageWindow> PlainMessageLoop::CreateMessageWindow(WindowProcedure procedure) {
  return std::make_shared<PlainMessageWindow>(core_, std::move(procedure));
}

std::unique_ptr<OneShotTimer> PlainMessageLoop::CreateTimer(std::function<void()> onTimer) {
  return std::make_unique<PlainTimer>(core_, std::move(onTimer));
}

void PlainMessageLoop::ProcessMessagesUntil(const std::function<bool()>& done) {
  while (!done()) DispatchOne(*core_, std::nullopt);
}

bool PlainMessageLoop::ProcessMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto limit = Clock::now() + timeout;
  while (!done())
    if (!DispatchOne(*core_, limit)) return done();
  return true;
}

} // namespace zr7
