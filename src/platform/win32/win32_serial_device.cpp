#include "platform/win32/win32_serial_device.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <vector>
#include <windows.h>

// The Windows back end: the communications API with overlapped reads,
// writes and line-event waits. The driver has no read terminator, so a read
// is gathered here from chunks (Win32ReadChunks): it completes when its
// last byte is the terminator, its buffer is full, or the line has been
// silent for the read interval. Chunks that take what the driver holds see
// an answer's last byte when it arrives; Windows ends such a chunk at once
// when no byte is waiting, and the device then waits for first bytes
// instead (Wine waits for a byte either way). A line-event wait or a chunk
// that ends aborted (Wine aborts them every few milliseconds on a
// pseudo-terminal) is started again while the caller is not stopping.
namespace zr7 {

namespace {

using Clock = std::chrono::steady_clock;

// The silence that ends a chunk that waits for its first byte. Such a
// chunk waits without limit, so one that ends empty means a hung-up line.
constexpr DWORD kChunkIntervalMs = 1;

// What the driver is given: the chunks' read time-outs and the caller's
// write time-outs.
COMMTIMEOUTS SystemTimeouts(const CommTimeouts& asked, Win32ReadChunks chunks) {
  COMMTIMEOUTS system{};
  system.ReadIntervalTimeout = chunks == Win32ReadChunks::TakeWhatIsThere ? MAXDWORD : kChunkIntervalMs;
  system.WriteTotalTimeoutMultiplier = asked.WriteTotalTimeoutMultiplier;
  system.WriteTotalTimeoutConstant = asked.WriteTotalTimeoutConstant;
  return system;
}

// How long an operation still pending when its record goes is given to end.
constexpr auto kEndPendingWait = std::chrono::seconds(2);
// Wine ends a pending line-event wait whenever the port is written to and
// starts each new wait on a thread of its own; waiting this long before the
// next keeps that cost off every request of a read.
constexpr auto kCommWaitRearmDelay = std::chrono::milliseconds(100);

IoResult Failure(DWORD error) {
  return {error == ERROR_INVALID_HANDLE ? IoStatus::InvalidHandle : IoStatus::Failed, 0, static_cast<int>(error)};
}

IoResult Done(std::size_t count = 0) { return {IoStatus::Done, static_cast<std::uint32_t>(count), 0}; }

struct Win32IoRecord final : IoRecord {
  enum class Kind { None, Read, CommWait, Write };

  Win32IoRecord(HANDLE device, HANDLE event) : device(device), overlapped(new OVERLAPPED{}) {
    overlapped->hEvent = event;
  }
  ~Win32IoRecord() override {
    if (armed && !EndPending()) {
      // The system may still write into the record: it is left to it.
      overlapped.release();
      return;
    }
    CloseHandle(overlapped->hEvent);
  }

  // The system writes into the record and the buffer until the operation
  // has ended, so it is ended before either goes away. A pending line-event
  // wait ends when the event mask is cleared; Wine does not cancel it.
  bool EndPending() {
    if (kind == Kind::CommWait) ::SetCommMask(device, 0);
    CancelIoEx(device, overlapped.get());
    const auto deadline = Clock::now() + kEndPendingWait;
    for (;;) {
      DWORD ignored = 0;
      if (::GetOverlappedResult(device, overlapped.get(), &ignored, FALSE) || GetLastError() != ERROR_IO_INCOMPLETE)
        return true;
      if (Clock::now() >= deadline) return false;
      WaitForSingleObject(overlapped->hEvent, 10);
    }
  }

  void Begin(Kind newKind) {
    kind = newKind;
    armed = false;
    complete = false;
    result = IoResult{};
    rearmAt.reset();
  }

  void Complete(IoResult value) {
    complete = true;
    result = value;
  }

  // Prepares the record for a new system operation: a stale signal of the
  // previous one must not be taken for its completion.
  OVERLAPPED* Arm() {
    const HANDLE event = overlapped->hEvent;
    *overlapped = OVERLAPPED{};
    overlapped->hEvent = event;
    ResetEvent(event);
    return overlapped.get();
  }

