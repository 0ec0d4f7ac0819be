#pragma once

#include "platform/event.h"
#include "platform/message_loop.h"
#include "platform/serial_device.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace zr7 {

class TReadThread;
class TWriteThread;
class TComm32;

// The component's exception: OpenPort's failures, carrying the message.
class ECommsError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum TParity : std::uint8_t { pNone = 0, pOdd = 1, pEven = 2, pMark = 3, pSpace = 4 };
enum TStopBits : std::uint8_t { sb1_0 = 0, sb1_5 = 1, sb2_0 = 2 };

// Buffer points to the received bytes, followed by a zero byte that
// BufferLength does not count. The buffer is freed when the handler
// returns: a handler copies what it keeps.
using TReceiveDataEvent = std::function<void(const char* Buffer, std::uint16_t BufferLength)>;
// ErrorStatus: framing 1, overrun 2, parity 4, anything else 8; 0 when the
// report carried no flag.
using TErrorDataEvent = std::function<void(std::uint8_t ErrorStatus)>;
using TNotifyEvent = std::function<void(TComm32* Sender)>;

using DeviceOpener = std::function<OpenedDevice(const std::filesystem::path& device)>;

// The serial port component. It owns one port and runs a reader and a
// writer thread while the port is open. The threads report only by posting
// to the component's message window on the owner (main) thread, so the
// events OnReceiveData, OnErrorData and OnRequestHangup always run there,
// whenever that thread dispatches messages. Use it on the owner thread.
class TComm32 {
public:
  // Creates the message window on the calling thread, in loop. The opener
  // opens the mapped device; tests give one that makes a fake device.
  explicit TComm32(MessageLoop& loop, DeviceOpener opener = OpenSerialDevice);
  // Closes the port if it is still open (the threads must not outlive the
  // component), then destroys the message window.
  ~TComm32();
  TComm32(const TComm32&) = delete;
  TComm32& operator=(const TComm32&) = delete;

  // Opens the port and starts both threads; returns once both run, while
  // dispatching the owner thread's messages. True when open; false only
  // when the stop event cannot be made. Throws ECommsError otherwise.
  bool OpenPort();
  // Stops both threads and closes the port; nothing when not open. Waits up
  // to CloseTimeout for each thread, then leaves it behind.
  void ClosePort();
  // Copies the bytes and queues them for the writer; never waits for them
  // to be sent. False when the port is not open, the writer has ended or
  // the bytes cannot be queued.
  bool SendBytes(const void* Data, std::uint16_t Count);

  // Longest pause in ms between two received bytes that still belongs to
  // one read: a read completes once the line has been silent for longer,
  // after at least one byte, or when 2048 bytes have arrived. 0 means reads
  // are not ended by silence.
  std::uint8_t RxTimeOut = 100;
  // When set, a read also completes as soon as its last byte is this byte,
  // without waiting out RxTimeOut. A line of the instrument then arrives as
  // soon as its line feed does. Off by default.
  std::optional<std::uint8_t> RxTerminator;
  std::uint32_t BaudRate = 9600;
  std::uint8_t ByteSize = 8;
  TParity Parity = pNone;
  TStopBits StopBits = sb1_0;
  // "COM1" to "COM32", or a device path starting with "/".
  std::string CommPort = "COM2";
  // Where the links COMn of the operator's adapters are (the program gives
  // "<config dir>/zr7/ports"); empty means only /dev/ttyUSB<n-1>.
  std::filesystem::path PortsFolder;
  TReceiveDataEvent OnReceiveData;
  TErrorDataEvent OnErrorData;
  TNotifyEvent OnRequestHangup;
  // How long ClosePort waits for each thread to end.
  std::chrono::milliseconds CloseTimeout{10'000};

  // The diagnostic log shared by every component; empty means none.
  void SetCommsLogFileName(std::string fileName);

  bool IsOpen() const { return CommFile != nullptr; }
  bool ReadReady() const { return readReady_; }
  bool WriteReady() const { return writeReady_; }

private:
  void WindowProcedure(Message& message);
  void StartThreads();

  std::shared_ptr<TReadThread> ReadThread;
  std::shared_ptr<TWriteThread> WriteThread;
  bool readReady_ = false;
  bool writeReady_ = false;
  std::string commsLogFileName_;
  std::shared_ptr<SerialDevice> CommFile;
  std::shared_ptr<Event> CloseEvent;
  MessageLoop& loop_;
  std::shared_ptr<zr7::MessageWindow> HiddenWindow;
  DeviceOpener opener_;
};

} // namespace zr7
