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

// How many yearly readings the demo recorder of `seed` can have: a whole year back per
// reading, none before its installation day. makeDemoHistory never gives more.
int demoHistoryLimit(std::uint32_t seed);

} // namespace kestrel
