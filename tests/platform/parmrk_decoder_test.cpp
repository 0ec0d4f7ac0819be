#include "platform/posix/parmrk_decoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Decoded {
  Bytes data;
  zr7::ParmrkDecoder::Marks marks;
};

// Feeds the stream in pieces of the given size, as reads may split it.
Decoded DecodeInPieces(const Bytes& raw, std::size_t piece) {
  zr7::ParmrkDecoder decoder;
  Decoded result;
  for (std::size_t at = 0; at < raw.size(); at += piece) {
    const std::size_t size = std::min(piece, raw.size() - at);
    Bytes out(size + 1);
    out.resize(decoder.Decode({raw.data() + at, size}, out.data(), result.marks));
    result.data.insert(result.data.end(), out.begin(), out.end());
  }
  return result;
}

TEST(ParmrkDecoder, UndoesMarksWhereverTheStreamIsSplit) {
  // 'A', a doubled 0xFF, 'B' with an error, a break, 'C', then 0xFF 0x00 as data.
  const Bytes raw = {'A', 0xFF, 0xFF, 0xFF, 0x00, 'B', 0xFF, 0x00, 0x00, 'C', 0xFF, 0xFF, 0x00};
  const Bytes expected = {'A', 0xFF, 'B', 0x00, 'C', 0xFF, 0x00};
  for (std::size_t piece = 1; piece <= raw.size(); ++piece) {
    const Decoded decoded = DecodeInPieces(raw, piece);
    EXPECT_EQ(decoded.data, expected) << "pieces of " << piece;
    EXPECT_EQ(decoded.marks.Errors, 1u) << "pieces of " << piece;
    EXPECT_EQ(decoded.marks.Breaks, 1u) << "pieces of " << piece;
  }
}

TEST(ParmrkDecoder, PassesOnPairsTheDriverNeverMakes) {
  const Decoded decoded = DecodeInPieces({0xFF, 'x', 'y'}, 1);
  EXPECT_EQ(decoded.data, (Bytes{0xFF, 'x', 'y'}));
  EXPECT_EQ(decoded.marks.Errors + decoded.marks.Breaks, 0u);
}

} // namespace
