#pragma once

#include "sim_bank.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zr7::sim {

// The instrument's side of the dialogue: "L<n>" selects block n, "D<k>"
// answers line k of the selected block with "n1 n2 n3" CR LF. Bank b
// occupies blocks 13(b-1) to 13(b-1)+12; lines it does not hold answer
// "0 0 0".
class TSimInstrument {
public:
  explicit TSimInstrument(const TSimBanks& banks) : banks_(banks) {}

  // A request without its CR. Anything that is neither "L" nor "D" with
  // decimal digits gets no answer.
  std::optional<std::string> Answer(std::string_view request);

private:
  TSimLine Line(int block, int line) const;

  TSimBanks banks_;
  int block_ = 0;
};

// Requests end at CR; a line feed around them is ignored.
class TRequestSplitter {
public:
  std::vector<std::string> Feed(std::string_view bytes);

private:
  static constexpr std::size_t kMaxRequest = 64;
  std::string pending_;
};

// The answer as a faulty line: the first single space doubled.
std::string MalformedAnswer(std::string answer);

} // namespace zr7::sim
