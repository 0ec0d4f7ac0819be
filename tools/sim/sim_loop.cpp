#include "sim_loop.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

namespace zr7::sim {
namespace {

constexpr double kBytesPerSecond = 7680; // 76800 baud, 10 bits a byte
// A paced answer goes out in pieces of this many bytes (about a
// millisecond on the wire), each once its last byte's time has passed.
constexpr std::size_t kPacedPieceBytes = 8;

} // namespace

TSimLoop::TSimLoop(const TSimOptions& options, const TSimBanks& banks, int master, std::FILE* log)
    : options_(options), instrument_(banks), master_(master), log_(log) {}

void TSimLoop::Run(const volatile std::sig_atomic_t& stop) {
  sigset_t unblocked;
  sigemptyset(&unblocked);
  while (!stop) {
    pollfd fd{master_, POLLIN, 0};
    if (blocked_) fd.events |= POLLOUT;
    const auto wait = PollTimeout();
    timespec timeout{};
    if (wait) {
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(*wait).count();
      timeout = {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    }
    const int ready = ppoll(&fd, 1, wait ? &timeout : nullptr, &unblocked);
    if (ready < 0 && errno != EINTR) return;
    if (ready > 0 && (fd.revents & POLLIN)) ReadRequests();
    blocked_ = WriteDue();
  }
}

void TSimLoop::ReadRequests() {
  char buffer[512];
  while (true) {
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) return;
    for (const auto& request : splitter_.Feed({buffer, static_cast<std::size_t>(n)})) Handle(request);
  }
}

void TSimLoop::Handle(const std::string& request) {
  const long number = ++requestCount_;
  if (log_ != nullptr) {
    std::fprintf(log_, "%s\n", request.c_str());
    std::fflush(log_);
  }
  auto answer = instrument_.Answer(request);
  const bool switchedOff = options_.silentFrom > 0 && number >= options_.silentFrom;
  if (!answer || options_.silent || switchedOff || options_.silentAt.contains(number)) return;
  if (options_.malformedAt.contains(number)) answer = MalformedAnswer(*answer);
  const auto late = options_.lateAt.find(number);
  const int delayMs = late != options_.lateAt.end() ? late->second : options_.latencyMs;
  // Paced, a request is whole at the instrument once its bytes and the
  // carriage return have crossed the line from the computer, which the
  // pty does not delay.
  const auto received = std::max(TClock::now(), inboundFree_) + WireTime(request.size() + 1);
  inboundFree_ = received;
  const auto earliest = received + std::chrono::milliseconds(delayMs);
  if (options_.splitAt.contains(number)) {
    const std::size_t half = answer->size() / 2;
    Schedule(answer->substr(0, half), earliest);
    Schedule(answer->substr(half), lineFree_ + std::chrono::milliseconds(options_.splitPauseMs));
  } else {
    Schedule(std::move(*answer), earliest);
  }
}

// The instrument answers one request after the other: an answer never
// overtakes the one before it.
void TSimLoop::Schedule(std::string bytes, TClock::time_point earliest) {
  const auto due = std::max(earliest, lineFree_);
  lineFree_ = due + WireTime(bytes.size());
  out_.push_back({due, std::move(bytes)});
}

TSimLoop::TClock::duration TSimLoop::WireTime(std::size_t bytes) const {
  if (!options_.pace) return {};
  return std::chrono::duration_cast<TClock::duration>(std::chrono::duration<double>(bytes / kBytesPerSecond));
}

bool TSimLoop::WriteDue() {
  const auto now = TClock::now();
  while (!out_.empty() && out_.front().due <= now) {
    TSegment& segment = out_.front();
    std::size_t allowed = segment.bytes.size();
    if (options_.pace) {
      // Only the bytes whose time on the wire has passed; the wait ends at
      // a time rounded down to the nanosecond, which must not lose a byte.
      const double elapsed = std::chrono::duration<double>(now - segment.due).count();
      allowed = std::min(allowed, static_cast<std::size_t>(elapsed * kBytesPerSecond + 1e-4));
    }
    if (allowed > segment.sent) {
      const ssize_t n = write(master_, segment.bytes.data() + segment.sent, allowed - segment.sent);
      if (n < 0 && errno == EAGAIN) return true;
      if (n < 0) {
        out_.pop_front(); // the device refuses it: the answer is lost, as on a broken line
        continue;
      }
      segment.sent += static_cast<std::size_t>(n);
    }
    if (segment.sent < segment.bytes.size()) return false;
    out_.pop_front();
  }
  return false;
}

// Waits end when the next bytes are due, to the nanosecond rather than at
// millisecond ticks: an answer's last byte leaves when a real line would
// have carried it, not up to a tick later.
std::optional<TSimLoop::TClock::duration> TSimLoop::PollTimeout() const {
  if (out_.empty() || blocked_) return std::nullopt;
  const TSegment& front = out_.front();
  TClock::time_point next = front.due;
  if (options_.pace) next += WireTime(std::min(front.bytes.size(), front.sent + kPacedPieceBytes));
  return std::max(next - TClock::now(), TClock::duration::zero());
}

} // namespace zr7::sim
