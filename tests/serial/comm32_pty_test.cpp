// The port component on real pseudo-terminals: the test plays the
// instrument on the far end of the line.
#include "comm_fixture.h"
#include "pty_pair.h"
#include "unprivileged_child.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using zr7::ECommsError;
using zr7::TComm32;
using zr7::test::PtyPair;

// The main window's settings: 76800 baud, 8N1, reads end after 20 ms of
// silence.
class CommOnPty : public zr7::test::CommFixture {
protected:
  CommOnPty() {
    comm.RxTimeOut = 20;
    comm.BaudRate = 76800;
    comm.CommPort = pty.TerminalPath();
    Attach(comm);
  }
  ~CommOnPty() override {
    comm.ClosePort();
    EXPECT_EQ(eventsOffTheOwnerThread, 0);
  }

  std::vector<std::size_t> ChunkSizes() const {
    std::vector<std::size_t> sizes;
    for (const Chunk& chunk : chunks) sizes.push_back(chunk.bytes.size());
    return sizes;
  }

  PtyPair pty;
  TComm32 comm{loop};
};

TEST_F(CommOnPty, SendBytesBeforeOpenPortSendsNothing) {
  EXPECT_FALSE(comm.SendBytes("L0\r", 3));
  ASSERT_TRUE(comm.OpenPort());
  EXPECT_TRUE(comm.ReadReady());
  EXPECT_TRUE(comm.WriteReady());
  EXPECT_EQ(pty.Receive(1, 50ms), "");
}

// Each request reaches the line whole and in the order of the calls.
TEST_F(CommOnPty, QuickRequestsReachTheLineInOrderAndWhole) {
  ASSERT_TRUE(comm.OpenPort());
  const std::string first(3000, 'a'), second = "D12\r", third(3000, 'c');
  ASSERT_TRUE(comm.SendBytes(first.data(), static_cast<std::uint16_t>(first.size())));
  ASSERT_TRUE(comm.SendBytes(second.data(), static_cast<std::uint16_t>(second.size())));
  ASSERT_TRUE(comm.SendBytes(third.data(), static_cast<std::uint16_t>(third.size())));
  EXPECT_EQ(pty.Receive(6004, 5s), first + second + third);
}

TEST_F(CommOnPty, AnAnswerWithoutPauseArrivesAsOneEvent) {
  ASSERT_TRUE(comm.OpenPort());
  const std::string answer = "12345 -2345 34567 45678 56789 6789 789\r\n";
  ASSERT_EQ(answer.size(), 40u);
  pty.Send(answer);
  ASSERT_TRUE(WaitFor([&] { return !chunks.empty(); }));
  Drain(60ms);
  EXPECT_EQ(ChunkSizes(), std::vector<std::size_t>{40});
  EXPECT_EQ(Received(), answer);
}

TEST_F(CommOnPty, APauseLongerThanRxTimeOutSplitsAnAnswer) {
  ASSERT_TRUE(comm.OpenPort());
  pty.Send(std::string(20, 'x'));
  std::this_thread::sleep_for(50ms);
  pty.Send(std::string(20, 'y'));
  ASSERT_TRUE(WaitFor([&] { return Received().size() == 40; }));
  EXPECT_EQ(ChunkSizes(), (std::vector<std::size_t>{20, 20}));
}

// Every byte value, 0xFF included, in events of at most 2048 bytes, each
// followed by a zero byte that the length does not count.
TEST_F(CommOnPty, ALongStreamArrivesInBoundedChunksInOrder) {
  ASSERT_TRUE(comm.OpenPort());
  std::string sent;
  for (int i = 0; i < 5000; ++i) sent += static_cast<char>((i * 7) & 0xFF);
  pty.Send(sent);
  ASSERT_TRUE(WaitFor([&] { return Received().size() >= sent.size(); }));
  EXPECT_EQ(Received(), sent);
  EXPECT_GE(chunks.size(), 3u);
  for (const Chunk& chunk : chunks) {
    EXPECT_LE(chunk.bytes.size(), 2048u);
    EXPECT_TRUE(chunk.zeroAfter);
  }
}

TEST_F(CommOnPty, OpeningAnOpenPortFailsAndLeavesItWorking) {
  ASSERT_TRUE(comm.OpenPort());
  try {
    comm.OpenPort();
    FAIL() << "a second OpenPort must fail";
  } catch (const ECommsError& error) {
    EXPECT_STREQ(error.what(), "Already have a comm file open");
  }
  ASSERT_TRUE(comm.SendBytes("D1\r", 3));
  EXPECT_EQ(pty.Receive(3, 5s), "D1\r");
}

