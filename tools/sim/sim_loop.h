#pragma once

#include "sim_instrument.h"
#include "sim_options.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>

namespace zr7::sim {

// Reads requests from the pty's master side and sends the answers at their
// time: one after another like the instrument, each after its latency, at
// line speed when paced, with the faults the options ask for.
class TSimLoop {
public:
  TSimLoop(const TSimOptions& options, const TSimBanks& banks, int master, std::FILE* log);

  // Runs until `stop` becomes non-zero. The signals that set it must be
  // blocked by the caller; they are let through only while waiting.
  void Run(const volatile std::sig_atomic_t& stop);

private:
  using TClock = std::chrono::steady_clock;
  struct TSegment {
    TClock::time_point due;
    std::string bytes;
    std::size_t sent = 0;
  };

  void ReadRequests();
  void Handle(const std::string& request);
  void Schedule(std::string bytes, TClock::time_point earliest);
  TClock::duration WireTime(std::size_t bytes) const;
  // Writes what is due; returns true when the device cannot take more now.
  bool WriteDue();
  // How long the loop may wait for requests; none: until one comes.
  std::optional<TClock::duration> PollTimeout() const;

  const TSimOptions& options_;
  TSimInstrument instrument_;
  TRequestSplitter splitter_;
  int master_;
  std::FILE* log_;
  long requestCount_ = 0;
  std::deque<TSegment> out_;
  TClock::time_point lineFree_{};
  TClock::time_point inboundFree_{};
  bool blocked_ = false;
};

} // namespace zr7::sim
