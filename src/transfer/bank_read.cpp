#include "bank_read.h"

#include "bank_storage.h"
#include "measurement/derived_values.h"

#include <algorithm>

namespace zr7 {

TBankRead::TBankRead(TBankContents& contents, int bank, std::string decimalSeparator, TBankPart part)
    : contents_(contents),
      decimalSeparator_(std::move(decimalSeparator)),
      requests_(BankRequests(std::clamp(bank, 1, kBankCount))) {
  if (part == TBankPart::Header) requests_.resize(1 + kHeaderLines);
  contents_.IloscProbek = 0;
}

bool TBankRead::Finished() const { return failed_ || givenUp_ || next_ >= requests_.size(); }

bool TBankRead::Receive(std::span<const std::uint8_t> chunk) {
  if (quietWait_) {
    heardDuringQuietPeriod_ = true;
    return false;
  }
  return wait_.Receive(chunk);
}

void TBankRead::TimeOut() {
  if (quietWait_) {
    quietPeriodOver_ = true;
  } else {
    wait_.TimeOut();
  }
}

void TBankRead::BeginQuietPeriod() {
  quietWait_ = true;
  quietPeriodOver_ = false;
  heardDuringQuietPeriod_ = false;
}

std::string TBankRead::BeginRequest() {
  wait_.Begin();
  return Current().Bytes();
}

TRequestOutcome TBankRead::EndRequest() {
  TRequestOutcome outcome;
  switch (Current().kind) {
    case TRequest::TKind::SelectBlock:
      outcome = EndSelectBlock();
      break;
    case TRequest::TKind::HeaderLine:
      outcome = EndHeaderLine();
      break;
    case TRequest::TKind::SampleLine:
      outcome = EndSampleLine();
      break;
  }
  outcome.timedOut = StatusRS() == TRequestWait::kTimedOut;
  outcome.failed = failed_;
  ++next_;
  return outcome;
}

std::optional<TAnswerNumbers> TBankRead::TakeNumbers() {
  if (StatusRS() != TRequestWait::kAnswered) return std::nullopt;
  std::optional<TAnswerNumbers> numbers;
  if (!wait_.Overlong()) numbers = ParseAnswerNumbers(wait_.Text());
  if (!numbers) failed_ = true;
  return numbers;
}

TReadCompleteness TBankRead::Completeness() const {
  TReadCompleteness completeness;
  completeness.unansweredRequests = static_cast<int>(requests_.size()) - answeredRequests_;
  completeness.sampleCount = std::clamp(contents_.IloscProbek, 0, TProbki::kCount);
  completeness.samplesRead =
      static_cast<int>(std::count(sampleRead_.begin() + 1, sampleRead_.begin() + 1 + completeness.sampleCount, true));
  return completeness;
}

TRequestOutcome TBankRead::EndSelectBlock() {
  TRequestOutcome outcome;
  // The answer to a block selection is not examined; a port closed during
  // the wait still counts the block as selected, only silence does not.
  if (StatusRS() != TRequestWait::kTimedOut) outcome.blockCaption = Current().number + 1;
  answeredRequests_ += StatusRS() == TRequestWait::kAnswered;
  return outcome;
}

TRequestOutcome TBankRead::EndHeaderLine() {
  TRequestOutcome outcome;
  const int line = Current().headerLine;
  if (const auto numbers = TakeNumbers()) {
    StoreHeaderLine(contents_.Naglowek, line, *numbers);
    outcome.advanceProgress = true;
    ++answeredRequests_;
  }
  if (!failed_ && line == kHeaderLines - 1) outcome.header = DecodeHeader(contents_, decimalSeparator_);
  return outcome;
}

TRequestOutcome TBankRead::EndSampleLine() {
  TRequestOutcome outcome;
  const int sample = Current().sampleNumber;
  if (const auto numbers = TakeNumbers()) {
    ++answeredRequests_;
    if (sample <= TProbki::kCount) {
      StoreSample(contents_.Pomiar.Probki[sample], *numbers);
      sampleRead_[sample] = true;
    }
  }
  outcome.advanceProgress = !failed_ && Current().number == kLinesPerSampleBlock - 1;
  return outcome;
}

TTimeAxis TBankRead::Finish() {
  next_ = requests_.size();
  ComputeDerivedValues(contents_);
  return {0, contents_.IloscProbek / 40.0, 0.1};
}

void ComputeDerivedValues(TBankContents& contents) {
  const int count = std::clamp(contents.IloscProbek, 0, TProbki::kCount);
  for (int i = 1; i <= count; ++i) {
    TProbka& sample = contents.Pomiar.Probki[i];
    sample.n = contents.IloscProbek;
    ComputeDerived(sample);
  }
}

} // namespace zr7
