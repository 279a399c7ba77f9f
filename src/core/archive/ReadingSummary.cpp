#include "core/archive/ReadingSummary.h"

#include "core/image/ByteAccess.h"
#include "core/image/Checksum.h"
#include "core/image/Counter24.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"

namespace kestrel {

using namespace layout;

namespace {

// Folding the winch spectra into the crane's keeps every count, so the crane's total is
// the winches' counters from the cycle-start threshold up.
std::int64_t craneCycles(const MemoryImage& image)
{
    const int cycleStart = readI16(image, kCycleStartThreshold);
    std::int64_t total = 0;
    for (std::size_t i = 0; i < kSpectrumBuckets; ++i) {
        if (static_cast<int>(i) < cycleStart)
            continue;
        total += readCounter24(image, kWinch1Spectrum + 3 * i);
        total += readCounter24(image, kWinch2Spectrum + 3 * i);
    }
    return total;
}

} // namespace

StoredReading summariseReading(const MemoryImage& image)
{
    StoredReading reading;
    reading.recorder = fixedTextTrimmed(image, kRecorderSerial, 16);
    reading.craneType = fixedTextTrimmed(image, kCraneType, 32);
    reading.craneNumber = fixedTextTrimmed(image, kCraneSerial, 16);
    const StampBytes stamp = stampAt(image, kReadingStamp);
    try {
        reading.reading = stampToDateTime(stamp);
        reading.readingText = stampText(stamp);
        if (!reading.readingText.empty())
            reading.readingText.pop_back(); // the stamp's trailing blank
    } catch (const DateConversionError&) {
        // 31 February: the reading names no usable date.
        reading.reading = 0.0;
        reading.readingText.clear();
    }
    reading.checksumOk = checksumOk(image);
    reading.cycles = craneCycles(image);
    reading.motorMinutes = readCounter24(image, kMotorMinutes);
    return reading;
}

} // namespace kestrel
