#include "platform/plain_message_loop.h"
#include "transfer/instrument_link.h"

#include <gtest/gtest.h>

namespace zr7 {
namespace {

// The line settings the instrument needs, whatever the component started
// with: the window and zr7-cli both take them from here.
TEST(InstrumentLink, SetsTheInstrumentsLine) {
  PlainMessageLoop loop;
  TComm32 comm(loop);
  comm.RxTimeOut = 100;
  comm.BaudRate = 9600;
  ConfigureForInstrument(comm);
  EXPECT_EQ(comm.RxTimeOut, 20);
  EXPECT_EQ(comm.BaudRate, 76800u);
  EXPECT_EQ(comm.RxTerminator, std::optional<std::uint8_t>('\n'));

  ConfigureForInstrument(comm, false);
  EXPECT_EQ(comm.RxTerminator, std::nullopt) << "only the silence rule is left";
  EXPECT_EQ(comm.BaudRate, 76800u);
}

} // namespace
} // namespace zr7
