#pragma once

#include <string>
#include <system_error>

namespace kestrel {

// The system's own words for an error, in the user's language: on Linux the messages
// category of the user's locale (LC_ALL, LC_MESSAGES, LANG) alone, never the numeric one,
// always as UTF-8; on Windows the system's message language. `errorNumber` is an errno value.
std::string systemErrorText(int errorNumber);

// The same for an error code from std::filesystem or the system (on Windows a system
// error code; elsewhere an errno value).
std::string systemErrorText(const std::error_code& error);

#ifdef _WIN32
// A Windows system error code (GetLastError) in the system's message language.
std::string windowsErrorText(unsigned long code);
#endif

} // namespace kestrel
