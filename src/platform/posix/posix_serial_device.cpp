#include "platform/posix/posix_serial_device.h"

#include "platform/posix/parmrk_decoder.h"
#include "platform/posix/termios2_speed.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

// The POSIX back end: a non-blocking terminal whose overlapped operations
// are carried out inside WaitAny, by one poll on the device and the stop
// event. Received bytes come from the device's input, which is the terminal
// itself except where a test plays the driver. A read gathers bytes until
// the line has been silent for the read interval, its buffer is full or its
// last byte is the terminator. Line errors come from the driver's marks in
// the byte stream and, where the driver keeps them, from its error
// counters. The read side (reads, line events, ClearCommError) is used by
// one thread and the write side by another; the settings are made before
// either runs.
namespace zr7 {

namespace {

using Clock = std::chrono::steady_clock;

struct PosixIoRecord final : IoRecord {
  enum class Kind { None, Read, CommWait, Write };
  Kind kind = Kind::None;
  bool complete = false;
  IoResult result;
  std::uint8_t* buffer = nullptr; // read
  std::size_t size = 0;
  std::size_t got = 0;
  Clock::time_point lastByte{};
  std::uint32_t* mask = nullptr;      // line-event wait
  const std::uint8_t* data = nullptr; // write
  std::size_t dataSize = 0;
};

IoResult Failure(int error) { return {error == EBADF ? IoStatus::InvalidHandle : IoStatus::Failed, 0, error}; }

IoResult Done(std::size_t count = 0) { return {IoStatus::Done, static_cast<std::uint32_t>(count), 0}; }

void Complete(PosixIoRecord& record, IoResult result) {
  record.complete = true;
  record.result = result;
}

class PosixSerialDevice final : public SerialDevice {
public:
  PosixSerialDevice(int terminal, int input, LineErrorCounter counter)
      : terminal_(terminal), input_(input), counter_(std::move(counter)) {
    fcntl(input_, F_SETFL, fcntl(input_, F_GETFL) | O_NONBLOCK);
    haveCounters_ = counter_ && counter_(counters_);
  }
  ~PosixSerialDevice() override {
    ioctl(terminal_, TIOCNXCL);
    close(terminal_);
    if (input_ != terminal_) close(input_);
  }

  std::unique_ptr<IoRecord> CreateIoRecord(int&) override { return std::make_unique<PosixIoRecord>(); }

  IoResult GetTimeouts(CommTimeouts& timeouts) override {
    timeouts = timeouts_;
    return Done();
  }

  IoResult SetTimeouts(const CommTimeouts& timeouts) override {
    timeouts_ = timeouts;
    interval_ = timeouts.ReadIntervalTimeout;
    return Done();
  }

  IoResult GetState(CommState& state) override {
    termios settings{};
    if (tcgetattr(terminal_, &settings) != 0 || !GetBaudRate(terminal_, state.BaudRate)) return Failure(errno);
    const tcflag_t c = settings.c_cflag;
    state.ByteSize = (c & CSIZE) == CS5 ? 5 : (c & CSIZE) == CS6 ? 6 : (c & CSIZE) == CS7 ? 7 : 8;
    if (!(c & PARENB))
      state.Parity = 0;
    else if (c & CMSPAR)
      state.Parity = (c & PARODD) ? 3 : 4;
    else
      state.Parity = (c & PARODD) ? 1 : 2;
    state.StopBits = (c & CSTOPB) ? (state.ByteSize == 5 ? 1 : 2) : 0;
    return Done();
  }

  IoResult SetState(const CommState& state) override {
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    static constexpr tcflag_t kParities[] = {0, PARENB | PARODD, PARENB, PARENB | CMSPAR | PARODD, PARENB | CMSPAR};
    // One and a half stop bits exist only with five data bits, where the
    // driver's "two" means one and a half.
    const bool stopBitsOk = state.StopBits == 0 || state.StopBits == 2 || (state.StopBits == 1 && state.ByteSize == 5);
    if (state.ByteSize < 5 || state.ByteSize > 8 || state.Parity > 4 || !stopBitsOk) return Failure(EINVAL);
    termios settings{};
    if (tcgetattr(terminal_, &settings) != 0) return Failure(errno);
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    settings.c_cflag |= kSizes[state.ByteSize - 5] | kParities[state.Parity];
    if (state.StopBits != 0) settings.c_cflag |= CSTOPB;
    if (tcsetattr(terminal_, TCSANOW, &settings) != 0 || !SetBaudRate(terminal_, state.BaudRate)) return Failure(errno);
    parityOn_ = state.Parity != 0;
    return Done();
  }

