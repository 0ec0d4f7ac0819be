#pragma once

#include "serial/comm_thread.h"
#include "serial/write_queue.h"

#include <cstddef>
#include <cstdint>

namespace zr7 {

// The sending half of the port: takes the buffers queued by SendBytes from
// its own queue and writes each completely, strictly in order. Ends when
// CloseEvent is set or after a failure, which it reports with
// WM_COMM_HANGUP; buffers still queued then are not written.
class TWriteThread final : public TCommThread {
public:
  TWriteThread(std::shared_ptr<SerialDevice> commFile, std::shared_ptr<Event> closeEvent,
               std::shared_ptr<zr7::MessageWindow> messageWindow, std::shared_ptr<WriteQueue> queue);

  // Queues a message for the thread; false once the thread has ended.
  bool PostThreadMessage(Message message) { return queue_->Post(std::move(message)); }

protected:
  void Execute() override;

private:
  void Run();
  bool WriteData(const std::uint8_t* buffer, std::size_t count);

  const std::shared_ptr<WriteQueue> queue_;
  std::unique_ptr<IoRecord> record_;
};

} // namespace zr7
