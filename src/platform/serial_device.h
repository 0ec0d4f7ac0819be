#pragma once

#include "platform/event.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

// A serial device with overlapped operations: a read, a wait for line
// events and a write can each be started, left pending, waited for together
// with a stop event, and their results fetched. Codes and bits are those of
// the Windows communications API, so its back end passes them straight
// through and the POSIX back end translates once.
namespace zr7 {

inline constexpr std::uint32_t kCommEventLineError = 0x80; // line-error event

// Line-error flags reported by ClearCommError (the values of the Windows
// CE_ flags, under names of our own so <windows.h> can sit beside them).
inline constexpr std::uint32_t kLineErrorRxOver = 0x01;
inline constexpr std::uint32_t kLineErrorOverrun = 0x02;
inline constexpr std::uint32_t kLineErrorParity = 0x04;
inline constexpr std::uint32_t kLineErrorFrame = 0x08;
inline constexpr std::uint32_t kLineErrorBreak = 0x10;

// Purge flags.
inline constexpr std::uint32_t kPurgeTxAbort = 0x01;
inline constexpr std::uint32_t kPurgeRxAbort = 0x02;
inline constexpr std::uint32_t kPurgeTxClear = 0x04;
inline constexpr std::uint32_t kPurgeRxClear = 0x08;

struct CommTimeouts {
  // Longest silence in ms between two received bytes that still belongs to
  // one read; 0 means reads are not ended by silence.
  std::uint32_t ReadIntervalTimeout = 0;
  std::uint32_t ReadTotalTimeoutMultiplier = 0;
  std::uint32_t ReadTotalTimeoutConstant = 0;
  std::uint32_t WriteTotalTimeoutMultiplier = 0;
  std::uint32_t WriteTotalTimeoutConstant = 0;
};

// The character format and speed; everything else of the device's state
// stays as the driver has it.
struct CommState {
  std::uint32_t BaudRate = 0;
  std::uint8_t ByteSize = 8;
  std::uint8_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t StopBits = 0; // 0 one, 1 one and a half, 2 two
};

enum class IoStatus {
  Done,          // completed; count holds the bytes moved
  Pending,       // started; wait for its record, then fetch the result
  InvalidHandle, // the device is gone under the caller
  Failed,        // error holds the system's code
};

struct IoResult {
  IoStatus Status = IoStatus::Done;
  std::uint32_t Count = 0;
  int Error = 0;
  bool Ok() const { return Status == IoStatus::Done; }
};

// The state of one overlapped operation; made by the device it is used with.
class IoRecord {
public:
  virtual ~IoRecord() = default;
};

class SerialDevice {
public:
  virtual ~SerialDevice() = default;

  // Null when no record can be made; error then holds the system's code.
  virtual std::unique_ptr<IoRecord> CreateIoRecord(int& error) = 0;

  virtual IoResult GetTimeouts(CommTimeouts& timeouts) = 0;
  virtual IoResult SetTimeouts(const CommTimeouts& timeouts) = 0;
  virtual IoResult GetState(CommState& state) = 0;
  virtual IoResult SetState(const CommState& state) = 0;
  // When set, a read also completes as soon as its last byte is this one.
  virtual void SetReadTerminator(std::optional<std::uint8_t> terminator) = 0;
  virtual IoResult SetCommMask(std::uint32_t mask) = 0;
  // Reads and clears the line-error flags (kLineError...).
  virtual IoResult ClearCommError(std::uint32_t& errors) = 0;
  virtual IoResult Purge(std::uint32_t flags) = 0;

  // Start an operation. The buffer, the mask and the record must stay put
  // until the operation has completed or the device is no longer waited on.
  virtual IoResult StartRead(IoRecord& record, std::uint8_t* buffer, std::size_t size) = 0;
  virtual IoResult StartWaitCommEvent(IoRecord& record, std::uint32_t& mask) = 0;
  virtual IoResult StartWrite(IoRecord& record, const std::uint8_t* data, std::size_t size) = 0;

  // Waits without time limit until stop is set (0) or the operation of
  // records[i] completes (i + 1), tested in that order. kWaitFailed with
  // error set when the wait itself fails.
  virtual std::uint32_t WaitAny(Event& stop, std::span<IoRecord* const> records, int& error) = 0;
  // The result of a completed operation.
  virtual IoResult GetOverlappedResult(IoRecord& record) = 0;
};

enum class OpenFailure { None, CannotOpen, NotACommHandle };

struct OpenedDevice {
  std::shared_ptr<SerialDevice> Device;
  OpenFailure Failure = OpenFailure::None;
};

// Opens a device exclusively, raw, with reads ended by silence or a full
// buffer; the back end of the platform the program is built for.
OpenedDevice OpenSerialDevice(const std::filesystem::path& path);

} // namespace zr7
