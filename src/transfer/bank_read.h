#pragma once

#include "answer_numbers.h"
#include "bank_requests.h"
#include "header_decode.h"
#include "bank_contents.h"
#include "request_wait.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zr7 {

// What the window shows after one request of a bank read.
struct TRequestOutcome {
  bool timedOut = false;                 // second status panel: kStatusTimeOut
  std::optional<int> blockCaption;       // Lblok: the selected block counted from 1
  bool advanceProgress = false;          // pBar one step on
  std::optional<THeaderCaptions> header; // the header has just been decoded
  bool failed = false;                   // malformed answer: the read ends, show kReadErrorMessage
};

// How much of the bank a read brought: requests of the bank without a usable
// answer (timed out, made on a closed port, or not made because the read
// ended early), and of the IloscProbek samples those whose line arrived.
struct TReadCompleteness {
  int unansweredRequests = 0;
  int samplesRead = 0;
  int sampleCount = 0;
  bool Complete() const { return unansweredRequests == 0; }
};

// The chart's bottom axis after a read: fixed scale, labels every 0.1 s.
struct TTimeAxis {
  double minimum = 0;
  double maximum = 0;
  double increment = 0.1;
};

// What of a bank a read asks for: all of it, or only its header block (the
// first 4 requests), which says what test the bank holds.
enum class TBankPart { Whole, Header };

// One read of a memory bank: 544 requests, each answered by a line or
// timed out, the answers stored in the contents' raw header and samples.
// DriveBankRead (bank_read_driver.h) runs it over the serial component.
class TBankRead {
public:
  static constexpr int kProgressMaximum = 13;

  // bank is 1 to 12 (held to that range).
  TBankRead(TBankContents& contents, int bank, std::string decimalSeparator, TBankPart part = TBankPart::Whole);

  // True when every request has been made, a malformed answer ended the
  // read or the caller gave it up.
  bool Finished() const;
  // The request now due; valid while not Finished().
  const TRequest& Current() const { return requests_[next_]; }
  // The bytes of the request now due, to be sent; its wait begins.
  std::string BeginRequest();
  // A received chunk. True when it completed the answer. Between requests,
  // while the line is waited quiet, it is dropped.
  bool Receive(std::span<const std::uint8_t> chunk);
  // TimerRS fired: the request's time-out, or the end of a quiet period.
  void TimeOut();
  int StatusRS() const { return wait_.StatusRS(); }

  // After a time-out an answer may still be on its way; what arrives before
  // the line has been quiet for a whole period belongs to no request.
  void BeginQuietPeriod();
  bool QuietPeriodOver() const { return quietPeriodOver_; }
  bool HeardDuringQuietPeriod() const { return heardDuringQuietPeriod_; }
  void EndQuietWait() { quietWait_ = false; }

  // The caller makes no further request; a wait under way ends at once.
  void GiveUp() { givenUp_ = true; }
  bool GivenUp() const { return givenUp_; }
  int RequestCount() const { return static_cast<int>(requests_.size()); }

  // The wait of the current request is over (answer, time-out, or the port
  // was closed and it is still waiting): store the answer and move on.
  TRequestOutcome EndRequest();

  // Sets count and derived values of samples 1 to IloscProbek and gives the
  // time axis. May be called at any time; it ends the read.
  TTimeAxis Finish();

  // Valid after Finish().
  TReadCompleteness Completeness() const;

private:
  TRequestOutcome EndSelectBlock();
  TRequestOutcome EndHeaderLine();
  TRequestOutcome EndSampleLine();
  // The answer's numbers, or a failed read.
  std::optional<TAnswerNumbers> TakeNumbers();

  TBankContents& contents_;
  std::string decimalSeparator_;
  std::vector<TRequest> requests_;
  std::size_t next_ = 0;
  TRequestWait wait_;
  bool failed_ = false;
  bool givenUp_ = false;
  int answeredRequests_ = 0;
  std::vector<bool> sampleRead_ = std::vector<bool>(TProbki::kCount + 1);
  bool quietWait_ = false;
  bool quietPeriodOver_ = false;
  bool heardDuringQuietPeriod_ = false;
};

// Count and derived values of samples 1 to contents.IloscProbek.
void ComputeDerivedValues(TBankContents& contents);

} // namespace zr7
