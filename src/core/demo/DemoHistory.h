#pragma once

#include "core/image/MemoryImage.h"

#include <cstdint>
#include <vector>

namespace kestrel {

// Yearly readings of the demo recorder of `seed`, oldest first; the last one is
// makeDemoImage(seed). One passport throughout, the counters growing evenly from reading
// to reading; as many readings as fit after the installation day, at most `readings`
// and at least the newest one.
std::vector<MemoryImage> makeDemoHistory(std::uint32_t seed, int readings);

} // namespace kestrel
