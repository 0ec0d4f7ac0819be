#include "fake_serial_device.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zr7::test {

struct FakeSerialDevice::Record final : IoRecord {
  enum class Kind { None, Read, CommWait, Write } kind = Kind::None;
  bool complete = false;
  IoResult result;
  std::uint8_t* buffer = nullptr;
  std::size_t size = 0;
  std::uint32_t* mask = nullptr;
};

FakeSerialDevice::FakeSerialDevice() = default;

IoResult FakeSerialDevice::Fails(const char* call) const {
  auto failing = Failing.find(call);
  if (failing == Failing.end()) return {};
  return {IoStatus::Failed, 0, failing->second};
}

void FakeSerialDevice::WakeWaiters() {
  for (Event* waiter : waiters_) waiter->Set();
}

void FakeSerialDevice::DeliverChunk(std::string bytes) {
  std::lock_guard lock(mutex_);
  chunks_.push_back(std::move(bytes));
  WakeWaiters();
}

void FakeSerialDevice::ReportLineError(std::uint32_t flags) {
  std::lock_guard lock(mutex_);
  reports_.push_back(flags);
  WakeWaiters();
}

void FakeSerialDevice::FailPendingRead(int error) {
  std::lock_guard lock(mutex_);
  readError_ = error;
  WakeWaiters();
}

void FakeSerialDevice::Hold() {
  std::lock_guard lock(mutex_);
  held_ = true;
  WakeWaiters();
}

void FakeSerialDevice::Release() {
  std::lock_guard lock(mutex_);
  held_ = false;
  released_.notify_all();
}

int FakeSerialDevice::StuckWaits() {
  std::lock_guard lock(mutex_);
  return stuck_;
}

std::string FakeSerialDevice::Written() {
  std::lock_guard lock(mutex_);
  return written_;
}

int FakeSerialDevice::Purges(std::uint32_t flags) {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count(purges_.begin(), purges_.end(), flags));
}

std::unique_ptr<IoRecord> FakeSerialDevice::CreateIoRecord(int& error) {
  if (IoResult failure = Fails("CreateIoRecord"); !failure.Ok()) {
    error = failure.Error;
    return nullptr;
  }
  return std::make_unique<Record>();
}

IoResult FakeSerialDevice::GetTimeouts(CommTimeouts& timeouts) {
  timeouts = timeouts_;
  return {};
}

IoResult FakeSerialDevice::SetTimeouts(const CommTimeouts& timeouts) {
  timeouts_ = timeouts;
  return {};
}

IoResult FakeSerialDevice::GetState(CommState& state) {
  state = state_;
  return {};
}

IoResult FakeSerialDevice::SetState(const CommState& state) {
  state_ = state;
  return {};
}

IoResult FakeSerialDevice::SetCommMask(std::uint32_t mask) {
  if (IoResult failure = Fails("SetCommMask"); !failure.Ok()) return failure;
  mask_ = mask;
  return {};
}

IoResult FakeSerialDevice::ClearCommError(std::uint32_t& errors) {
  if (IoResult failure = Fails("ClearCommError"); !failure.Ok()) return failure;
  std::lock_guard lock(mutex_);
  errors = clearedFlags_;
  clearedFlags_ = 0;
  return {};
}

IoResult FakeSerialDevice::Purge(std::uint32_t flags) {
  std::lock_guard lock(mutex_);
  purges_.push_back(flags);
  return {};
}

bool FakeSerialDevice::CheckCompleted(Record& record) {
  if (record.complete) return true;
  if (record.kind == Record::Kind::Read) {
    if (readError_) {
      record.result = {IoStatus::Failed, 0, readError_};
      record.complete = true;
    } else if (!chunks_.empty()) {
      std::string& chunk = chunks_.front();
      const std::size_t count = std::min(chunk.size(), record.size);
      std::memcpy(record.buffer, chunk.data(), count);
      chunk.erase(0, count);
      if (chunk.empty()) chunks_.pop_front();
      record.result = {IoStatus::Done, static_cast<std::uint32_t>(count), 0};
      record.complete = true;
    }
  } else if (record.kind == Record::Kind::CommWait && !reports_.empty() && (mask_ & kCommEventLineError)) {
    clearedFlags_ = reports_.front();
    reports_.pop_front();
    *record.mask = kCommEventLineError;
    record.result = {};
    record.complete = true;
  }
  return record.complete;
}

IoResult FakeSerialDevice::StartRead(IoRecord& base, std::uint8_t* buffer, std::size_t size) {
  if (IoResult failure = Fails("StartRead"); !failure.Ok()) return failure;
  auto& record = static_cast<Record&>(base);
  record = Record{};
  record.kind = Record::Kind::Read;
  record.buffer = buffer;
  record.size = size;
  return {IoStatus::Pending, 0, 0};
}

IoResult FakeSerialDevice::StartWaitCommEvent(IoRecord& base, std::uint32_t& mask) {
  if (IoResult failure = Fails("StartWaitCommEvent"); !failure.Ok()) return failure;
  auto& record = static_cast<Record&>(base);
  record = Record{};
  record.kind = Record::Kind::CommWait;
  record.mask = &mask;
  return {IoStatus::Pending, 0, 0};
}

IoResult FakeSerialDevice::StartWrite(IoRecord& base, const std::uint8_t* data, std::size_t size) {
  if (IoResult failure = Fails("StartWrite"); !failure.Ok()) return failure;
  const std::size_t count = std::min(size, MaxWritePerCall);
  {
    std::lock_guard lock(mutex_);
    written_.append(reinterpret_cast<const char*>(data), count);
  }
  const IoResult done{IoStatus::Done, static_cast<std::uint32_t>(count), 0};
  if (!PendWrites) return done;
  auto& record = static_cast<Record&>(base);
  record = Record{};
  record.kind = Record::Kind::Write;
  record.result = done;
  record.complete = true;
  return {IoStatus::Pending, 0, 0};
}

std::uint32_t FakeSerialDevice::WaitAny(Event& stop, std::span<IoRecord* const> records, int& error) {
  auto wake = Event::Create(error);
  if (!wake) return kWaitFailed;
  std::unique_lock lock(mutex_);
  waiters_.push_back(wake.get());
  auto result = [&](std::uint32_t signalled) {
    std::erase(waiters_, wake.get());
    return signalled;
  };
  for (;;) {
    if (held_) {
      ++stuck_;
      released_.wait(lock, [this] { return !held_; });
      --stuck_;
    }
    if (stop.IsSet()) return result(0);
    for (std::size_t i = 0; i < records.size(); ++i)
      if (CheckCompleted(static_cast<Record&>(*records[i]))) return result(static_cast<std::uint32_t>(i + 1));
    lock.unlock();
    Event* const events[] = {&stop, wake.get()};
    const std::uint32_t signalled = WaitForEvents(events, error);
    lock.lock();
    if (signalled == kWaitFailed) return result(kWaitFailed);
    wake->Reset();
  }
}

IoResult FakeSerialDevice::GetOverlappedResult(IoRecord& base) {
  auto& record = static_cast<Record&>(base);
  const IoResult result = record.complete ? record.result : IoResult{IoStatus::Failed, 0, EINPROGRESS};
  record = Record{};
  return result;
}

} // namespace zr7::test
