#pragma once

// Readings of many cranes for the fleet overview's tests and benchmark: the demo
// recorder of each seed, read `readings` times at even steps between its installation
// day and its newest reading, the counters growing in proportion. Each crane gets its
// own crane and recorder number, so that seeds whose demo passports agree stay apart.
#include "core/demo/DemoImage.h"
#include "core/image/ByteAccess.h"
#include "core/image/Checksum.h"
#include "core/image/Counter24.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace kestrel::test {

inline void scaleSampleCounter(MemoryImage& image, std::size_t offset, double share)
{
    writeCounter24(image, offset, static_cast<std::uint32_t>(std::floor(readCounter24(image, offset) * share)));
}

inline void setSampleStamp(MemoryImage& image, DateTime day)
{
    const CalendarDate date = decodeDate(day);
    image[layout::kReadingStamp + 2] = packBcd(date.day);
    image[layout::kReadingStamp + 3] = packBcd(date.month);
    image[layout::kReadingStamp + 4] = packBcd(date.year % 100);
}

inline std::string sampleCraneNumber(std::uint32_t crane) { return "К" + std::to_string(10000 + crane); }
inline std::string sampleRecorderNumber(std::uint32_t crane) { return "Р" + std::to_string(50000 + crane); }

// Oldest first; the last one is the demo image of `crane` itself (renumbered).
inline std::vector<MemoryImage> fleetSampleCrane(std::uint32_t crane, int readings)
{
    MemoryImage newest = makeDemoImage(crane);
    putFixedText(newest, layout::kCraneSerial, 16, sampleCraneNumber(crane));
    putFixedText(newest, layout::kRecorderSerial, 16, sampleRecorderNumber(crane));
    const DateTime last = std::floor(stampToDateTime(stampAt(newest, layout::kReadingStamp)));
    const DateTime first = std::max<DateTime>(readI32(newest, layout::kInstallationDay) + 1.0, 36526.0); // 2000-01-01
    const double step = readings > 1 ? std::max(1.0, std::floor((last - first) / readings)) : 0.0;
    std::vector<MemoryImage> history;
    for (int k = 0; k < readings; ++k) {
        MemoryImage image = newest;
        if (k + 1 < readings) {
            const double share = static_cast<double>(k + 1) / readings;
            for (std::size_t i = 0; i < layout::kSpectrumBuckets; ++i) {
                scaleSampleCounter(image, layout::kWinch1Spectrum + 3 * i, share);
                scaleSampleCounter(image, layout::kWinch2Spectrum + 3 * i, share);
            }
            scaleSampleCounter(image, layout::kMotorMinutes, share);
            scaleSampleCounter(image, layout::kLimiterTrips, share);
            setSampleStamp(image, last - step * (readings - 1 - k));
        }
        makeChecksumConsistent(image, kDemoChecksumFixOffset);
        history.push_back(image);
    }
    return history;
}

// The recorder erased before readings[from]: from there on, the counters count again from
// what they were at readings[from - 1] (the spectra, the motor minutes, or both).
inline void eraseSampleBefore(std::vector<MemoryImage>& readings, std::size_t from, bool spectra, bool motorMinutes)
{
    const MemoryImage before = readings[from - 1];
    const auto restart = [&](MemoryImage& image, std::size_t offset) {
        writeCounter24(image, offset, readCounter24(image, offset) - readCounter24(before, offset));
    };
    for (std::size_t k = from; k < readings.size(); ++k) {
        MemoryImage& image = readings[k];
        for (std::size_t i = 0; spectra && i < layout::kSpectrumBuckets; ++i) {
            restart(image, layout::kWinch1Spectrum + 3 * i);
            restart(image, layout::kWinch2Spectrum + 3 * i);
        }
        if (motorMinutes)
            restart(image, layout::kMotorMinutes);
        makeChecksumConsistent(image, kDemoChecksumFixOffset);
    }
}

} // namespace kestrel::test
