#include "platform/posix/parmrk_decoder.h"

namespace zr7 {

std::size_t ParmrkDecoder::Decode(std::span<const std::uint8_t> raw, std::uint8_t* out, Marks& marks) {
  std::size_t count = 0;
  for (const std::uint8_t byte : raw) {
    switch (state_) {
      case State::Data:
        if (byte == 0xFF)
          state_ = State::AfterFF;
        else
          out[count++] = byte;
        break;
      case State::AfterFF:
        if (byte == 0x00) {
          state_ = State::AfterMark;
        } else {
          // "\377\377" is one 0xFF; any other pair cannot come from the
          // driver, so both bytes are passed on unchanged.
          out[count++] = 0xFF;
          if (byte != 0xFF) out[count++] = byte;
          state_ = State::Data;
        }
        break;
      case State::AfterMark:
        if (byte == 0x00)
          ++marks.Breaks;
        else
          ++marks.Errors;
        out[count++] = byte;
        state_ = State::Data;
        break;
    }
  }
  return count;
}

} // namespace zr7
