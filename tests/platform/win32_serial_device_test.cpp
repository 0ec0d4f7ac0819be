// The Windows serial device under Wine, on COM8: zr7-sim linked into the
// Wine prefix (with_sim_on_com.sh), answering requests 2, 3, 7 and 8 in two
// halves 60 ms apart. The simulator counts requests over the whole run, so
// the dialogue below runs in one test, in order, once for each kind of
// chunk: Wine never ends a chunk that takes what is there empty, as Windows
// does, so the chunks Windows falls back to are asked for by name.
#include "platform/win32/win32_serial_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace zr7 {
namespace {

using namespace std::chrono_literals;

class Win32Device : public ::testing::Test {
protected:
  void SetUp() override { Open(Win32ReadChunks::TakeWhatIsThere); }

  void Open(Win32ReadChunks chunks) {
    readRecord.reset();
    writeRecord.reset();
    device.reset();
    OpenedDevice opened = OpenWin32SerialDevice(L"\\\\.\\COM8", chunks);
    ASSERT_TRUE(opened.Device) << "COM8 is zr7-sim's pty";
    device = opened.Device;
    int error = 0;
    stop = Event::Create(error);
    readRecord = device->CreateIoRecord(error);
    writeRecord = device->CreateIoRecord(error);
    ASSERT_TRUE(stop && readRecord && writeRecord) << error;
  }

  void Configure(std::uint32_t interval, std::optional<std::uint8_t> terminator) {
    CommTimeouts timeouts;
    timeouts.ReadIntervalTimeout = interval;
    ASSERT_TRUE(device->SetTimeouts(timeouts).Ok());
    device->SetReadTerminator(terminator);
  }

  void Send(const char* request) {
    IoResult result =
        device->StartWrite(*writeRecord, reinterpret_cast<const std::uint8_t*>(request), std::strlen(request));
    if (result.Status == IoStatus::Pending) {
      IoRecord* records[] = {writeRecord.get()};
      int error = 0;
      ASSERT_EQ(device->WaitAny(*stop, records, error), 1u);
      result = device->GetOverlappedResult(*writeRecord);
    }
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.Count, std::strlen(request));
  }

  // Lines whose reads end at the terminator, at the read interval's
  // silence, or with a full buffer.
  void Dialogue();

  // One completed read of at most size bytes.
  std::string Read(std::size_t size = sizeof buffer) {
    IoResult result = device->StartRead(*readRecord, buffer, size);
    if (result.Status == IoStatus::Pending) {
      IoRecord* records[] = {readRecord.get()};
      int error = 0;
      EXPECT_EQ(device->WaitAny(*stop, records, error), 1u);
      result = device->GetOverlappedResult(*readRecord);
    }
    EXPECT_TRUE(result.Ok()) << result.Error;
    return std::string(reinterpret_cast<const char*>(buffer), result.Count);
  }

  std::shared_ptr<SerialDevice> device;
  std::unique_ptr<Event> stop;
  std::unique_ptr<IoRecord> readRecord;
  std::unique_ptr<IoRecord> writeRecord;
  std::uint8_t buffer[2048];
};

TEST_F(Win32Device, ReadsEndAtTheTerminatorSilenceOrAFullBuffer) {
  for (const auto chunks : {Win32ReadChunks::TakeWhatIsThere, Win32ReadChunks::WaitForFirstBytes}) {
    SCOPED_TRACE(chunks == Win32ReadChunks::TakeWhatIsThere ? "taking what is there" : "waiting for first bytes");
    Open(chunks);
    ASSERT_NO_FATAL_FAILURE(Dialogue());
  }
}

void Win32Device::Dialogue() {
  Configure(20, '\n');
  Send("L0\r");
  EXPECT_EQ(Read(), "OK\r\n");

  // Split 60 ms apart: a read interval longer than the pause gathers the
  // line into one read, a shorter one delivers it in two.
  Configure(200, '\n');
  Send("D0\r");
  const std::string whole = Read();
  EXPECT_EQ(whole.size(), 16u) << whole;
  EXPECT_TRUE(whole.ends_with("\r\n")) << whole;

  Configure(20, '\n');
  Send("D1\r");
  const std::string first = Read();
  const std::string rest = Read();
  EXPECT_FALSE(first.ends_with("\n")) << first;
  EXPECT_TRUE(rest.ends_with("\r\n")) << rest;

  // Without a terminator the line ends by silence; a small buffer ends a
  // read when full and the rest comes with the next one.
  Configure(20, std::nullopt);
  Send("D2\r");
  EXPECT_TRUE(Read().ends_with("\r\n"));
  Configure(20, '\n');
  Send("D3\r");
  const std::string head = Read(5);
  EXPECT_EQ(head.size(), 5u);
  const std::string tail = Read();
  EXPECT_TRUE(tail.ends_with("\r\n")) << head << tail;
}

// On a quiet line a line-event wait and a read stay pending (Wine aborts
// the wait again and again underneath) until the stop event is set; records
// with operations still pending can then be destroyed.
TEST_F(Win32Device, PendingWaitsEndOnlyAtTheStopEvent) {
  Configure(20, '\n');
  ASSERT_TRUE(device->SetCommMask(kCommEventLineError).Ok());
  int error = 0;
  std::unique_ptr<IoRecord> eventRecord = device->CreateIoRecord(error);
  std::uint32_t mask = 0;
  ASSERT_EQ(device->StartWaitCommEvent(*eventRecord, mask).Status, IoStatus::Pending);
  ASSERT_EQ(device->StartRead(*readRecord, buffer, sizeof buffer).Status, IoStatus::Pending);
  std::thread stopper([&] {
    std::this_thread::sleep_for(300ms);
    stop->Set();
  });
  IoRecord* records[] = {eventRecord.get(), readRecord.get()};
  EXPECT_EQ(device->WaitAny(*stop, records, error), 0u);
  stopper.join();
  EXPECT_EQ(mask, 0u);
  eventRecord.reset();
  readRecord.reset();
}

TEST(Win32DeviceOpen, RefusesWhatIsNoPort) {
  EXPECT_EQ(OpenSerialDevice(L"\\\\.\\COM31").Failure, OpenFailure::CannotOpen);
  EXPECT_EQ(OpenSerialDevice("").Failure, OpenFailure::CannotOpen);
  EXPECT_EQ(OpenSerialDevice(L"C:\\windows\\win.ini").Failure, OpenFailure::NotACommHandle);
}

} // namespace
} // namespace zr7
