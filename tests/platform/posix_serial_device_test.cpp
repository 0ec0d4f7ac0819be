#include "platform/posix/termios2_speed.h"
#include "platform/serial_device.h"
#include "pty_pair.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <termios.h>

namespace {

using zr7::test::PtyPair;

TEST(PosixSerialDevice, SetsTheInstrumentsSpeedAndFormatRaw) {
  PtyPair pty;
  zr7::OpenedDevice opened = zr7::OpenSerialDevice(pty.TerminalPath());
  ASSERT_TRUE(opened.Device);
  ASSERT_TRUE(opened.Device->SetState({76800, 8, 0, 0}).Ok());

  std::uint32_t baud = 0;
  ASSERT_TRUE(zr7::GetBaudRate(pty.Terminal(), baud));
  EXPECT_EQ(baud, 76800u);
  termios settings{};
  ASSERT_EQ(tcgetattr(pty.Terminal(), &settings), 0);
  EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_FALSE(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS));
  EXPECT_FALSE(settings.c_lflag & (ICANON | ECHO | ISIG));
  EXPECT_FALSE(settings.c_iflag & (IXON | ICRNL));
  EXPECT_FALSE(settings.c_oflag & OPOST);

  // A pseudo-terminal always keeps 8 data bits without parity, so only the
  // speed and the stop bits can be seen to change here.
  zr7::CommState state;
  ASSERT_TRUE(opened.Device->SetState({9600, 8, 0, 2}).Ok());
  ASSERT_TRUE(opened.Device->GetState(state).Ok());
  EXPECT_EQ(state.BaudRate, 9600u);
  EXPECT_EQ(state.StopBits, 2);
  EXPECT_FALSE(opened.Device->SetState({9600, 8, 0, 1}).Ok()) << "1.5 stop bits need 5 data bits";
}

// Root ignores TIOCEXCL, so only the lock keeps a second opener out here.
TEST(PosixSerialDevice, OpensExclusivelyAndOnlyTerminals) {
  PtyPair pty;
  {
    zr7::OpenedDevice first = zr7::OpenSerialDevice(pty.TerminalPath());
    ASSERT_TRUE(first.Device);
    EXPECT_EQ(zr7::OpenSerialDevice(pty.TerminalPath()).Failure, zr7::OpenFailure::CannotOpen);
  }
  EXPECT_TRUE(zr7::OpenSerialDevice(pty.TerminalPath()).Device) << "free again once closed";

  char file[] = "/tmp/zr7-not-a-port-XXXXXX";
  const int fd = mkstemp(file);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_EQ(zr7::OpenSerialDevice(file).Failure, zr7::OpenFailure::NotACommHandle);
  std::remove(file);
  EXPECT_EQ(zr7::OpenSerialDevice("/dev/zr7-no-such-device").Failure, zr7::OpenFailure::CannotOpen);
  EXPECT_EQ(zr7::OpenSerialDevice("").Failure, zr7::OpenFailure::CannotOpen);
}

// Every byte value crosses unchanged although the driver marks line errors
// in the stream (and so doubles 0xFF).
TEST(PosixSerialDevice, ReadsEveryByteValueUnchanged) {
  PtyPair pty;
  zr7::OpenedDevice opened = zr7::OpenSerialDevice(pty.TerminalPath());
  ASSERT_TRUE(opened.Device);
  zr7::SerialDevice& device = *opened.Device;
  zr7::CommTimeouts timeouts;
  timeouts.ReadIntervalTimeout = 20;
  device.SetTimeouts(timeouts);

  std::string sent;
  for (int i = 0; i < 512; ++i) sent += static_cast<char>(i & 0xFF);
  pty.Send(sent);

  int error = 0;
  auto stop = zr7::Event::Create(error);
  auto record = device.CreateIoRecord(error);
  std::string received;
  std::uint8_t buffer[2048];
  zr7::IoRecord* const records[] = {record.get()};
  while (received.size() < sent.size()) {
    zr7::IoResult result = device.StartRead(*record, buffer, sizeof buffer);
    if (result.Status == zr7::IoStatus::Pending) {
      ASSERT_EQ(device.WaitAny(*stop, records, error), 1u);
      result = device.GetOverlappedResult(*record);
    }
    ASSERT_TRUE(result.Ok());
    ASSERT_GT(result.Count, 0u);
    received.append(reinterpret_cast<const char*>(buffer), result.Count);
  }
  EXPECT_EQ(received, sent);
}

} // namespace
