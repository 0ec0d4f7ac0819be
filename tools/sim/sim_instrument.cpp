#include "sim_instrument.h"

#include <charconv>

namespace zr7::sim {

std::optional<std::string> TSimInstrument::Answer(std::string_view request) {
  if (request.size() < 2 || (request[0] != 'L' && request[0] != 'D')) return std::nullopt;
  int number = 0;
  const char* end = request.data() + request.size();
  const auto [ptr, ec] = std::from_chars(request.data() + 1, end, number);
  if (ec != std::errc{} || ptr != end || number < 0) return std::nullopt;
  if (request[0] == 'L') {
    block_ = number;
    return "OK\r\n";
  }
  const TSimLine l = Line(block_, number);
  return std::to_string(l[0]) + ' ' + std::to_string(l[1]) + ' ' + std::to_string(l[2]) + "\r\n";
}

TSimLine TSimInstrument::Line(int block, int line) const {
  constexpr int kBlocksPerBank = 13;
  constexpr int kLinesPerBlock = 44;
  const int bank = block / kBlocksPerBank;
  const int blockInBank = block % kBlocksPerBank;
  if (bank >= kBanks) return {};
  const TSimBank& b = banks_[bank];
  if (blockInBank == 0) return line < kHeaderLinesPerBank ? b.header[line] : TSimLine{};
  if (line >= kLinesPerBlock) return {};
  return b.samples[(blockInBank - 1) * kLinesPerBlock + line];
}

std::vector<std::string> TRequestSplitter::Feed(std::string_view bytes) {
  std::vector<std::string> requests;
  for (const char c : bytes) {
    if (c == '\r') {
      requests.push_back(pending_);
      pending_.clear();
    } else if (c != '\n' && pending_.size() < kMaxRequest) {
      pending_ += c;
    }
  }
  return requests;
}

std::string MalformedAnswer(std::string answer) {
  const auto space = answer.find(' ');
  if (space != std::string::npos) answer.insert(space, " ");
  return answer;
}

} // namespace zr7::sim
