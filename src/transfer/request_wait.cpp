#include "request_wait.h"

#include <algorithm>

namespace zr7 {

void TRequestWait::Begin() {
  status_ = kWaiting;
  line_.clear();
  overlong_ = false;
}

bool TRequestWait::Receive(std::span<const std::uint8_t> chunk) {
  if (status_ != kWaiting) return false;
  const auto lineFeed = std::find(chunk.begin(), chunk.end(), std::uint8_t{'\n'});
  const bool complete = lineFeed != chunk.end();
  const auto end = complete ? lineFeed + 1 : chunk.end();
  line_.append(chunk.begin(), end);
  if (line_.size() > kLineCapacity) {
    overlong_ = true;
    status_ = kAnswered;
    return true;
  }
  if (complete) status_ = kAnswered;
  return complete;
}

void TRequestWait::TimeOut() {
  if (status_ == kWaiting) status_ = kTimedOut;
}

std::string TRequestWait::Text() const {
  std::string text = line_;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

} // namespace zr7
