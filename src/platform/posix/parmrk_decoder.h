#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zr7 {

// Undoes the marking that the terminal driver puts into the byte stream
// when asked to mark line errors (PARMRK): "\377\377" is a received 0xFF,
// and "\377\0c" is the character c received with a parity or framing error,
// or a break when c is 0. A marked character stays in the data, as the
// Windows driver passes it on. A mark split over two reads is carried over.
class ParmrkDecoder {
public:
  struct Marks {
    unsigned Errors = 0; // characters marked with a parity or framing error
    unsigned Breaks = 0; // marks of a break
  };

  // Decodes raw into out, which needs room for raw.size() + 1 bytes (a 0xFF
  // held back from the previous call may come out). Returns the number of
  // data bytes written.
  std::size_t Decode(std::span<const std::uint8_t> raw, std::uint8_t* out, Marks& marks);

private:
  enum class State { Data, AfterFF, AfterMark };
  State state_ = State::Data;
};

} // namespace zr7
