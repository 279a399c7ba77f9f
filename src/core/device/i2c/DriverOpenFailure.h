#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// Where this build can reach the reader device through a USB-to-I2C adapter (i2c-dev).
#if defined(__linux__)
inline constexpr bool kUsbI2cAdaptersAvailable = true;
#else
inline constexpr bool kUsbI2cAdaptersAvailable = false;
#endif

inline constexpr const char* kDriverOpenFailedLine = "Не возможно открыть DriverLINX драйвер.";

// The message shown when the port driver could not be opened: the fixed first line,
// the driver's LastError as it stands, the reason in words (the library's failure, or
// what the failed service step means), and what the program can still do.
std::string driverOpenFailureMessage(
    std::string_view lastError, std::string_view libraryFailure, bool usbAdapters = kUsbI2cAdaptersAvailable);

} // namespace kestrel
