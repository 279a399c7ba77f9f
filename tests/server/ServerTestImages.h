#pragma once

#include "core/archive/ReadingSummary.h"
#include "core/demo/DemoHistory.h"
#include "core/demo/DemoImage.h"

#include <string>
#include <vector>

namespace kestrel::test {

// `count` different readings: each seed's demo recorder gives a yearly history.
inline std::vector<ImageToStore> demoReadings(std::uint32_t firstSeed, int recorders, int perRecorder)
{
    std::vector<ImageToStore> images;
    for (int r = 0; r < recorders; ++r)
        for (const MemoryImage& image : makeDemoHistory(firstSeed + static_cast<std::uint32_t>(r), perRecorder))
            images.push_back({image, "seed-" + std::to_string(firstSeed + static_cast<std::uint32_t>(r))});
    return images;
}

} // namespace kestrel::test