  void SetReadTerminator(std::optional<std::uint8_t> terminator) override {
    terminator_ = terminator ? *terminator : -1;
  }

  IoResult SetCommMask(std::uint32_t mask) override {
    commMask_ = mask;
    return Done();
  }

  IoResult ClearCommError(std::uint32_t& errors) override {
    errors = lineErrors_;
    lineErrors_ = 0;
    return Done();
  }

  IoResult Purge(std::uint32_t flags) override {
    const bool input = flags & (kPurgeRxAbort | kPurgeRxClear);
    const bool output = flags & (kPurgeTxAbort | kPurgeTxClear);
    if (input && output) return tcflush(terminal_, TCIOFLUSH) == 0 ? Done() : Failure(errno);
    if (input) return tcflush(terminal_, TCIFLUSH) == 0 ? Done() : Failure(errno);
    if (output) return tcflush(terminal_, TCOFLUSH) == 0 ? Done() : Failure(errno);
    return Done();
  }

  IoResult StartRead(IoRecord& base, std::uint8_t* buffer, std::size_t size) override {
    auto& record = static_cast<PosixIoRecord&>(base);
    record = PosixIoRecord{};
    record.kind = PosixIoRecord::Kind::Read;
    record.buffer = buffer;
    record.size = size;
    ReadAvailable(record);
    return Started(record);
  }

  IoResult StartWaitCommEvent(IoRecord& base, std::uint32_t& mask) override {
    auto& record = static_cast<PosixIoRecord&>(base);
    record = PosixIoRecord{};
    record.kind = PosixIoRecord::Kind::CommWait;
    record.mask = &mask;
    CheckCompleted(record, Clock::now());
    return Started(record);
  }

  IoResult StartWrite(IoRecord& base, const std::uint8_t* data, std::size_t size) override {
    auto& record = static_cast<PosixIoRecord&>(base);
    record = PosixIoRecord{};
    record.kind = PosixIoRecord::Kind::Write;
    record.data = data;
    record.dataSize = size;
    WriteAvailable(record);
    return Started(record);
  }

  std::uint32_t WaitAny(Event& stop, std::span<IoRecord* const> records, int& error) override {
    for (;;) {
      if (stop.IsSet()) return 0;
      const auto now = Clock::now();
      bool reading = false;
      bool writing = false;
      std::optional<Clock::time_point> deadline;
      for (std::size_t i = 0; i < records.size(); ++i) {
        auto& record = static_cast<PosixIoRecord&>(*records[i]);
        if (CheckCompleted(record, now)) return static_cast<std::uint32_t>(i + 1);
        if (record.kind == PosixIoRecord::Kind::Read) {
          reading = true;
          if (auto end = SilenceEnd(record); end && (!deadline || *end < *deadline)) deadline = end;
        } else if (record.kind == PosixIoRecord::Kind::Write) {
          writing = true;
        }
      }
      pollfd entries[3] = {{stop.NativeHandle(), POLLIN, 0}};
      nfds_t count = 1;
      // One entry per descriptor: the terminal may also be the input.
      const auto watch = [&](int fd, short events) {
        for (nfds_t i = 1; i < count; ++i) {
          if (entries[i].fd == fd) {
            entries[i].events |= events;
            return i;
          }
        }
        entries[count] = {fd, events, 0};
        return count++;
      };
      const nfds_t inputEntry = reading ? watch(input_, POLLIN) : 0;
      const nfds_t outputEntry = writing ? watch(terminal_, POLLOUT) : 0;
      timespec timeout{};
      if (deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(*deadline - now);
        timeout.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
        timeout.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
      }
      // Without a device operation to watch, a hung-up device must not be
      // polled: it would report its hang-up again and again.
      if (ppoll(entries, count, deadline ? &timeout : nullptr, nullptr) < 0) {
        if (errno == EINTR) continue;
        error = errno;
        return kWaitFailed;
      }
      if (entries[0].revents) return 0;
      const short inputReady = inputEntry ? entries[inputEntry].revents : 0;
      const short outputReady = outputEntry ? entries[outputEntry].revents : 0;
      if ((inputReady | outputReady) & POLLNVAL) {
        error = EBADF;
        return kWaitFailed;
      }
      for (IoRecord* base : records) {
        auto& record = static_cast<PosixIoRecord&>(*base);
        if (record.kind == PosixIoRecord::Kind::Read && (inputReady & (POLLIN | POLLHUP | POLLERR)))
          ReadAvailable(record);
        else if (record.kind == PosixIoRecord::Kind::Write && (outputReady & (POLLOUT | POLLHUP | POLLERR)))
          WriteAvailable(record);
      }
    }
  }

