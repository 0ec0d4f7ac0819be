#include "platform/plain_message_loop.h"

#include "message_loop_contract.h"

namespace {

struct PlainLoops {
  std::unique_ptr<zr7::MessageLoop> MakeLoop() { return std::make_unique<zr7::PlainMessageLoop>(); }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Plain, MessageLoopContract, PlainLoops);

// Posts that race with the loop's end are refused, not lost in a dead queue.
TEST(PlainMessageLoop, PostsAfterTheLoopHasEndedAreRefused) {
  auto loop = std::make_unique<zr7::PlainMessageLoop>();
  auto window = loop->CreateMessageWindow([](zr7::Message&) {});
  loop.reset();
  EXPECT_FALSE(window->Post(zr7::Message{}));
}

} // namespace