  const HANDLE device;
  std::unique_ptr<OVERLAPPED> overlapped;
  Kind kind = Kind::None;
  bool armed = false; // a system operation is pending on overlapped
  bool complete = false;
  IoResult result;
  // Read.
  std::uint8_t* buffer = nullptr;
  std::size_t size = 0;
  std::size_t got = 0;
  Clock::time_point lastByte{};
  // Line-event wait: when an aborted wait is to be started again.
  std::optional<Clock::time_point> rearmAt;
  // Line-event wait.
  std::uint32_t* mask = nullptr;
  DWORD systemMask = 0;
  // Write.
  const std::uint8_t* data = nullptr;
  std::size_t dataSize = 0;
};

class Win32SerialDevice final : public SerialDevice {
public:
  Win32SerialDevice(HANDLE handle, Win32ReadChunks chunks) : handle_(handle), chunks_(chunks) {
    COMMTIMEOUTS system{};
    if (GetCommTimeouts(handle_, &system)) {
      timeouts_.ReadIntervalTimeout = system.ReadIntervalTimeout;
      timeouts_.ReadTotalTimeoutMultiplier = system.ReadTotalTimeoutMultiplier;
      timeouts_.ReadTotalTimeoutConstant = system.ReadTotalTimeoutConstant;
      timeouts_.WriteTotalTimeoutMultiplier = system.WriteTotalTimeoutMultiplier;
      timeouts_.WriteTotalTimeoutConstant = system.WriteTotalTimeoutConstant;
    }
  }
  ~Win32SerialDevice() override { CloseHandle(handle_); }

  std::unique_ptr<IoRecord> CreateIoRecord(int& error) override {
    HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    if (event == nullptr) {
      error = static_cast<int>(GetLastError());
      return nullptr;
    }
    return std::make_unique<Win32IoRecord>(handle_, event);
  }

  IoResult GetTimeouts(CommTimeouts& timeouts) override {
    timeouts = timeouts_;
    return Done();
  }

  // The read side of the device always runs in chunks; the read interval
  // asked for is kept here.
  IoResult SetTimeouts(const CommTimeouts& timeouts) override {
    COMMTIMEOUTS system = SystemTimeouts(timeouts, chunks_);
    if (!SetCommTimeouts(handle_, &system)) return Failure(GetLastError());
    timeouts_ = timeouts;
    interval_ = timeouts.ReadIntervalTimeout;
    return Done();
  }

  IoResult GetState(CommState& state) override {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb)) return Failure(GetLastError());
    state.BaudRate = dcb.BaudRate;
    state.ByteSize = dcb.ByteSize;
    state.Parity = dcb.Parity;
    state.StopBits = dcb.StopBits;
    return Done();
  }

