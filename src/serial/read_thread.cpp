#include "serial/read_thread.h"

#include "platform/system.h"
#include "serial/comm_log.h"
#include "serial/comm_messages.h"

#include <cstring>
#include <new>
#include <string>

namespace zr7 {

using comm_log::LogError;
using comm_log::LogLine;

void TReadThread::Execute() {
  Run();
  LogLine("Read thread shutting down");
  CommFile->Purge(kPurgeRxAbort | kPurgeRxClear);
}

// Returns when the thread is to end: on CloseEvent or after a failure.
void TReadThread::Run() {
  int error = 0;
  readRecord_ = CommFile->CreateIoRecord(error);
  if (readRecord_) eventRecord_ = CommFile->CreateIoRecord(error);
  if (!readRecord_ || !eventRecord_) {
    LogError(error, "Unable to CreateEvent: ");
    PostHangup();
    return;
  }
  if (IoResult result = CommFile->SetCommMask(kCommEventLineError); !result.Ok()) {
    LogError(result.Error, "Unable to SetCommMask: ");
    PostHangup();
    return;
  }
  if (!SetupCommEvent()) {
    LogError(lastError_, "Unable to SetupCommEvent1: ");
    PostHangup();
    return;
  }
  if (!SetupReadEvent()) {
    LogError(lastError_, "Unable to SetupReadEvent: ");
    PostHangup();
    return;
  }
  PostToWindow(WM_COMM_THREAD_READY, 0);

  IoRecord* const records[] = {eventRecord_.get(), readRecord_.get()};
  for (;;) {
    const std::uint32_t signalled = CommFile->WaitAny(*CloseEvent, records, error);
    if (signalled == 0) return; // CloseEvent wins over pending data
    if (signalled == 1) {
      if (!HandleCommEvent(true)) {
        PostHangup();
        LogError(lastError_, "Unable HandleCommEvent: ");
        return;
      }
      if (!SetupCommEvent()) {
        PostHangup();
        LogError(lastError_, "Unable to SetupCommEvent2: ");
        return;
      }
    } else if (signalled == 2) {
      if (!HandleReadEvent()) {
        PostHangup();
        LogError(lastError_, "Unable to HandleReadEvent: ");
        return;
      }
      if (!SetupReadEvent()) {
        PostHangup();
        return;
      }
    } else if (signalled == kWaitFailed) {
      LogError(error, "Read WAIT_FAILED: ");
      PostHangup();
      return;
    } else {
      LogLine("Unexpected Wait return value " + std::to_string(signalled));
      PostHangup();
      return;
    }
  }
}

bool TReadThread::SetupReadEvent() {
  for (;;) {
    if (CloseEvent->IsSet()) return false;
    const IoResult result = CommFile->StartRead(*readRecord_, buffer_, kReadBufferSize);
    switch (result.Status) {
      case IoStatus::Done:
        LogLine("Data waiting for ReadFile: ");
        if (!PostReadData(buffer_, result.Count)) return false;
        continue;
      case IoStatus::Pending:
        LogLine("Waiting for data from comm connection.");
        return true;
      case IoStatus::InvalidHandle:
        lastError_ = result.Error;
        LogLine(comm_log::kInvalidHandleLine);
        return false;
      case IoStatus::Failed:
        lastError_ = result.Error;
        LogError(result.Error, "Unexpected ReadFile error: ");
        PostHangup();
        return false;
    }
  }
}

bool TReadThread::HandleReadEvent() {
  const IoResult result = CommFile->GetOverlappedResult(*readRecord_);
  switch (result.Status) {
    case IoStatus::Done:
      return PostReadData(buffer_, result.Count);
    case IoStatus::InvalidHandle:
      lastError_ = result.Error;
      LogLine(comm_log::kInvalidHandleLine);
      return false;
    default:
      lastError_ = result.Error;
      LogError(result.Error, "Unexpected GetOverlappedResult Read Error: ");
      PostHangup();
      return false;
  }
}

// A read of 0 bytes means the device has gone: the reader ends as after any
// failure, with the system's code for that.
bool TReadThread::PostReadData(const std::uint8_t* bytes, std::size_t count) {
  if (count == 0) {
    lastError_ = DeviceGoneError();
    return false;
  }
  LogLine("Got something from Comm port!!!");
  // Zero-filled and one byte longer: the byte after the data is 0.
  std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[count + 1]());
  if (!block) {
    lastError_ = OutOfMemoryError();
    LogError(lastError_, "LocalAlloc: ");
    return false;
  }
  std::memcpy(block.get(), bytes, count);
  return PostToWindow(WM_COMM_DATA, count, std::move(block));
}

bool TReadThread::SetupCommEvent() {
  for (;;) {
    if (CloseEvent->IsSet()) return false;
    const IoResult result = CommFile->StartWaitCommEvent(*eventRecord_, eventMask_);
    switch (result.Status) {
      case IoStatus::Done:
        LogLine("Event (Error) waiting before WaitCommEvent.");
        if (!HandleCommEvent(false)) return false;
        continue;
      case IoStatus::Pending:
        LogLine("Waiting for a CommEvent (Error) to occur.");
        return true;
      case IoStatus::InvalidHandle:
        lastError_ = result.Error;
        LogLine(comm_log::kInvalidHandleLine);
        return false;
      case IoStatus::Failed:
        lastError_ = result.Error;
        LogError(result.Error, "Unexpected WaitCommEvent error: ");
        return false;
    }
  }
}

bool TReadThread::HandleCommEvent(bool retrieve) {
  if (retrieve) {
    const IoResult result = CommFile->GetOverlappedResult(*eventRecord_);
    if (result.Status == IoStatus::InvalidHandle) {
      lastError_ = result.Error;
      LogLine(comm_log::kInvalidHandleLine);
      return false;
    }
    if (!result.Ok()) {
      lastError_ = result.Error;
      LogError(result.Error, "Unexpected GetOverlappedResult for WaitCommEvent: ");
      return false;
    }
  }
  if (!(eventMask_ & kCommEventLineError)) {
    LogLine("Unexpected comm event " + std::to_string(eventMask_));
    return false;
  }
  std::uint32_t errors = 0;
  const IoResult result = CommFile->ClearCommError(errors);
  if (result.Status == IoStatus::InvalidHandle) {
    lastError_ = result.Error;
    LogLine(comm_log::kInvalidHandleLine);
    return false;
  }
  if (!result.Ok()) {
    lastError_ = result.Error;
    LogError(result.Error, "ClearCommError: ");
    return false;
  }
  PostToWindow(WM_COMM_ERROR, ErrorStatusFromFlags(errors));
  return true;
}

} // namespace zr7
