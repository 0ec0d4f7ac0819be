#include "serial/write_thread.h"

#include "serial/comm_log.h"
#include "serial/comm_messages.h"

#include <string>

namespace zr7 {

using comm_log::LogError;
using comm_log::LogLine;

TWriteThread::TWriteThread(std::shared_ptr<SerialDevice> commFile, std::shared_ptr<Event> closeEvent,
                           std::shared_ptr<zr7::MessageWindow> messageWindow, std::shared_ptr<WriteQueue> queue)
    : TCommThread(std::move(commFile), std::move(closeEvent), std::move(messageWindow)), queue_(std::move(queue)) {}

void TWriteThread::Execute() {
  Run();
  // The queue goes first: from here on SendBytes is refused.
  queue_->Close();
  LogLine("Write thread shutting down");
  CommFile->Purge(kPurgeTxAbort | kPurgeTxClear);
}

// Returns when the thread is to end: on CloseEvent or after a failure.
void TWriteThread::Run() {
  int error = 0;
  record_ = CommFile->CreateIoRecord(error);
  if (!record_) {
    LogError(error, "Unable to CreateEvent: ");
    PostHangup();
    return;
  }
  PostToWindow(WM_COMM_THREAD_READY, 1);

  Event* const waitFor[] = {CloseEvent.get(), &queue_->InputEvent()};
  for (;;) {
    if (std::optional<Message> message = queue_->TryTake()) {
      if (CloseEvent->IsSet()) return;
      if (message->Msg == WM_COMM_DATA) {
        LogLine("Writing to comm port");
        if (!WriteData(message->Buffer.get(), message->WParam)) return;
      } else {
        LogLine("Unexpected message posted to Write thread: " + std::to_string(message->Msg));
      }
      continue;
    }
    const std::uint32_t signalled = WaitForEvents(waitFor, error);
    if (signalled == 0) return;
    if (signalled == 1) continue;
    if (signalled == kWaitFailed) {
      LogError(error, "Write WAIT_FAILED: ");
    } else {
      LogLine("Unexpected Wait return value " + std::to_string(signalled));
    }
    PostHangup();
    return;
  }
}

// Writes all count bytes, continuing partial writes.
bool TWriteThread::WriteData(const std::uint8_t* buffer, std::size_t count) {
  std::size_t offset = 0;
  std::size_t remaining = count;
  IoRecord* const records[] = {record_.get()};
  while (remaining > 0) {
    IoResult result = CommFile->StartWrite(*record_, buffer + offset, remaining);
    if (result.Status == IoStatus::Pending) {
      int error = 0;
      const std::uint32_t signalled = CommFile->WaitAny(*CloseEvent, records, error);
      if (signalled == 0) return false;
      if (signalled == kWaitFailed) {
        LogError(error, "Write WAIT_FAILED: ");
        PostHangup();
        return false;
      }
      if (signalled != 1) {
        LogLine("Unexpected Wait return value " + std::to_string(signalled));
        PostHangup();
        return false;
      }
      result = CommFile->GetOverlappedResult(*record_);
      if (result.Status == IoStatus::Failed) {
        LogError(result.Error, "Error writing to CommFile while waiting");
        LogLine("Closing TAPI");
        PostHangup();
        return false;
      }
    } else if (result.Status == IoStatus::Failed) {
      LogError(result.Error, "Error to writing to CommFile");
      LogLine("Closing TAPI");
      PostHangup();
      return false;
    }
    if (result.Status == IoStatus::InvalidHandle) {
      LogLine(comm_log::kInvalidHandleLine);
      return false;
    }
    remaining -= result.Count;
    offset += result.Count;
  }
  return true;
}

} // namespace zr7