  IoResult SetState(const CommState& state) override {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb)) return Failure(GetLastError());
    dcb.BaudRate = state.BaudRate;
    dcb.ByteSize = state.ByteSize;
    dcb.Parity = state.Parity;
    dcb.StopBits = state.StopBits;
    return SetCommState(handle_, &dcb) ? Done() : Failure(GetLastError());
  }

  void SetReadTerminator(std::optional<std::uint8_t> terminator) override {
    terminator_ = terminator ? *terminator : -1;
  }

  IoResult SetCommMask(std::uint32_t mask) override {
    return ::SetCommMask(handle_, mask) ? Done() : Failure(GetLastError());
  }

  IoResult ClearCommError(std::uint32_t& errors) override {
    DWORD flags = 0;
    COMSTAT status{};
    if (!::ClearCommError(handle_, &flags, &status)) return Failure(GetLastError());
    errors = flags;
    return Done();
  }

  IoResult Purge(std::uint32_t flags) override { return PurgeComm(handle_, flags) ? Done() : Failure(GetLastError()); }

  IoResult StartRead(IoRecord& base, std::uint8_t* buffer, std::size_t size) override {
    auto& record = static_cast<Win32IoRecord&>(base);
    record.Begin(Win32IoRecord::Kind::Read);
    record.buffer = buffer;
    record.size = size;
    record.got = 0;
    // An empty read ends at once: its empty chunk says nothing of the driver.
    if (size == 0)
      record.Complete(Done());
    else
      ArmRead(record);
    return Started(record);
  }

  IoResult StartWaitCommEvent(IoRecord& base, std::uint32_t& mask) override {
    auto& record = static_cast<Win32IoRecord&>(base);
    record.Begin(Win32IoRecord::Kind::CommWait);
    record.mask = &mask;
    ArmCommWait(record);
    return Started(record);
  }

  IoResult StartWrite(IoRecord& base, const std::uint8_t* data, std::size_t size) override {
    auto& record = static_cast<Win32IoRecord&>(base);
    record.Begin(Win32IoRecord::Kind::Write);
    record.data = data;
    record.dataSize = size;
    DWORD written = 0;
    if (WriteFile(handle_, data, static_cast<DWORD>(size), &written, record.Arm()))
      record.Complete(Done(written));
    else if (const DWORD error = GetLastError(); error == ERROR_IO_PENDING)
      record.armed = true;
    else
      record.Complete(Failure(error));
    return Started(record);
  }

  std::uint32_t WaitAny(Event& stop, std::span<IoRecord* const> records, int& error) override {
    for (;;) {
      if (stop.IsSet()) return 0;
      const auto now = Clock::now();
      std::vector<HANDLE> handles{stop.NativeHandle()};
      std::vector<std::size_t> indexOf;
      std::optional<Clock::time_point> deadline;
      for (std::size_t i = 0; i < records.size(); ++i) {
        auto& record = static_cast<Win32IoRecord&>(*records[i]);
        if (CheckCompleted(record, now)) return static_cast<std::uint32_t>(i + 1);
        if (record.rearmAt) {
          if (now < *record.rearmAt) {
            if (!deadline || *record.rearmAt < *deadline) deadline = record.rearmAt;
            continue;
          }
          record.rearmAt.reset();
          ArmCommWait(record);
          if (record.complete) return static_cast<std::uint32_t>(i + 1);
        }
        if (!record.armed) continue;
        handles.push_back(record.overlapped->hEvent);
        indexOf.push_back(i);
        if (auto end = SilenceEnd(record); end && (!deadline || *end < *deadline)) deadline = end;
      }
      DWORD timeout = INFINITE;
      if (deadline) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - now).count();
        timeout = static_cast<DWORD>(std::max<long long>(left, 0));
      }
      const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, timeout);
      if (result == WAIT_OBJECT_0) return 0;
      if (result == WAIT_TIMEOUT) continue;
      if (result > WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + handles.size()) {
        Progress(static_cast<Win32IoRecord&>(*records[indexOf[result - WAIT_OBJECT_0 - 1]]), stop);
        continue;
      }
      error = static_cast<int>(result == WAIT_FAILED ? GetLastError() : result);
      return kWaitFailed;
    }
  }

  IoResult GetOverlappedResult(IoRecord& base) override {
    auto& record = static_cast<Win32IoRecord&>(base);
    if (!record.complete) return Failure(ERROR_IO_INCOMPLETE);
    const IoResult result = record.result;
    record.Begin(Win32IoRecord::Kind::None);
    return result;
  }

