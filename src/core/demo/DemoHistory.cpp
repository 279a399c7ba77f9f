#include "core/demo/DemoHistory.h"

#include "core/demo/DemoImage.h"
#include "core/image/ByteAccess.h"
#include "core/image/Checksum.h"
#include "core/image/Counter24.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

using namespace layout;

namespace {

void scaleCounter(MemoryImage& image, std::size_t offset, double share)
{
    writeCounter24(image, offset, static_cast<std::uint32_t>(std::floor(readCounter24(image, offset) * share)));
}

// Only readings after the installation day, a whole year back per reading, and none
// before 2000 (the stamp's year has two digits).
int historyLimit(const MemoryImage& newest)
{
    const StampBytes stamp = stampAt(newest, kReadingStamp);
    const int newestYear = (stamp[4] >> 4) * 10 + (stamp[4] & 0x0F);
    const DateTime newestReading = stampToDateTime(stamp);
    const double installation = readI32(newest, kInstallationDay);
    const int fitting = static_cast<int>(std::floor((newestReading - installation) / 366.0)) + 1;
    return std::clamp(fitting, 1, newestYear + 1);
}

} // namespace

int demoHistoryLimit(std::uint32_t seed) { return historyLimit(makeDemoImage(seed)); }

std::vector<MemoryImage> makeDemoHistory(std::uint32_t seed, int readings)
{
    const MemoryImage newest = makeDemoImage(seed);
    const StampBytes stamp = stampAt(newest, kReadingStamp);
    const int newestYear = (stamp[4] >> 4) * 10 + (stamp[4] & 0x0F);
    const int count = std::clamp(readings, 1, historyLimit(newest));

    std::vector<MemoryImage> history;
    for (int k = 0; k + 1 < count; ++k) {
        MemoryImage image = newest;
        const double share = static_cast<double>(k + 1) / count;
        for (std::size_t i = 0; i < kSpectrumBuckets; ++i) {
            scaleCounter(image, kWinch1Spectrum + 3 * i, share);
            scaleCounter(image, kWinch2Spectrum + 3 * i, share);
        }
        scaleCounter(image, kMotorMinutes, share);
        scaleCounter(image, kLimiterTrips, share);
        image[kReadingStamp + 4] = packBcd(newestYear - (count - 1 - k));
        makeChecksumConsistent(image, kDemoChecksumFixOffset);
        history.push_back(image);
    }
    history.push_back(newest);
    return history;
}

} // namespace kestrel
