#include "platform/qt/qt_message_loop.h"

#include "message_loop_contract.h"

#include <QTimer>

namespace {

struct QtLoops {
  std::unique_ptr<zr7::MessageLoop> MakeLoop() { return std::make_unique<zr7::QtMessageLoop>(); }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, MessageLoopContract, QtLoops);

// A wait also ends on a condition changed by an ordinary Qt event, such as
// the operator's click, not only by the seam's own messages.
TEST(QtMessageLoop, WaitEndsWhenAnyEventChangesTheCondition) {
  zr7::QtMessageLoop loop;
  bool clicked = false;
  QTimer::singleShot(10, [&] { clicked = true; });
  EXPECT_TRUE(loop.ProcessMessagesUntil([&] { return clicked; }, std::chrono::seconds(5)));
}

} // namespace
