#pragma once

#include "core/image/ImageLayout.h"

#include <array>
#include <cstdint>

namespace kestrel {

using Spectrum = std::array<std::int32_t, layout::kSpectrumBuckets>;

// A class that a failing step could not compute: shown as an empty text.
inline constexpr std::int32_t kClassNotComputed = -1;

// Statistics of one mechanism. Bucket i of the spectrum counts cycles at load (i + 1) %.
struct LoadStatistics {
    float capacity = 0.0f;
    float characteristicNumber = 0.0f;
    float coefficient = 0.0f;
    std::int32_t loadClass = 0;
    std::int32_t usageClass = 0;
    std::int32_t group = 0;
    float motorHours = 0.0f;       // crane only
    std::int32_t limiterTrips = 0; // crane only
    std::int32_t totalCycles = 0;
    Spectrum spectrum{};
    float liftedMass = 0.0f;
};

enum Mechanism : std::size_t { kWinch1 = 0, kWinch2 = 1, kCrane = 2 };
using StatisticsBlocks = std::array<LoadStatistics, 3>;

} // namespace kestrel
