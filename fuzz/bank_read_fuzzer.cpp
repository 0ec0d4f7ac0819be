// What the instrument (or a line fault) sends back during a bank read: the
// answers go through the read's core, its header decode and the derived
// values, as the window and zr7-cli take them.
#include "fuzz_check.h"
#include "transfer/bank_read.h"
#include "text/number_format.h"
#include "transfer/header_decode.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <string>

namespace {

using namespace zr7;
using zr7::fuzz::ReadBackNumber;

constexpr std::uint8_t kSilence = 0xFF;

std::string CaptionsText(const THeaderCaptions& c) {
  return c.statusCount + "|" + c.Ldata + "|" + c.Lgodzina + "|" + c.Lbeta + "|" + c.La_zero + "|" + c.lHamulec;
}

// The captions and values of a decoded header agree with its bytes.
void CheckHeader(const TBankContents& state, const THeaderCaptions& captions, std::string_view separator) {
  const auto& h = state.Naglowek;
  const std::string where = CaptionsText(captions);
  ZR7_FUZZ_CHECK(state.IloscProbek >= 100 && state.IloscProbek <= kMaxSampleCount, where);
  ZR7_FUZZ_CHECK(captions.statusCount == " Ilosc próbek = " + std::to_string(state.IloscProbek), where);
  ZR7_FUZZ_CHECK(captions.Ldata == DateCaption(h[0], h[1], h[2]), where);

  const auto beta = ParseRuntimeInteger(captions.Lbeta);
  ZR7_FUZZ_CHECK(beta && std::abs(*beta + 45 - state.KatPocz * 180 / std::numbers::pi) <= 0.5 + 1e-9, where);

  // The initial acceleration to four significant digits.
  const auto aZero = ReadBackNumber(captions.La_zero, separator);
  ZR7_FUZZ_CHECK(aZero && std::fabs(*aZero - state.APocz) <= std::fabs(state.APocz) * 5e-4 * (1 + 1e-9), where);

  // The service brake carries the deviation in decimetres as metres.
  if (h[12] == 1) {
    const std::string deviation = state.OdchylenieTxt.Utf8();
    const auto metres = ReadBackNumber(deviation, separator);
    ZR7_FUZZ_CHECK(metres && std::lround(static_cast<double>(*metres * 10)) == h[13] &&
                       deviation.size() - deviation.find(separator) == separator.size() + 1,
                   where);
    ZR7_FUZZ_CHECK(captions.lHamulec.ends_with("odch.kier.jazdy= " + deviation + " [m]"), where);
  } else {
    ZR7_FUZZ_CHECK(state.OdchylenieTxt.Length() == 0, where);
  }
}

void CheckSamples(const TBankContents& state, const TTimeAxis& axis) {
  const int count = state.IloscProbek;
  ZR7_FUZZ_CHECK(count >= 0 && count <= kMaxSampleCount, std::to_string(count));
  ZR7_FUZZ_CHECK(axis.minimum == 0 && axis.maximum == count / 40.0, std::to_string(axis.maximum));
  for (int i = 1; i <= count; ++i) {
    const TProbka& s = state.Pomiar.Probki[i];
    const std::string where = "sample " + std::to_string(i);
    ZR7_FUZZ_CHECK(s.n == count, where);
    ZR7_FUZZ_CHECK(std::isfinite(s.a) && std::isfinite(s.ax) && std::isfinite(s.az), where);
    // The deceleration is what is left of the measured vector after gravity.
    ZR7_FUZZ_CHECK(s.a >= 0 && s.a * s.a <= s.ax * s.ax + s.az * s.az, where);
  }
}

} // namespace

// Input: a decimal separator choice, a bank number, then for each request
// one byte and the bytes the port delivers: 0xFF is silence (the request
// times out), any other byte n delivers the following bytes in chunks of
// n % 64 + 1 until one ends the answer line. Running out of input is silence.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return -1;
  const std::string separator = data[0] & 1 ? "," : ".";
  const int bank = static_cast<std::int8_t>(data[1]);
  std::span<const std::uint8_t> input(data + 2, size - 2);

  TBankContents state;
  TBankRead read(state, bank, separator);
  ZR7_FUZZ_CHECK(state.IloscProbek == 0, "a new read starts from no samples");
  int requests = 0;
  bool headerSeen = false;
  while (!read.Finished()) {
    ++requests;
    const std::string request = read.BeginRequest();
    ZR7_FUZZ_CHECK(request.size() >= 3 && (request[0] == 'L' || request[0] == 'D') && request.back() == '\r', request);
    bool answered = false;
    if (!input.empty() && input[0] != kSilence) {
      const std::size_t chunk = input[0] % 64 + 1;
      input = input.subspan(1);
      while (!answered && !input.empty()) {
        const std::size_t n = std::min(chunk, input.size());
        answered = read.Receive(input.first(n));
        input = input.subspan(n);
      }
    } else if (!input.empty()) {
      input = input.subspan(1);
    }
    if (!answered) read.TimeOut();
    ZR7_FUZZ_CHECK(read.StatusRS() != TRequestWait::kWaiting, "the wait is over");
    const TRequestOutcome outcome = read.EndRequest();
    ZR7_FUZZ_CHECK(!outcome.failed || read.Finished(), "a malformed answer ends the read");
    ZR7_FUZZ_CHECK(!outcome.failed || answered, "only an answer can be malformed");
    if (outcome.header) {
      ZR7_FUZZ_CHECK(!headerSeen, "the header is decoded once");
      headerSeen = true;
      CheckHeader(state, *outcome.header, separator);
    }
  }
  ZR7_FUZZ_CHECK(requests <= kRequestsPerBank, std::to_string(requests) + " requests");
  CheckSamples(state, read.Finish());
  return 0;
}
