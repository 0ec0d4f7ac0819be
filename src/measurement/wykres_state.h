#pragma once

#include "tpomiar.h"

#include <array>
#include <cstdint>

namespace zr7 {

// The values of the current test that the main window's handlers share:
// the record, the raw header of the last bank read and what was decoded
// from it, and whether the serial port is open. One instance, owned by the
// main window, zero at start.
struct TWykresState {
  TPomiar Pomiar;
  std::array<std::uint8_t, 18> Naglowek{};
  std::int32_t IloscProbek = 0;
  double KatPocz = 0;
  double APocz = 0;
  TShortString HamulecTxt;
  TShortString UwagaTxt;
  TShortString OdchylenieTxt;
  bool Polaczony = false;
};

} // namespace zr7
