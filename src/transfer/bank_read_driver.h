#pragma once

#include "bank_read.h"
#include "platform/message_loop.h"
#include "serial/comm32.h"

#include <chrono>
#include <functional>

namespace zr7 {

// The instrument answers a request within this time or not at all.
inline constexpr std::chrono::milliseconds kAnswerTimeout{500};
// After a time-out the next request waits until the line has been quiet for
// this many of the component's receive time-outs...
inline constexpr int kQuietRxTimeOuts = 5;
// ...but no longer than this, should the line never fall quiet.
inline constexpr std::chrono::milliseconds kLongestQuietWait{2000};

// Runs a bank read over the serial component: each request is sent and the
// answer timer started, then the owner thread's messages are processed until
// the answer is complete, the timer has fired, the port has closed (a
// disconnect or an unplugged adapter ends every remaining wait at once) or
// the read was given up (the operator stopped it).
// After a request left without its answer, what still arrives is dropped
// until the line is quiet.
// For the time of the read the component's received chunks go to the read
// (its OnReceiveData is restored afterwards) and the read owns the answer
// timer; onOutcome sees what each request brought.
TTimeAxis DriveBankRead(TBankRead& read, TComm32& comm, MessageLoop& loop,
                        const std::function<void(const TRequestOutcome&)>& onOutcome);

} // namespace zr7
