#pragma once

#include <string>
#include <string_view>
#include <system_error>

// The port component's optional diagnostic log: one English text file per
// program, shared by every component and thread. Lines written while no
// log file is open are dropped.
namespace zr7::comm_log {

// The path, empty for no log; setting it does not open the file.
void SetPath(std::string path);
// Creates the file under the path, replacing an existing one. Nothing
// happens when the path is empty.
void Open();
void Close();

inline constexpr std::string_view kInvalidHandleLine =
    "ERROR_INVALID_HANDLE, Likely that the Service Provider has closed the port.";

// Appends the text and CR LF as one whole line; lines of different threads
// never interleave.
void LogLine(std::string_view text);
// The prefix, then "GetLastError returned: " and the system's text for the
// code in double quotes; the prefix and "Out of memory" when it has none.
void LogError(int code, std::string_view prefix);
// The same for a failure the C++ runtime reports (a thread that could not
// start), whose code may be the runtime's own rather than the system's.
void LogError(const std::error_code& code, std::string_view prefix);

} // namespace zr7::comm_log
