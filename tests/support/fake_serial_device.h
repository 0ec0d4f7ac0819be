#pragma once

#include "platform/serial_device.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace zr7::test {

// A serial device that the test drives: it delivers chunks and line-error
// reports on demand, makes chosen calls fail, splits or delays writes, and
// can get stuck in a wait as a broken driver would. For what a real
// pseudo-terminal cannot be made to do.
class FakeSerialDevice final : public SerialDevice {
public:
  FakeSerialDevice();

  // Set before the port is opened: calls by name ("CreateIoRecord",
  // "SetCommMask", "StartRead", "StartWaitCommEvent", "StartWrite",
  // "ClearCommError") that fail with the given system code.
  std::map<std::string, int> Failing;
  // Set before the port is opened: each write moves at most this many
  // bytes, and completes only after a wait when PendWrites is set.
  std::size_t MaxWritePerCall = 1 << 20;
  bool PendWrites = false;

  // From the test's thread, while the port is open.
  void DeliverChunk(std::string bytes);
  void ReportLineError(std::uint32_t flags);
  void FailPendingRead(int error);
  // Waits stop seeing the stop event until Release; StuckWaits counts the
  // threads caught.
  void Hold();
  void Release();
  int StuckWaits();
  std::string Written();
  int Purges(std::uint32_t flags);

  std::unique_ptr<IoRecord> CreateIoRecord(int& error) override;
  IoResult GetTimeouts(CommTimeouts& timeouts) override;
  IoResult SetTimeouts(const CommTimeouts& timeouts) override;
  IoResult GetState(CommState& state) override;
  IoResult SetState(const CommState& state) override;
  void SetReadTerminator(std::optional<std::uint8_t>) override {}
  IoResult SetCommMask(std::uint32_t mask) override;
  IoResult ClearCommError(std::uint32_t& errors) override;
  IoResult Purge(std::uint32_t flags) override;
  IoResult StartRead(IoRecord& record, std::uint8_t* buffer, std::size_t size) override;
  IoResult StartWaitCommEvent(IoRecord& record, std::uint32_t& mask) override;
  IoResult StartWrite(IoRecord& record, const std::uint8_t* data, std::size_t size) override;
  std::uint32_t WaitAny(Event& stop, std::span<IoRecord* const> records, int& error) override;
  IoResult GetOverlappedResult(IoRecord& record) override;

private:
  struct Record;
  IoResult Fails(const char* call) const;
  bool CheckCompleted(Record& record); // with mutex_ held
  void WakeWaiters();                  // with mutex_ held

  std::mutex mutex_;
  std::condition_variable released_;
  std::deque<std::string> chunks_;
  std::deque<std::uint32_t> reports_;
  std::uint32_t clearedFlags_ = 0;
  int readError_ = 0;
  bool held_ = false;
  int stuck_ = 0;
  std::string written_;
  std::vector<std::uint32_t> purges_;
  std::vector<Event*> waiters_;
  // What another program left behind, so the component must set it all.
  CommTimeouts timeouts_{50, 10, 1000, 10, 1000};
  CommState state_{9600, 7, 2, 2};
  std::uint32_t mask_ = 0;
};

} // namespace zr7::test
