// Round trip over a pseudo-terminal with an answering peer: from SendBytes
// of a 4-byte request to the OnReceiveData that completes a 16-byte answer
// ending in line feed, with RxTerminator off (reads end only after RxTimeOut
// of silence) and on. Then the main thread's CPU time while the port is open
// and idle.
//
// usage: zr7_bench_serial [idle seconds, default 10]

#include "platform/plain_message_loop.h"
#include "serial/comm32.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kRequest[] = "D12\r";
constexpr char kAnswer[] = "-1234 5678 901\r\n";
static_assert(sizeof kRequest - 1 == 4 && sizeof kAnswer - 1 == 16);

// The instrument's stand-in: answers every 4 bytes it receives.
class AnsweringPeer {
public:
  explicit AnsweringPeer(int fd) : fd_(fd), stop_(eventfd(0, EFD_CLOEXEC)), thread_([this] { Run(); }) {}
  ~AnsweringPeer() {
    const std::uint64_t one = 1;
    [[maybe_unused]] auto written = write(stop_, &one, sizeof one);
    thread_.join();
    close(stop_);
  }

private:
  void Run() {
    std::size_t pending = 0;
    for (;;) {
      pollfd entries[2] = {{fd_, POLLIN, 0}, {stop_, POLLIN, 0}};
      if (poll(entries, 2, -1) < 0 || entries[1].revents) return;
      char buffer[256];
      const ssize_t got = read(fd_, buffer, sizeof buffer);
      if (got <= 0) continue;
      for (pending += static_cast<std::size_t>(got); pending >= 4; pending -= 4)
        [[maybe_unused]] auto written = write(fd_, kAnswer, sizeof kAnswer - 1);
    }
  }

  int fd_;
  int stop_;
  std::thread thread_;
};

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const std::size_t index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Run {
  std::vector<double> milliseconds;
  int timeouts = 0;
};

Run MeasureRoundTrips(zr7::PlainMessageLoop& loop, zr7::TComm32& comm, std::string& received, int count) {
  Run run;
  for (int i = 0; i < count; ++i) {
    received.clear();
    const auto start = Clock::now();
    comm.SendBytes(kRequest, 4);
    const bool answered = loop.ProcessMessagesUntil([&] { return received.size() >= 16 && received.back() == '\n'; },
                                                    std::chrono::seconds(2));
    const auto end = Clock::now();
    if (!answered) {
      ++run.timeouts;
      continue;
    }
    run.milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  return run;
}

} // namespace

int main(int argc, char** argv) {
  const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 10;

  int controller = -1, terminal = -1;
  char name[256];
  termios raw{};
  cfmakeraw(&raw);
  if (openpty(&controller, &terminal, name, &raw, nullptr) != 0) {
    std::perror("openpty");
    return 1;
  }
  AnsweringPeer peer(controller);

  zr7::PlainMessageLoop loop;
  zr7::TComm32 comm(loop);
  std::string received;
  comm.OnReceiveData = [&](const char* buffer, std::uint16_t length) { received.append(buffer, length); };
  comm.CommPort = name;
  comm.BaudRate = 76800;
  comm.RxTimeOut = 20;

  std::printf("serial round trip on %s, RxTimeOut %d ms, 4-byte request, 16-byte answer\n", name, comm.RxTimeOut);
  double medians[2] = {};
  for (int terminatorOn = 0; terminatorOn < 2; ++terminatorOn) {
    if (terminatorOn) comm.RxTerminator = '\n';
    comm.OpenPort();
    MeasureRoundTrips(loop, comm, received, 10); // warm-up
    const Run run = MeasureRoundTrips(loop, comm, received, terminatorOn ? 2000 : 200);
    comm.ClosePort();
    if (run.milliseconds.empty()) {
      std::printf("no answers\n");
      return 1;
    }
    medians[terminatorOn] = Percentile(run.milliseconds, 0.5);
    std::printf("RxTerminator %-3s: %zu round trips, median %.3f ms, p95 %.3f ms, max %.3f ms, time-outs %d\n",
                terminatorOn ? "on" : "off", run.milliseconds.size(), medians[terminatorOn],
                Percentile(run.milliseconds, 0.95), Percentile(run.milliseconds, 1.0), run.timeouts);
  }
  std::printf("speed-up of the median: %.1fx\n", medians[0] / medians[1]);

  comm.OpenPort();
  const double threadBefore = ThreadCpuSeconds(), processBefore = ProcessCpuSeconds();
  const auto idleStart = Clock::now();
  loop.ProcessMessagesUntil([] { return false; }, std::chrono::seconds(idleSeconds));
  const double wall = std::chrono::duration<double>(Clock::now() - idleStart).count();
  const double threadCpu = ThreadCpuSeconds() - threadBefore, processCpu = ProcessCpuSeconds() - processBefore;
  comm.ClosePort();
  std::printf("idle connected %.1f s: main thread CPU %.3f ms, whole process CPU %.3f ms\n", wall, threadCpu * 1e3,
              processCpu * 1e3);
  close(terminal);
  close(controller);
  return 0;
}
