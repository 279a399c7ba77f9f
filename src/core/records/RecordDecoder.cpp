#include "core/records/RecordDecoder.h"

#include "core/image/Counter24.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/records/DetailIndex.h"

#include <cmath>
#include <limits>

namespace kestrel {

using namespace layout;

namespace {

constexpr const char* kFoldFailure = "crane spectrum cannot be folded";

float capacityRatio(float winch, float crane)
{
    const auto ratio = static_cast<float>(static_cast<double>(winch) / static_cast<double>(crane));
    if (!std::isfinite(ratio))
        throw DecodingFailure(kFoldFailure);
    return ratio;
}

void decodeRing(ConstBytes image, std::size_t indexAt, std::size_t ringAt, bool showServiceMode,
    CycleViewRow* rows, DetailIndex& details)
{
    // The slot at the next-write index is the oldest; newest first walks down from it.
    int n = image[indexAt] % static_cast<int>(kRingSlots);
    for (std::size_t k = 0; k < kRingSlots; ++k) {
        n = n == 0 ? static_cast<int>(kRingSlots) - 1 : n - 1;
        const std::size_t at = ringAt + kRecordSize * static_cast<std::size_t>(n);
        CycleViewRow& row = rows[k];
        row.winch1Load = image[at + 5];
        row.winch2Load = image[at + 6];
        row.stateText = stateText(image[at + 7], showServiceMode);
        const StampBytes stamp = stampAt(image, at);
        if (stampIsValid(stamp)) {
            row.dateText = stampText(stamp);
            row.hasDetail = details.contains(stamp);
        } else {
            row.dateText.clear();
            row.hasDetail = false;
        }
    }
}

} // namespace

std::string stateText(std::uint8_t flags, bool showServiceMode)
{
    std::string state;
    if (flags & 0x01)
        state += "Стоп(Л1) ";
    if (flags & 0x02)
        state += "Стоп(Л2)";
    if (const int sensor = (flags >> 3) & 0x0F; sensor != 0)
        state += "Стоп(Д" + std::to_string(sensor) + ")";
    if (showServiceMode && (flags & 0x04))
        state += "Служ. режим";
    return state;
}

void foldIntoCraneSpectrum(const Spectrum& winch, float ratio, std::array<std::int64_t, 170>& crane)
{
    constexpr auto kLast = static_cast<float>(kSpectrumBuckets - 1);
    for (std::size_t d = 0; d < kSpectrumBuckets; ++d) {
        const auto x = static_cast<float>(static_cast<double>(d) * static_cast<double>(ratio));
        if (!std::isfinite(x))
            throw DecodingFailure(kFoldFailure);
        std::size_t j;
        if (x <= 0.0f)
            j = 0;
        else if (x > kLast)
            j = kSpectrumBuckets - 1;
        else
            j = static_cast<std::size_t>(std::ceil(x));
        crane[j] += winch[d];
    }
}

void decodeImage(ConstBytes image, StatisticsBlocks& blocks, CycleRows& rows)
{
    LoadStatistics& crane = blocks[kCrane];
    LoadStatistics& winch1 = blocks[kWinch1];
    LoadStatistics& winch2 = blocks[kWinch2];

    crane.capacity = readFloat(image, kCraneCapacity);
    winch1.capacity = readFloat(image, kWinch1Capacity);
    winch2.capacity = readFloat(image, kWinch2Capacity);

    const std::uint32_t minutes = readCounter24(image, kMotorMinutes);
    crane.motorHours = static_cast<float>(static_cast<double>(minutes / 6) * 0.1);
    crane.limiterTrips = static_cast<std::int32_t>(readCounter24(image, kLimiterTrips));

    const int cycleStart = readI16(image, kCycleStartThreshold);
    for (std::size_t i = 0; i < kSpectrumBuckets; ++i) {
        const bool below = static_cast<int>(i) < cycleStart;
        winch1.spectrum[i] = below ? 0 : static_cast<std::int32_t>(readCounter24(image, kWinch1Spectrum + 3 * i));
        winch2.spectrum[i] = below ? 0 : static_cast<std::int32_t>(readCounter24(image, kWinch2Spectrum + 3 * i));
    }

    // A crane capacity that is zero or not a number gives no crane spectrum.
    if (!std::isfinite(crane.capacity))
        throw DecodingFailure(kFoldFailure);
    const float r1 = capacityRatio(winch1.capacity, crane.capacity);
    const float r2 = capacityRatio(winch2.capacity, crane.capacity);
    std::array<std::int64_t, 170> folded{};
    foldIntoCraneSpectrum(winch1.spectrum, r1, folded);
    foldIntoCraneSpectrum(winch2.spectrum, r2, folded);
    // Two full winch spectra can exceed what a bucket counter holds.
    for (std::size_t j = 0; j < kSpectrumBuckets; ++j)
        if (folded[j] > std::numeric_limits<std::int32_t>::max())
            throw DecodingFailure("crane spectrum bucket overflows");
    for (std::size_t j = 0; j < kSpectrumBuckets; ++j)
        crane.spectrum[j] = static_cast<std::int32_t>(folded[j]);

    DetailIndex details(image);
    decodeRing(image, kCycleRingIndex, kCycleRing, true, rows.data(), details);
    decodeRing(image, kTripRingIndex, kTripRing, false, rows.data() + kRingSlots, details);
}

} // namespace kestrel
