// The port component on a fake device, for what a pseudo-terminal cannot be
// made to do: line errors, failing system calls, a driver that hangs.
#include "comm_fixture.h"
#include "fake_serial_device.h"
#include "platform/system.h"
#include "serial/comm_log.h"
#include "serial/comm_messages.h"

namespace {

using namespace std::chrono_literals;
using zr7::TComm32;
using zr7::test::FakeSerialDevice;

class CommOnFake : public zr7::test::CommFixture {
protected:
  CommOnFake() {
    comm.CommPort = "COM3";
    Attach(comm);
  }
  ~CommOnFake() override { EXPECT_EQ(eventsOffTheOwnerThread, 0); }

  std::shared_ptr<FakeSerialDevice> device = std::make_shared<FakeSerialDevice>();
  std::filesystem::path openedPath;
  TComm32 comm{loop, [this](const std::filesystem::path& path) {
                 openedPath = path;
                 return zr7::OpenedDevice{device, zr7::OpenFailure::None};
               }};
};

TEST_F(CommOnFake, OpensTheMappedDeviceWithTheComponentsSettings) {
  comm.BaudRate = 76800;
  comm.RxTimeOut = 20;
  ASSERT_TRUE(comm.OpenPort());
#ifdef _WIN32
  EXPECT_EQ(openedPath, "\\\\.\\COM3");
#else
  EXPECT_EQ(openedPath, "/dev/ttyUSB2");
#endif
  zr7::CommState state;
  device->GetState(state);
  EXPECT_EQ(state.BaudRate, 76800u);
  EXPECT_EQ(state.ByteSize, 8);
  EXPECT_EQ(state.Parity, zr7::pNone);
  EXPECT_EQ(state.StopBits, zr7::sb1_0);
  zr7::CommTimeouts timeouts;
  device->GetTimeouts(timeouts);
  EXPECT_EQ(timeouts.ReadIntervalTimeout, 20u);
  EXPECT_EQ(timeouts.ReadTotalTimeoutConstant + timeouts.ReadTotalTimeoutMultiplier +
                timeouts.WriteTotalTimeoutConstant + timeouts.WriteTotalTimeoutMultiplier,
            0u);
  comm.ClosePort();
}

// Each line-error report is one OnErrorData, in order, with its bits.
TEST_F(CommOnFake, LineErrorsBecomeErrorStatusBits) {
  ASSERT_TRUE(comm.OpenPort());
  const std::pair<std::uint32_t, int> reports[] = {{zr7::kLineErrorFrame, 1},
                                                   {zr7::kLineErrorOverrun, 2},
                                                   {zr7::kLineErrorParity, 4},
                                                   {zr7::kLineErrorBreak, 8},
                                                   {zr7::kLineErrorRxOver, 8},
                                                   {0, 0},
                                                   {zr7::kLineErrorFrame | zr7::kLineErrorParity, 5}};
  std::vector<int> expected;
  for (auto [flags, status] : reports) {
    device->ReportLineError(flags);
    expected.push_back(status);
  }
  ASSERT_TRUE(WaitFor([&] { return errorReports.size() == expected.size(); }));
  EXPECT_EQ(errorReports, expected);

  device->DeliverChunk("still reading\r\n");
  ASSERT_TRUE(WaitFor([&] { return Received() == "still reading\r\n"; }));
  EXPECT_EQ(hangups, 0);
  comm.ClosePort();
}

// A thread that fails while starting never announces itself: OpenPort
// still returns, the port is open but degraded, and the failure is told
// once through OnRequestHangup.
struct StartFailure {
  const char* call;
  std::vector<std::string> lines;
  bool readReady;
  bool writeReady;
  int hangups;
};

void PrintTo(const StartFailure& failure, std::ostream* out) { *out << failure.call << " fails"; }

class StartFailures : public CommOnFake, public ::testing::WithParamInterface<StartFailure> {};

// The device fails with a code of the system's own, logged with its text.
const int kDeviceFailure = zr7::DeviceGoneError();
const std::string kDeviceFailureText = "GetLastError returned: \"" + zr7::SystemErrorText(kDeviceFailure) + "\"";

TEST_P(StartFailures, EndTheReadyWaitAndAreReported) {
  const StartFailure& c = GetParam();
  device->Failing[c.call] = kDeviceFailure;
  ASSERT_TRUE(comm.OpenPort());
  EXPECT_TRUE(comm.IsOpen());
  EXPECT_EQ(comm.ReadReady(), c.readReady);
  EXPECT_EQ(comm.WriteReady(), c.writeReady);
  ASSERT_TRUE(WaitFor([&] { return hangups == c.hangups; }));
  Drain(20ms);
  EXPECT_EQ(hangups, c.hangups) << "one report per failed thread";
  comm.ClosePort();
  for (const std::string& line : c.lines) EXPECT_TRUE(Logged(line)) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, StartFailures,
    ::testing::Values(StartFailure{"SetCommMask",
                                   {"Unable to SetCommMask: " + kDeviceFailureText, "Read thread shutting down"},
                                   false,
                                   true,
                                   1},
                      StartFailure{"StartWaitCommEvent",
                                   {"Unexpected WaitCommEvent error: " + kDeviceFailureText,
                                    "Unable to SetupCommEvent1: " + kDeviceFailureText},
                                   false,
                                   true,
                                   1},
                      StartFailure{"StartRead",
                                   {"Unexpected ReadFile error: " + kDeviceFailureText,
                                    "Unable to SetupReadEvent: " + kDeviceFailureText},
                                   false,
                                   true,
                                   1},
                      StartFailure{"CreateIoRecord",
                                   {"Unable to CreateEvent: " + kDeviceFailureText, "Read thread shutting down",
                                    "Write thread shutting down"},
                                   false,
                                   false,
                                   2}),
    [](const ::testing::TestParamInfo<StartFailure>& info) { return std::string(info.param.call); });

// A thread that the C++ runtime cannot start is logged with the runtime's
// text for its code, not with the system text of the same number.
TEST_F(CommOnFake, RuntimeFailuresAreLoggedWithTheRuntimesText) {
  zr7::comm_log::SetPath(logPath);
  zr7::comm_log::Open();
  zr7::comm_log::LogError(std::make_error_code(std::errc::resource_unavailable_try_again),
                          "Unable to create Read thread");
  zr7::comm_log::Close();
  EXPECT_TRUE(Logged("Unable to create Read threadGetLastError returned: \"Resource temporarily unavailable\""));
}

// A read failing while running ends the reader alone; the writer goes on.
TEST_F(CommOnFake, AFailedReadEndsOnlyTheReader) {
  ASSERT_TRUE(comm.OpenPort());
  device->FailPendingRead(kDeviceFailure);
  ASSERT_TRUE(WaitFor([&] { return hangups == 1; }));
  ASSERT_TRUE(comm.SendBytes("L0\r", 3));
  ASSERT_TRUE(PollFor([&] { return device->Written() == "L0\r"; }));
  comm.ClosePort();
  EXPECT_TRUE(Logged("Unexpected GetOverlappedResult Read Error: " + kDeviceFailureText));
  EXPECT_TRUE(Logged("Unable to HandleReadEvent: " + kDeviceFailureText));
  EXPECT_EQ(hangups, 1);
}

// A failed write ends the writer: later requests are refused and nothing
// more is written.
TEST_F(CommOnFake, AFailedWriteEndsTheWriter) {
  device->Failing["StartWrite"] = kDeviceFailure;
  ASSERT_TRUE(comm.OpenPort());
  ASSERT_TRUE(comm.SendBytes("D5\r", 3));
  ASSERT_TRUE(WaitFor([&] { return hangups == 1 && Logged("Write thread shutting down"); }));
  EXPECT_FALSE(comm.SendBytes("D6\r", 3));
  comm.ClosePort();
  EXPECT_TRUE(Logged("Error to writing to CommFile" + kDeviceFailureText));
  EXPECT_TRUE(Logged("Closing TAPI"));
  EXPECT_TRUE(Logged("Failed to Post to Write thread. "));
}

// Partial writes are continued, also when each part completes only after
// a wait, and requests are never interleaved.
TEST_F(CommOnFake, PartialAndPendingWritesAreContinuedInOrder) {
  device->MaxWritePerCall = 3;
  device->PendWrites = true;
  ASSERT_TRUE(comm.OpenPort());
  const std::string first = "L143\r", second = "D43\r", third(100, 'z');
  for (const std::string* request : {&first, &second, &third})
    ASSERT_TRUE(comm.SendBytes(request->data(), static_cast<std::uint16_t>(request->size())));
  ASSERT_TRUE(PollFor([&] { return device->Written().size() == 109; }));
  EXPECT_EQ(device->Written(), first + second + third);
  comm.ClosePort();
}

// A driver that never lets its wait end: ClosePort gives up on the reader
// after its time limit and the component is closed; the thread is left to
// end by itself and delivers nothing more.
TEST_F(CommOnFake, AStuckWorkerIsLeftBehindAfterTheCloseTimeout) {
  comm.CloseTimeout = 100ms;
  ASSERT_TRUE(comm.OpenPort());
  device->Hold();
  ASSERT_TRUE(PollFor([&] { return device->StuckWaits() == 1; }));
  device->DeliverChunk("late");

  comm.ClosePort();
  EXPECT_FALSE(comm.IsOpen());
  EXPECT_TRUE(Logged("Read thread not exiting.  Terminating it."));
  EXPECT_FALSE(Logged("Write thread not exiting.  Terminating it."));
  EXPECT_EQ(device->Purges(zr7::kPurgeTxAbort | zr7::kPurgeTxClear), 2) << "by ClosePort and by the writer";

  device->Release();
  ASSERT_TRUE(PollFor([&] { return device->Purges(zr7::kPurgeRxAbort | zr7::kPurgeRxClear) == 2; }))
      << "the reader reaches its exit step";
  Drain(50ms);
  EXPECT_TRUE(chunks.empty());
  EXPECT_EQ(hangups, 0);

  ASSERT_TRUE(comm.OpenPort()) << "a new device opens while the old thread ends";
  comm.ClosePort();
}

} // namespace