// A port held by another component (root is not kept out by TIOCEXCL, so
// this also checks the lock) or missing, a file that is no port, and no
// port at all give the texts the window shows.
TEST_F(CommOnPty, OpenFailuresGiveTheirMessagesAndLeaveThePortClosed) {
  ASSERT_TRUE(comm.OpenPort());
  char file[] = "/tmp/zr7-not-a-port-XXXXXX";
  ::close(::mkstemp(file));
  const struct {
    std::string port;
    const char* message;
  } cases[] = {{pty.TerminalPath(), "Error opening com port"},
               {"/dev/zr7-no-such-port", "Error opening com port"},
               {file, "File handle is not a comm handle. "},
               {"", "Error opening com port"}};
  for (const auto& c : cases) {
    TComm32 other(loop);
    other.CommPort = c.port;
    try {
      other.OpenPort();
      ADD_FAILURE() << "opening \"" << c.port << "\" must fail";
    } catch (const ECommsError& error) {
      EXPECT_STREQ(error.what(), c.message) << c.port;
    }
    EXPECT_FALSE(other.IsOpen()) << c.port;
    EXPECT_FALSE(other.SendBytes("x", 1)) << c.port;
  }
  std::remove(file);
}

// The system refuses the reader or the writer a thread (the user's limit
// of processes is reached): OpenPort fails with the component's text and
// gives the port back whole, with no thread left running, so that it opens
// again once threads can be made. The child runs as a user of its own, whom
// no other process counts against.
TEST_F(CommOnPty, APortWhoseThreadsCannotStartIsGivenBack) {
  constexpr uid_t kLoneUser = 64321;
  ASSERT_EQ(::chown(pty.TerminalPath().c_str(), kLoneUser, kLoneUser), 0);
  ASSERT_EQ(::chown(logFolder.c_str(), kLoneUser, kLoneUser), 0);
  auto threads = [] {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return std::distance(begin(tasks), end(tasks));
  };
  const char* const outcomes[] = {"all as expected",
                                  "the thread limit could not be set",
                                  "OpenPort did not fail",
                                  "OpenPort failed with another text",
                                  "the port stayed open or a thread was left",
                                  "OpenPort failed once threads could be made",
                                  "the opened port did not work"};
  const int outcome = zr7::RunAsUser(kLoneUser, kLoneUser, [&] {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NPROC, &limit) != 0) return 1;
    const rlim_t usual = limit.rlim_cur;
    // The process's threads in all: one leaves none for the reader, two
    // none for the writer.
    const struct {
      rlim_t threads;
      const char* message;
    } cases[] = {{1, "Unable to create Read thread"}, {2, "Unable to create Write thread"}};
    for (const auto& c : cases) {
      limit.rlim_cur = c.threads;
      if (::setrlimit(RLIMIT_NPROC, &limit) != 0) return 1;
      try {
        comm.OpenPort();
        return 2;
      } catch (const ECommsError& error) {
        if (std::string(error.what()) != c.message) return 3;
      }
      if (comm.IsOpen() || !PollFor([&] { return threads() == 1; })) return 4;
    }
    limit.rlim_cur = usual;
    if (::setrlimit(RLIMIT_NPROC, &limit) != 0) return 1;
    try {
      comm.OpenPort();
    } catch (const ECommsError&) {
      return 5;
    }
    if (!comm.SendBytes("L13\r", 4) || pty.Receive(4, 5s) != "L13\r") return 6;
    comm.ClosePort();
    return 0;
  });
  ASSERT_GE(outcome, 0) << "the tests must run as root";
  EXPECT_EQ(outcome, 0) << outcomes[outcome];
}

TEST_F(CommOnPty, ClosingAndOpeningAgainWorks) {
  ASSERT_TRUE(comm.OpenPort());
  comm.ClosePort();
  EXPECT_FALSE(comm.IsOpen());
  EXPECT_FALSE(comm.SendBytes("x", 1));
  comm.ClosePort(); // closing a closed port does nothing

  ASSERT_TRUE(comm.OpenPort());
  EXPECT_TRUE(comm.ReadReady());
  EXPECT_TRUE(comm.WriteReady());
  ASSERT_TRUE(comm.SendBytes("L13\r", 4));
  EXPECT_EQ(pty.Receive(4, 5s), "L13\r");
  pty.Send("0 0 0\r\n");
  ASSERT_TRUE(WaitFor([&] { return Received() == "0 0 0\r\n"; }));
}

