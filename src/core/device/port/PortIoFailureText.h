#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// Bits of this program's address space: a Windows library of the other width cannot be loaded.
inline constexpr int kProgramBits = static_cast<int>(sizeof(void*) * 8);

// Why Windows could not load the port library, in the user's words: the loader's
// error code (GetLastError after LoadLibraryA) explained, the code itself at the end.
std::string libraryLoadFailureReason(std::uint32_t code, int programBits = kProgramBits);

// Why a step of the driver service failed, in the user's words. `step` is the name the
// step puts into LastError ("ConnectSCM", "DriverInstall", "DriverStart", "DriverStop",
// "DriverRemove"), `code` the error number it gives there (-1 from DriverStart: the
// service is neither running nor stopped). Empty for a step of another name.
std::string serviceFailureReason(std::string_view step, long long code);

// The same, read from a LastError text "Step: Error #N"; empty for any other text.
std::string serviceFailureReasonOf(std::string_view lastError);

} // namespace kestrel
