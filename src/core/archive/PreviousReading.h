#pragma once

#include "core/archive/ReadingArchive.h"

#include <optional>
#include <vector>

namespace kestrel {

// The newest stored reading of the same recorder taken before `current` (by its reading
// date); nullopt when there is none or the current image names no reading date.
std::optional<StoredReading> previousStoredReading(const std::vector<StoredReading>& stored, const MemoryImage& current);

} // namespace kestrel