// Pulling the plug ends the reader through its failure path, and the writer
// at its next write; the port stays open, degraded, until ClosePort, which
// then returns without waiting out its time limit.
TEST_F(CommOnPty, AnUnpluggedLineEndsTheWorkersWithHangups) {
  ASSERT_TRUE(comm.OpenPort());
  pty.Unplug();
  ASSERT_TRUE(WaitFor([&] { return hangups == 1; }));
  EXPECT_TRUE(comm.IsOpen());

  EXPECT_TRUE(comm.SendBytes("D0\r", 3));
  ASSERT_TRUE(WaitFor([&] { return hangups == 2 && Logged("Write thread shutting down"); }));
  EXPECT_FALSE(comm.SendBytes("D1\r", 3)) << "the writer has ended";

  comm.ClosePort();
  EXPECT_FALSE(comm.IsOpen());
  EXPECT_TRUE(Logged("Read thread shutting down"));
  EXPECT_TRUE(Logged("Write thread shutting down"));
  EXPECT_TRUE(Logged("Closing TAPI"));
  EXPECT_FALSE(Logged("Read thread not exiting.  Terminating it."));
  EXPECT_FALSE(Logged("Write thread not exiting.  Terminating it."));
  // The hung-up line reads 0 bytes, which the log tells as the device gone.
  EXPECT_TRUE(Logged("Unable to HandleReadEvent: GetLastError returned: \"No such device\""));
  for (const std::string& line : LogLines()) EXPECT_EQ(line.find("\"Success\""), std::string::npos) << line;
}

// With the terminator set a line comes as soon as its line feed does: the
// next bytes, 100 ms later and well inside RxTimeOut, are a read of their own.
TEST_F(CommOnPty, RxTerminatorDeliversALineWithoutWaitingOutRxTimeOut) {
  comm.RxTimeOut = 255;
  comm.RxTerminator = '\n';
  ASSERT_TRUE(comm.OpenPort());
  pty.Send("1 2 3\r\n");
  std::this_thread::sleep_for(100ms);
  pty.Send("4 5");
  ASSERT_TRUE(WaitFor([&] { return Received().size() == 10; }));
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0].bytes, "1 2 3\r\n");
  EXPECT_EQ(chunks[1].bytes, "4 5");
}

// The same timing without the terminator: the silence rule alone joins them.
TEST_F(CommOnPty, WithoutRxTerminatorOnlySilenceEndsARead) {
  comm.RxTimeOut = 255;
  ASSERT_TRUE(comm.OpenPort());
  pty.Send("1 2 3\r\n");
  std::this_thread::sleep_for(100ms);
  pty.Send("4 5");
  ASSERT_TRUE(WaitFor([&] { return Received().size() == 10; }));
  EXPECT_EQ(ChunkSizes(), std::vector<std::size_t>{10});
}

TEST_F(CommOnPty, TheLogRecordsEveryStepInWholeLines) {
  ASSERT_TRUE(comm.OpenPort());
  ASSERT_TRUE(comm.SendBytes("D0\r", 3));
  EXPECT_EQ(pty.Receive(3, 5s), "D0\r");
  pty.Send("1 2 3\r\n");
  ASSERT_TRUE(WaitFor([&] { return !chunks.empty(); }));
  comm.ClosePort();
  EXPECT_FALSE(comm.SendBytes("x", 1));

  const auto lines = LogLines();
  const auto at = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) - lines.begin(); };
  for (const char* line :
       {"Waiting for a CommEvent (Error) to occur.", "Waiting for data from comm connection.", "Writing to comm port",
        "Got something from Comm port!!!", "Stopping the Comm", "Closing Read Thread ", "Read thread shutting down",
        "Closing Write Thread", "Write thread shutting down"})
    EXPECT_LT(at(line), static_cast<long>(lines.size())) << line;
  EXPECT_LT(at("Stopping the Comm"), at("Closing Read Thread "));
  EXPECT_LT(at("Closing Read Thread "), at("Read thread shutting down"));
  // One stop event ends both threads, so the writer may be down already.
  EXPECT_LT(at("Read thread shutting down"), at("Closing Write Thread"));
  EXPECT_FALSE(Logged("Write thread not created")) << "the log is closed with the port";
}

} // namespace