  IoResult GetOverlappedResult(IoRecord& base) override {
    auto& record = static_cast<PosixIoRecord&>(base);
    if (!record.complete) return Failure(EINPROGRESS);
    const IoResult result = record.result;
    record = PosixIoRecord{};
    return result;
  }

private:
  IoResult Started(PosixIoRecord& record) {
    if (!record.complete) return {IoStatus::Pending, 0, 0};
    const IoResult result = record.result;
    record = PosixIoRecord{};
    return result;
  }

  std::optional<Clock::time_point> SilenceEnd(const PosixIoRecord& record) const {
    const std::uint32_t interval = interval_;
    if (record.got == 0 || interval == 0) return std::nullopt;
    return record.lastByte + std::chrono::milliseconds(interval);
  }

  bool CheckCompleted(PosixIoRecord& record, Clock::time_point now) {
    if (record.complete) return true;
    switch (record.kind) {
      case PosixIoRecord::Kind::Read:
        if (auto end = SilenceEnd(record); end && now >= *end) Complete(record, Done(record.got));
        break;
      case PosixIoRecord::Kind::CommWait:
        if (lineErrors_ != 0 && (commMask_ & kCommEventLineError)) {
          *record.mask = kCommEventLineError;
          Complete(record, Done());
        }
        break;
      default:
        break;
    }
    return record.complete;
  }

  void Deliver(PosixIoRecord& record, const std::uint8_t* bytes, std::size_t count) {
    const std::size_t taken = std::min(count, record.size - record.got);
    std::memcpy(record.buffer + record.got, bytes, taken);
    record.got += taken;
    carry_.insert(carry_.end(), bytes + taken, bytes + count);
  }

  // Takes what the device has for a pending read without waiting, and
  // completes the read when it is full, ends in the terminator, or the
  // device has hung up or failed.
  void ReadAvailable(PosixIoRecord& record) {
    const std::size_t before = record.got;
    if (!carry_.empty()) {
      std::vector<std::uint8_t> carried;
      carried.swap(carry_);
      Deliver(record, carried.data(), carried.size());
    }
    const std::size_t room = record.size - record.got;
    if (room > 0) {
      std::uint8_t raw[2048];
      const ssize_t got = read(input_, raw, std::min(room, sizeof raw));
      if (got > 0) {
        std::uint8_t decoded[sizeof raw + 1];
        ParmrkDecoder::Marks marks;
        const std::size_t count = decoder_.Decode({raw, static_cast<std::size_t>(got)}, decoded, marks);
        Deliver(record, decoded, count);
        NoteLineErrors(marks);
      } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
        // Hung up (0 bytes) or failed: what has arrived is delivered first,
        // the next read then meets the hang-up or the error at once.
        const int error = got == 0 ? 0 : errno;
        Complete(record, record.got > 0 || error == 0 ? Done(record.got) : Failure(error));
        return;
      }
    }
    if (record.got > before) record.lastByte = Clock::now();
    const int terminator = terminator_;
    if (record.got == record.size ||
        (record.got > before && terminator >= 0 && record.buffer[record.got - 1] == terminator))
      Complete(record, Done(record.got));
  }

  void WriteAvailable(PosixIoRecord& record) {
    const ssize_t written = write(terminal_, record.data, record.dataSize);
    if (written > 0)
      Complete(record, Done(static_cast<std::size_t>(written)));
    else if (written < 0 && errno != EAGAIN && errno != EINTR)
      Complete(record, Failure(errno));
  }

