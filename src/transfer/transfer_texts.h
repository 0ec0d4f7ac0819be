#pragma once

#include <string>
#include <string_view>

// What the operator sees of a bank read, UTF-8.
namespace zr7 {

// The status bar's second panel at the start of a read.
inline constexpr std::string_view kStatusReadStarted = " ";
// The status bar's second panel after a request went unanswered.
inline constexpr std::string_view kStatusTimeOut = " Przekroczony czas odpowiedzi !";
// The message box after a malformed answer line.
inline constexpr std::string_view kReadErrorMessage = "Bląd odczytu danych lub portu!";

struct TReadCompleteness;

// The message box after a read that ended without all its answers, for
// whatever reason (silence, a disconnect, an unplugged adapter).
std::string IncompleteReadMessage(const TReadCompleteness& completeness);

} // namespace zr7
