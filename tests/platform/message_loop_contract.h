#pragma once

// What every implementation of the message loop seam must do. A test file
// instantiates these cases with a fixture type that has
// `std::unique_ptr<zr7::MessageLoop> MakeLoop()`.

#include "platform/message_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <thread>
#include <vector>

template <typename Factory>
class MessageLoopContract : public ::testing::Test {
protected:
  std::unique_ptr<zr7::MessageLoop> loop = Factory().MakeLoop();
};

TYPED_TEST_SUITE_P(MessageLoopContract);

// Messages from several threads all run on the owner thread, each thread's
// in the order it posted them, with their buffers intact.
TYPED_TEST_P(MessageLoopContract, PostsFromAnyThreadRunOnTheOwnerInOrder) {
  constexpr int kThreads = 4, kEach = 200;
  const auto owner = std::this_thread::get_id();
  std::map<std::uintptr_t, std::vector<int>> seen;
  int onOtherThread = 0, received = 0;
  auto window = this->loop->CreateMessageWindow([&](zr7::Message& message) {
    if (std::this_thread::get_id() != owner) ++onOtherThread;
    int sequence;
    std::memcpy(&sequence, message.Buffer.get(), sizeof sequence);
    seen[message.WParam].push_back(sequence);
    ++received;
  });
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t)
    posters.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        zr7::Message message;
        message.Msg = 1025;
        message.WParam = static_cast<std::uintptr_t>(t);
        message.Buffer = std::make_unique<std::uint8_t[]>(sizeof i);
        std::memcpy(message.Buffer.get(), &i, sizeof i);
        ASSERT_TRUE(window->Post(std::move(message)));
      }
    });
  ASSERT_TRUE(this->loop->ProcessMessagesUntil([&] { return received == kThreads * kEach; }, std::chrono::seconds(10)));
  for (auto& poster : posters) poster.join();
  EXPECT_EQ(onOtherThread, 0);
  for (int t = 0; t < kThreads; ++t) {
    std::vector<int> expected(kEach);
    for (int i = 0; i < kEach; ++i) expected[i] = i;
    EXPECT_EQ(seen[t], expected) << "thread " << t;
  }
  window->Destroy();
}

// A handler may wait for a later message inside its own dispatch.
TYPED_TEST_P(MessageLoopContract, WaitsNestInsideHandlers) {
  std::vector<std::string> order;
  bool innerDone = false, outerDone = false;
  auto window = this->loop->CreateMessageWindow([](zr7::Message&) {});
  window->PostCall([&] {
    order.push_back("outer starts");
    std::thread([&window] { window->PostCall([] {}); }).join();
    window->PostCall([&] {
      order.push_back("inner");
      innerDone = true;
    });
    this->loop->ProcessMessagesUntil([&] { return innerDone; });
    order.push_back("outer ends");
    outerDone = true;
  });
  ASSERT_TRUE(this->loop->ProcessMessagesUntil([&] { return outerDone; }, std::chrono::seconds(5)));
  EXPECT_EQ(order, (std::vector<std::string>{"outer starts", "inner", "outer ends"}));
  window->Destroy();
}

// A destroyed window frees what was queued for it and refuses new posts.
TYPED_TEST_P(MessageLoopContract, DestroyFreesQueuedMessagesAndRefusesPosts) {
  int dispatched = 0;
  auto window = this->loop->CreateMessageWindow([&](zr7::Message&) { ++dispatched; });
  auto token = std::make_shared<int>(0);
  std::weak_ptr<int> watch = token;
  ASSERT_TRUE(window->PostCall([token] {}));
  token.reset();
  ASSERT_TRUE(window->Post(zr7::Message{}));
  window->Destroy();
  EXPECT_TRUE(watch.expired());
  EXPECT_FALSE(window->Post(zr7::Message{}));
  EXPECT_FALSE(this->loop->ProcessMessagesUntil([&] { return dispatched > 0; }, std::chrono::milliseconds(30)));
}

// A one-shot timer fires once; starting it again begins a fresh period;
// a stopped timer does not fire; a condition that never holds times out.
TYPED_TEST_P(MessageLoopContract, OneShotTimersFireOnceUnlessStopped) {
  int fired = 0, stoppedFired = 0;
  auto timer = this->loop->CreateTimer([&] { ++fired; });
  auto stopped = this->loop->CreateTimer([&] { ++stoppedFired; });
  timer->Start(std::chrono::milliseconds(20));
  timer->Start(std::chrono::milliseconds(20));
  stopped->Start(std::chrono::milliseconds(10));
  EXPECT_TRUE(timer->IsActive());
  stopped->Stop();
  EXPECT_FALSE(stopped->IsActive());
  ASSERT_TRUE(this->loop->ProcessMessagesUntil([&] { return fired > 0; }, std::chrono::seconds(5)));
  EXPECT_FALSE(timer->IsActive());
  EXPECT_FALSE(this->loop->ProcessMessagesUntil([&] { return fired > 1; }, std::chrono::milliseconds(60)));
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(stoppedFired, 0);
}

// A timer may be restarted from its own handler, as a request/answer
// dialogue does for each request.
TYPED_TEST_P(MessageLoopContract, TimerRestartsFromItsOwnHandler) {
  int fired = 0;
  std::unique_ptr<zr7::OneShotTimer> timer;
  timer = this->loop->CreateTimer([&] {
    if (++fired < 3) timer->Start(std::chrono::milliseconds(5));
  });
  timer->Start(std::chrono::milliseconds(5));
  ASSERT_TRUE(this->loop->ProcessMessagesUntil([&] { return fired == 3; }, std::chrono::seconds(5)));
  EXPECT_FALSE(timer->IsActive());
}

REGISTER_TYPED_TEST_SUITE_P(MessageLoopContract, PostsFromAnyThreadRunOnTheOwnerInOrder, WaitsNestInsideHandlers,
                            DestroyFreesQueuedMessagesAndRefusesPosts, OneShotTimersFireOnceUnlessStopped,
                            TimerRestartsFromItsOwnHandler);
