#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zr7 {

// The wait for one answer line. Received chunks are joined until a line
// feed ends the line, so a line that the port delivers in pieces is read
// whole. Each request starts with an empty line.
class TRequestWait {
public:
  static constexpr int kWaiting = 0;
  static constexpr int kAnswered = 6;
  static constexpr int kTimedOut = 21;
  // Room for one answer line, CR LF included.
  static constexpr std::size_t kLineCapacity = 400;

  // A request has been handed to the port: wait afresh.
  void Begin();
  // A chunk arrived. Returns true when it ended the wait (the answer timer
  // is then to be stopped). Bytes after the line feed are not part of the
  // answer and are dropped.
  bool Receive(std::span<const std::uint8_t> chunk);
  // The answer timer fired; only a wait still open times out.
  void TimeOut();

  int StatusRS() const { return status_; }
  // The answer's text without its CR LF.
  std::string Text() const;
  // The line grew past kLineCapacity before its line feed came; such an
  // answer ends the wait at once and counts as a malformed line.
  bool Overlong() const { return overlong_; }

private:
  int status_ = kWaiting;
  std::string line_;
  bool overlong_ = false;
};

} // namespace zr7
