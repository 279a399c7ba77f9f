#include "core/archive/PreviousReading.h"

#include "core/archive/ReadingSummary.h"

namespace kestrel {

std::optional<StoredReading> previousStoredReading(const std::vector<StoredReading>& stored, const MemoryImage& current)
{
    const StoredReading now = summariseReading(current);
    if (now.reading == 0.0)
        return std::nullopt;
    std::optional<StoredReading> found;
    for (const StoredReading& candidate : stored) {
        if (candidate.recorder != now.recorder || candidate.reading == 0.0 || !(candidate.reading < now.reading))
            continue;
        if (!found || candidate.reading > found->reading)
            found = candidate;
    }
    return found;
}

} // namespace kestrel
