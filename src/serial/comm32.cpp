#include "serial/comm32.h"

#include "platform/com_names.h"
#include "serial/comm_log.h"
#include "serial/comm_messages.h"
#include "serial/read_thread.h"
#include "serial/write_thread.h"

#include <cstring>
#include <system_error>

namespace zr7 {

using comm_log::LogError;
using comm_log::LogLine;

namespace {

constexpr int kReaderPriority = 2; // steps above normal
constexpr int kWriterPriority = 1;

// Waits for a thread to end; one that does not is told to deliver nothing
// more and left to end by itself.
void StopThread(const std::shared_ptr<TThread>& thread, std::chrono::milliseconds timeout,
                std::string_view notExiting) {
  if (thread->WaitFor(timeout)) return;
  LogLine(notExiting);
  thread->Terminate();
  thread->Abandon();
}

} // namespace

TComm32::TComm32(MessageLoop& loop, DeviceOpener opener) : loop_(loop), opener_(std::move(opener)) {
  comm_log::SetPath({});
  HiddenWindow = loop_.CreateMessageWindow([this](Message& message) { WindowProcedure(message); });
}

TComm32::~TComm32() {
  ClosePort();
  HiddenWindow->Destroy();
}

void TComm32::SetCommsLogFileName(std::string fileName) {
  commsLogFileName_ = fileName;
  comm_log::SetPath(std::move(fileName));
}

bool TComm32::OpenPort() {
  if (CommFile) throw ECommsError("Already have a comm file open");
  if (!commsLogFileName_.empty()) comm_log::Open();

  const std::filesystem::path device = ComDevicePath(CommPort, PortsFolder);
  const OpenedDevice opened = device.empty() ? OpenedDevice{nullptr, OpenFailure::CannotOpen} : opener_(device);
  if (opened.Failure == OpenFailure::NotACommHandle) throw ECommsError("File handle is not a comm handle. ");
  if (!opened.Device) throw ECommsError("Error opening com port");
  CommFile = opened.Device;

  // The results of these settings are not examined: a driver that refuses
  // one still gives a usable port.
  CommTimeouts timeouts;
  CommFile->GetTimeouts(timeouts);
  timeouts.ReadIntervalTimeout = RxTimeOut;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = 0;
  CommFile->SetTimeouts(timeouts);
  CommFile->SetReadTerminator(RxTerminator);
  CommState state;
  CommFile->GetState(state);
  state.BaudRate = BaudRate;
  state.ByteSize = ByteSize;
  state.Parity = Parity;
  state.StopBits = StopBits;
  CommFile->SetState(state);

  readReady_ = false;
  writeReady_ = false;
  int error = 0;
  std::unique_ptr<Event> closeEvent = Event::Create(error);
  if (!closeEvent) {
    LogError(error, "Unable to CreateEvent: ");
    CommFile.reset();
    return false;
  }
  CloseEvent = std::move(closeEvent);
  try {
    StartThreads();
  } catch (const ECommsError&) {
    // The device and a thread that did start are given back, so that the
    // port can be opened again.
    ClosePort();
    throw;
  }

  // A thread that fails before announcing itself never will; its end also
  // ends the wait.
  loop_.ProcessMessagesUntil([this] {
    if (!ReadThread || !WriteThread) return true;
    return (readReady_ || ReadThread->Finished()) && (writeReady_ || WriteThread->Finished());
  });
  return true;
}

void TComm32::StartThreads() {
  // Each thread's end wakes the owner thread, in case it waits for it.
  auto wake = [window = HiddenWindow] { window->Post(Message{}); };
  try {
    auto reader = std::make_shared<TReadThread>(CommFile, CloseEvent, HiddenWindow);
    TThread::Start(reader, kReaderPriority, wake);
    ReadThread = std::move(reader);
  } catch (const std::system_error& failure) {
    LogError(failure.code(), "Unable to create Read thread");
    throw ECommsError("Unable to create Read thread");
  }
  int error = 0;
  std::shared_ptr<WriteQueue> queue = WriteQueue::Create(error);
  if (!queue) {
    LogError(error, "Unable to create Write thread");
    throw ECommsError("Unable to create Write thread");
  }
  try {
    auto writer = std::make_shared<TWriteThread>(CommFile, CloseEvent, HiddenWindow, std::move(queue));
    TThread::Start(writer, kWriterPriority, wake);
    WriteThread = std::move(writer);
  } catch (const std::system_error& failure) {
    LogError(failure.code(), "Unable to create Write thread");
    throw ECommsError("Unable to create Write thread");
  }
}

void TComm32::ClosePort() {
  if (!CommFile) return;
  LogLine("Stopping the Comm");
  if (ReadThread) {
    LogLine("Closing Read Thread ");
    CloseEvent->Set();
    CommFile->Purge(kPurgeRxAbort | kPurgeRxClear);
    StopThread(ReadThread, CloseTimeout, "Read thread not exiting.  Terminating it.");
    ReadThread.reset();
  }
  if (WriteThread) {
    LogLine("Closing Write Thread");
    CloseEvent->Set();
    CommFile->Purge(kPurgeTxAbort | kPurgeTxClear);
    StopThread(WriteThread, CloseTimeout, "Write thread not exiting.  Terminating it.");
    WriteThread.reset();
  }
  // A thread left behind keeps the event and the device until it ends.
  CloseEvent.reset();
  CommFile.reset();
  if (!commsLogFileName_.empty()) comm_log::Close();
}

bool TComm32::SendBytes(const void* Data, std::uint16_t Count) {
  if (!WriteThread) {
    LogLine("Write thread not created");
    return false;
  }
  Message message;
  message.Msg = WM_COMM_DATA;
  message.WParam = Count;
  message.Buffer = std::make_unique<std::uint8_t[]>(Count + 1u);
  std::memcpy(message.Buffer.get(), Data, Count);
  if (WriteThread->PostThreadMessage(std::move(message))) return true;
  LogLine("Failed to Post to Write thread. ");
  return false;
}

void TComm32::WindowProcedure(Message& message) {
  switch (message.Msg) {
    case WM_COMM_DATA:
      if (OnReceiveData)
        OnReceiveData(reinterpret_cast<const char*>(message.Buffer.get()),
                      static_cast<std::uint16_t>(message.WParam & 0xFFFF));
      break; // the buffer is freed with the message, handler or not
    case WM_COMM_HANGUP:
      if (OnRequestHangup) OnRequestHangup(this);
      break;
    case WM_COMM_THREAD_READY:
      (message.WParam == 0 ? readReady_ : writeReady_) = true;
      break;
    case WM_COMM_ERROR:
      if (OnErrorData) OnErrorData(static_cast<std::uint8_t>(message.WParam & 0xFF));
      break;
    default:
      break;
  }
}

} // namespace zr7
