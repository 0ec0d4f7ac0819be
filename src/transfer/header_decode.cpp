#include "header_decode.h"

#include "bank_storage.h"
#include "measurement/station_data.h"
#include "text/number_format.h"

#include <algorithm>
#include <cstdint>
#include <numbers>

namespace zr7 {
namespace {

// Brake kinds 1, 2 and 3; any other leaves every text empty.
TBrakeKind BrakeKind(int kind) {
  if (kind < 1 || kind > static_cast<int>(kBrakeKinds.size())) return {};
  return kBrakeKinds[static_cast<std::size_t>(kind - 1)];
}

int Word(const TNaglowek& h, std::size_t position) { return h[position] * 256 + h[position + 1]; }

} // namespace

std::string DateCaption(std::uint8_t day, std::uint8_t month, std::uint8_t year) {
  return std::to_string(day) + "/" + std::to_string(month) + "/" + std::to_string(2000 + year);
}

THeaderCaptions DecodeHeader(TBankContents& contents, std::string_view decimalSeparator) {
  const auto& h = contents.Naglowek;
  THeaderCaptions captions;

  contents.IloscProbek = std::min(Word(h, 6) + 100, kMaxSampleCount);
  captions.statusCount = " Ilosc próbek = " + std::to_string(contents.IloscProbek);

  captions.Ldata = DateCaption(h[0], h[1], h[2]);
  captions.Lgodzina = std::to_string(h[3]) + ":" + std::to_string(h[4]) + ":" + std::to_string(h[5]);

  contents.KatPocz = Word(h, 8) / 1000.0;
  contents.APocz = static_cast<std::int16_t>(Word(h, 10)) / 100.0;

  const TBrakeKind brake = BrakeKind(h[12]);
  contents.HamulecTxt.AssignUtf8(brake.hamulec);
  contents.UwagaTxt.AssignUtf8(brake.uwaga);
  contents.OdchylenieTxt.AssignUtf8(h[12] == 1 ? FormatFixed(h[13] / 10.0, 1, decimalSeparator) : "");
  captions.lHamulec = std::string(brake.hamulec);
  if (h[12] == 1) captions.lHamulec += ", odch.kier.jazdy= " + contents.OdchylenieTxt.Utf8() + " [m]";

  const double degrees = contents.KatPocz * 180 / std::numbers::pi;
  captions.Lbeta = std::to_string(static_cast<long long>(RoundHalfEven(degrees)) - 45);
  captions.La_zero = FormatGeneral(contents.APocz, 4, decimalSeparator);
  return captions;
}

} // namespace zr7
