#include "transfer/instrument_link.h"

namespace zr7 {

void ConfigureForInstrument(TComm32& comm, bool lineFeedEndsAnswers) {
  comm.RxTimeOut = 20;
  comm.BaudRate = 76800;
  comm.RxTerminator.reset();
  if (lineFeedEndsAnswers) comm.RxTerminator = '\n';
}

} // namespace zr7
