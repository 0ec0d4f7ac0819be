#pragma once

#include "measurement/tpomiar.h"

#include <array>
#include <cstdint>

namespace zr7 {

// What a bank read fills: the bank's raw header and what was decoded from
// it, and the test's samples in a record.
struct TBankContents {
  TPomiar Pomiar;
  std::array<std::uint8_t, 18> Naglowek{};
  std::int32_t IloscProbek = 0;
  double KatPocz = 0;
  double APocz = 0;
  TShortString HamulecTxt;
  TShortString UwagaTxt;
  TShortString OdchylenieTxt;
};

} // namespace zr7
