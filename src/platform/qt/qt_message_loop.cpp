#include "platform/qt/qt_message_loop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <mutex>
#include <optional>

namespace zr7 {

namespace {

const QEvent::Type kMessageEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent final : public QEvent {
public:
  explicit MessageEvent(Message message) : QEvent(kMessageEventType), message(std::move(message)) {}
  Message message;
};

class Receiver final : public QObject {
public:
  explicit Receiver(WindowProcedure procedure) : procedure_(std::move(procedure)) {}

  bool event(QEvent* event) override {
    if (event->type() != kMessageEventType) return QObject::event(event);
    Message& message = static_cast<MessageEvent*>(event)->message;
    if (message.Call)
      message.Call();
    else if (procedure_)
      procedure_(message);
    return true;
  }

private:
  WindowProcedure procedure_;
};

class QtMessageWindow final : public MessageWindow {
public:
  explicit QtMessageWindow(WindowProcedure procedure) : receiver_(new Receiver(std::move(procedure))) {}
  // The owner calls Destroy; a window let go of elsewhere (by a worker
  // holding the last reference) hands its receiver to the owner thread.
  ~QtMessageWindow() override {
    if (receiver_) receiver_->deleteLater();
  }

  bool Post(Message message) override {
    std::lock_guard lock(mutex_);
    if (!receiver_) return false;
    QCoreApplication::postEvent(receiver_, new MessageEvent(std::move(message)));
    return true;
  }

  // Deleting the receiver also deletes the events still posted to it, and
  // with them their buffers.
  void Destroy() override {
    Receiver* receiver;
    {
      std::lock_guard lock(mutex_);
      receiver = receiver_;
      receiver_ = nullptr;
    }
    delete receiver;
  }

private:
  std::mutex mutex_;
  Receiver* receiver_;
};

class QtTimer final : public OneShotTimer {
public:
  explicit QtTimer(std::function<void()> onTimer) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [onTimer = std::move(onTimer)] {
      if (onTimer) onTimer();
    });
  }
  void Start(std::chrono::milliseconds interval) override { timer_.start(interval); }
  void Stop() override { timer_.stop(); }
  bool IsActive() const override { return timer_.isActive(); }

private:
  QTimer timer_;
};

// Runs a nested event loop that ends once done() holds when the loop is
// about to sleep, or when the limit passes. Every event, a posted message
// as well as a click, leads to a check before the next sleep.
bool RunUntil(const std::function<bool()>& done, std::optional<std::chrono::milliseconds> timeout) {
  if (done()) return true;
  QEventLoop loop;
  bool ending = false;
  auto end = [&] {
    if (ending) return;
    ending = true;
    loop.exit();
  };
  QObject context;
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &context, [&] {
    if (done()) end();
  });
  QTimer limit;
  if (timeout) {
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &context, end);
    limit.start(*timeout);
  }
  loop.exec();
  return done();
}

} // namespace

std::shared_ptr<MessageWindow> QtMessageLoop::CreateMessageWindow(WindowProcedure procedure) {
  return std::make_shared<QtMessageWindow>(std::move(procedure));
}

std::unique_ptr<OneShotTimer> QtMessageLoop::CreateTimer(std::function<void()> onTimer) {
  return std::make_unique<QtTimer>(std::move(onTimer));
}

void QtMessageLoop::ProcessMessagesUntil(const std::function<bool()>& done) { RunUntil(done, std::nullopt); }

bool QtMessageLoop::ProcessMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  return RunUntil(done, timeout);
}

} // namespace zr7