  // The driver's counters tell the kinds of error apart; without them a
  // marked character is a parity error when parity is checked, otherwise a
  // framing error.
  void NoteLineErrors(const ParmrkDecoder::Marks& marks) {
    std::uint32_t counted = 0;
    LineErrorCounts now;
    if (haveCounters_ && counter_(now)) {
      if (now.frame != counters_.frame) counted |= kLineErrorFrame;
      if (now.parity != counters_.parity) counted |= kLineErrorParity;
      if (now.overrun != counters_.overrun) counted |= kLineErrorOverrun;
      if (now.bufferOverrun != counters_.bufferOverrun) counted |= kLineErrorRxOver;
      if (now.breaks != counters_.breaks) counted |= kLineErrorBreak;
      counters_ = now;
    }
    if (!(counted & (kLineErrorFrame | kLineErrorParity)) && marks.Errors)
      counted |= parityOn_ ? kLineErrorParity : kLineErrorFrame;
    if (!(counted & kLineErrorBreak) && marks.Breaks) counted |= kLineErrorBreak;
    lineErrors_ |= counted;
  }

  const int terminal_; // settings, writes, purges
  const int input_;    // where received bytes come from
  const LineErrorCounter counter_;
  CommTimeouts timeouts_;
  std::atomic<std::uint32_t> interval_{0};
  std::atomic<int> terminator_{-1};
  std::atomic<bool> parityOn_{false};
  std::atomic<std::uint32_t> commMask_{0};
  // Read side.
  ParmrkDecoder decoder_;
  std::vector<std::uint8_t> carry_;
  std::uint32_t lineErrors_ = 0;
  bool haveCounters_ = false;
  LineErrorCounts counters_;
};

// Raw 8N1 bytes with no flow control and no echo, line errors marked in the
// stream. The speed stays as the driver had it until SetState.
bool MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return false;
  cfmakeraw(&settings);
  settings.c_iflag |= INPCK | PARMRK;
  settings.c_iflag &= ~(IGNPAR | IGNBRK | BRKINT | ISTRIP | IXON | IXOFF | IXANY);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_cflag &= ~(CRTSCTS | CSTOPB);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

// The counters of the serial driver; pseudo-terminals have none.
LineErrorCounter DriverCounters(int fd) {
  return [fd](LineErrorCounts& counts) {
    serial_icounter_struct counters{};
    if (ioctl(fd, TIOCGICOUNT, &counters) != 0) return false;
    counts.frame = static_cast<std::uint32_t>(counters.frame);
    counts.parity = static_cast<std::uint32_t>(counters.parity);
    counts.overrun = static_cast<std::uint32_t>(counters.overrun);
    counts.bufferOverrun = static_cast<std::uint32_t>(counters.buf_overrun);
    counts.breaks = static_cast<std::uint32_t>(counters.brk);
    return true;
  };
}

// USB adapters otherwise hold received bytes back for several milliseconds.
void AskForLowLatency(int fd) {
  serial_struct serial{};
  if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
  serial.flags |= ASYNC_LOW_LATENCY;
  ioctl(fd, TIOCSSERIAL, &serial);
}

} // namespace

std::shared_ptr<SerialDevice> MakePosixSerialDevice(int terminal, int input, LineErrorCounter counter) {
  return std::make_shared<PosixSerialDevice>(terminal, input, std::move(counter));
}

OpenedDevice OpenSerialDevice(const std::filesystem::path& path) {
  if (path.empty()) return {nullptr, OpenFailure::CannotOpen};
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {nullptr, OpenFailure::CannotOpen};
  if (!isatty(fd)) {
    close(fd);
    return {nullptr, OpenFailure::NotACommHandle};
  }
  // TIOCEXCL turns away later openers, except root; flock turns away root.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0 || !MakeRaw(fd)) {
    close(fd);
    return {nullptr, OpenFailure::CannotOpen};
  }
  AskForLowLatency(fd);
  return {MakePosixSerialDevice(fd, fd, DriverCounters(fd)), OpenFailure::None};
}

} // namespace zr7
