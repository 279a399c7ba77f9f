#pragma once

#include "core/archive/ReadingArchive.h"

#include <cstdint>

namespace kestrel {

// The listed fields of a reading, taken from its bytes (id, source and storedAt are left empty).
StoredReading summariseReading(const MemoryImage& image);

// A 64-bit FNV-1a hash over the bytes' 64-bit words: finds the candidates of an equal image quickly;
// the bytes themselves decide.
std::int64_t contentHash(const MemoryImage& image);

} // namespace kestrel
