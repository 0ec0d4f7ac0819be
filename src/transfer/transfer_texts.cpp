#include "transfer_texts.h"

#include "bank_read.h"

namespace zr7 {

std::string IncompleteReadMessage(const TReadCompleteness& completeness) {
  return "Pomiar jest niekompletny: odczytano " + std::to_string(completeness.samplesRead) + " z " +
         std::to_string(completeness.sampleCount) +
         " próbek, zapytań bez odpowiedzi: " + std::to_string(completeness.unansweredRequests) +
         ". Krzywa może być niepełna.";
}

} // namespace zr7
