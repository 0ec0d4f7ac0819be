#pragma once

#include <cstdint>

// The messages between the port component and its worker threads: the
// system's first user message number plus 1 to 4.
namespace zr7 {

inline constexpr std::uint32_t kFirstUserMessage = 1024;
// Bytes to write (to the writer's queue) or received (to the message
// window): WParam the count, Buffer the bytes and a terminating zero.
inline constexpr std::uint32_t WM_COMM_DATA = kFirstUserMessage + 1;
// A worker thread has failed and ends.
inline constexpr std::uint32_t WM_COMM_HANGUP = kFirstUserMessage + 2;
// A worker thread runs: WParam 1 from the writer, 0 from the reader.
inline constexpr std::uint32_t WM_COMM_THREAD_READY = kFirstUserMessage + 3;
// A line-error report: WParam the ErrorStatus.
inline constexpr std::uint32_t WM_COMM_ERROR = kFirstUserMessage + 4;

// ErrorStatus bits of a line-error report.
inline constexpr std::uint8_t kErrorFraming = 1;
inline constexpr std::uint8_t kErrorOverrun = 2;
inline constexpr std::uint8_t kErrorParity = 4;
inline constexpr std::uint8_t kErrorOther = 8;

// ErrorStatus from the device's line-error flags (kLineError...).
std::uint8_t ErrorStatusFromFlags(std::uint32_t flags);

} // namespace zr7
