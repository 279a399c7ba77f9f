#pragma once

#include <chrono>
#include <string>

namespace kestrel {

// "2026-12-10T22:51:05Z": when a reading or a design entry was stored, the same in both
// archives whatever the user's locale or the server's settings.
std::string utcStamp(std::chrono::sys_seconds when);

std::string utcStampNow();

} // namespace kestrel
