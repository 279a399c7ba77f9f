#pragma once

#include "core/image/MemoryImage.h"

#include <cstdint>

namespace kestrel {

// A synthetic but realistic recorder memory for demos, benchmarks and tests:
// passport and settings, two load spectra, full rings of working cycles and limiter
// trips, and an operational log with a section for most of those records.
// The same seed always gives the same bytes; the checksum is consistent.
MemoryImage makeDemoImage(std::uint32_t seed);

// The even offset, outside every field, whose byte makes the checksum come out zero.
inline constexpr std::size_t kDemoChecksumFixOffset = 0x6FA;

} // namespace kestrel