private:
  IoResult Started(Win32IoRecord& record) {
    if (!record.complete) return {IoStatus::Pending, 0, 0};
    const IoResult result = record.result;
    record.Begin(Win32IoRecord::Kind::None);
    return result;
  }

  std::optional<Clock::time_point> SilenceEnd(const Win32IoRecord& record) const {
    const std::uint32_t interval = interval_;
    if (record.kind != Win32IoRecord::Kind::Read || record.got == 0 || interval == 0) return std::nullopt;
    return record.lastByte + std::chrono::milliseconds(interval);
  }

  // A read whose line has been silent long enough ends with what it has;
  // its pending chunk is ended first, keeping any bytes it took meanwhile.
  bool CheckCompleted(Win32IoRecord& record, Clock::time_point now) {
    if (record.complete) return true;
    if (auto end = SilenceEnd(record); end && now >= *end) {
      if (record.armed) {
        CancelIoEx(handle_, record.overlapped.get());
        DWORD count = 0;
        ::GetOverlappedResult(handle_, record.overlapped.get(), &count, TRUE);
        record.armed = false;
        TakeChunk(record, count);
      }
      if (!record.complete) record.Complete(Done(record.got));
    }
    return record.complete;
  }

  // Adds a finished chunk to the read and completes it when it is full or
  // ends in the terminator.
  void TakeChunk(Win32IoRecord& record, DWORD count) {
    if (count == 0) return;
    record.got += count;
    record.lastByte = Clock::now();
    const int terminator = terminator_;
    if (record.got == record.size || (terminator >= 0 && record.buffer[record.got - 1] == terminator))
      record.Complete(Done(record.got));
  }

  // Starts chunks until one is pending or the read is complete.
  void ArmRead(Win32IoRecord& record) {
    while (!record.complete) {
      DWORD count = 0;
      const DWORD room = static_cast<DWORD>(record.size - record.got);
      if (ReadFile(handle_, record.buffer + record.got, room, &count, record.Arm())) {
        if (!EndChunk(record, count)) return;
        continue;
      }
      const DWORD error = GetLastError();
      if (error == ERROR_IO_PENDING) {
        record.armed = true;
        return;
      }
      record.Complete(record.got > 0 ? Done(record.got) : Failure(error));
    }
  }

  // A finished chunk; false when it ended the read.
  bool EndChunk(Win32IoRecord& record, DWORD count) {
    if (count == 0 && chunks_ == Win32ReadChunks::TakeWhatIsThere) {
      if (WaitForFirstBytes()) return true;
      record.Complete(record.got > 0 ? Done(record.got) : Failure(GetLastError()));
      return false;
    }
    if (count == 0) {
      // The device has hung up: what has arrived is delivered, and the next
      // read meets the hang-up at once.
      record.Complete(Done(record.got));
      return false;
    }
    TakeChunk(record, count);
    return !record.complete;
  }

  // From now on chunks wait for their first byte and end at a short silence.
  bool WaitForFirstBytes() {
    COMMTIMEOUTS system = SystemTimeouts(timeouts_, Win32ReadChunks::WaitForFirstBytes);
    if (!SetCommTimeouts(handle_, &system)) return false;
    chunks_ = Win32ReadChunks::WaitForFirstBytes;
    return true;
  }

  void ArmCommWait(Win32IoRecord& record) {
    record.systemMask = 0;
    if (WaitCommEvent(handle_, &record.systemMask, record.Arm())) {
      *record.mask = record.systemMask;
      record.Complete(Done());
    } else if (const DWORD error = GetLastError(); error == ERROR_IO_PENDING) {
      record.armed = true;
    } else {
      record.Complete(Failure(error));
    }
  }

  // The record's event is signalled: take the system operation's result.
  void Progress(Win32IoRecord& record, Event& stop) {
    DWORD count = 0;
    if (!::GetOverlappedResult(handle_, record.overlapped.get(), &count, FALSE)) {
      const DWORD error = GetLastError();
      if (error == ERROR_IO_INCOMPLETE) {
        // Signalled before its end: wait for the end's own signal, which a
        // completion between the two calls has already given.
        ResetEvent(record.overlapped->hEvent);
        if (!::GetOverlappedResult(handle_, record.overlapped.get(), &count, FALSE)) {
          if (GetLastError() == ERROR_IO_INCOMPLETE) return;
          record.armed = false;
          return Restart(record, stop, GetLastError());
        }
      } else {
        record.armed = false;
        return Restart(record, stop, error);
      }
    }
    record.armed = false;
    switch (record.kind) {
      case Win32IoRecord::Kind::Read:
        if (EndChunk(record, count)) ArmRead(record);
        break;
      case Win32IoRecord::Kind::CommWait:
        *record.mask = record.systemMask;
        record.Complete(Done());
        break;
      case Win32IoRecord::Kind::Write:
        record.Complete(Done(count));
        break;
      case Win32IoRecord::Kind::None:
        break;
    }
  }

  // An operation that failed: an aborted read chunk or line-event wait is
  // started again unless the caller is stopping; anything else ends it.
  void Restart(Win32IoRecord& record, Event& stop, DWORD error) {
    if (error == ERROR_OPERATION_ABORTED && !stop.IsSet()) {
      if (record.kind == Win32IoRecord::Kind::Read) return ArmRead(record);
      if (record.kind == Win32IoRecord::Kind::CommWait) {
        record.rearmAt = Clock::now() + kCommWaitRearmDelay;
        return;
      }
    }
    if (record.kind == Win32IoRecord::Kind::Read && record.got > 0)
      record.Complete(Done(record.got));
    else
      record.Complete(Failure(error));
  }

  const HANDLE handle_;
  // Set before the threads start.
  CommTimeouts timeouts_;
  std::atomic<Win32ReadChunks> chunks_;
  std::atomic<std::uint32_t> interval_{0};
  std::atomic<int> terminator_{-1};
};

} // namespace

OpenedDevice OpenWin32SerialDevice(const std::filesystem::path& path, Win32ReadChunks chunks) {
  if (path.empty()) return {nullptr, OpenFailure::CannotOpen};
  const HANDLE handle =
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {nullptr, OpenFailure::CannotOpen};
  if (GetFileType(handle) != FILE_TYPE_CHAR) {
    CloseHandle(handle);
    return {nullptr, OpenFailure::NotACommHandle};
  }
  return {std::make_shared<Win32SerialDevice>(handle, chunks), OpenFailure::None};
}

OpenedDevice OpenSerialDevice(const std::filesystem::path& path) {
  return OpenWin32SerialDevice(path, Win32ReadChunks::TakeWhatIsThere);
}

} // namespace zr7
