#pragma once

#include "core/archive/ReadingArchive.h"

#include <cstdint>

namespace kestrel {

// The listed fields of a reading, taken from its bytes (id, source and storedAt are left empty).
StoredReading summariseReading(const MemoryImage& image);

} // namespace kestrel
