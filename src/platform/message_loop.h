#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

// The message loop seam: what the program needs of window messages, so the
// core runs the same on Qt's event loop (the window) and on a plain queue
// (the command line and the core's tests).
namespace zr7 {

// One posted message. Either a callable to run on the owner thread, or a
// typed message for the window's procedure. Buffer is a heap block whose
// ownership passes with the message: whoever holds the message owns it, and
// it is freed when the message is, after the procedure has returned.
struct Message {
  std::uint32_t Msg = 0;
  std::uintptr_t WParam = 0;
  std::unique_ptr<std::uint8_t[]> Buffer;
  std::function<void()> Call;
};

using WindowProcedure = std::function<void(Message&)>;

// A hidden message window living on its owner thread. Post may be called
// from any thread; the procedure always runs on the owner thread while it
// dispatches messages.
class MessageWindow {
public:
  virtual ~MessageWindow() = default;
  // False once the window has been destroyed; the message is then freed.
  virtual bool Post(Message message) = 0;
  bool PostCall(std::function<void()> call);
  // Owner thread only. Messages still queued are freed unseen, and every
  // later Post fails.
  virtual void Destroy() = 0;
};

// A one-shot timer of the owner thread. Start always begins a fresh period.
class OneShotTimer {
public:
  virtual ~OneShotTimer() = default;
  virtual void Start(std::chrono::milliseconds interval) = 0;
  virtual void Stop() = 0;
  virtual bool IsActive() const = 0;
};

// The message loop of one owner thread; create it and use it on that thread.
class MessageLoop {
public:
  virtual ~MessageLoop() = default;
  virtual std::shared_ptr<MessageWindow> CreateMessageWindow(WindowProcedure procedure) = 0;
  virtual std::unique_ptr<OneShotTimer> CreateTimer(std::function<void()> onTimer) = 0;
  // Dispatches this thread's messages and timers until done() holds,
  // sleeping whenever nothing is pending. done() is checked before the
  // first dispatch and after each one. Handlers may wait again inside.
  virtual void ProcessMessagesUntil(const std::function<bool()>& done) = 0;
  // The same, but gives up after timeout; returns done().
  virtual bool ProcessMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) = 0;
};

} // namespace zr7
