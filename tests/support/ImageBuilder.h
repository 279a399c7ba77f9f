#pragma once

#include "core/image/ByteAccess.h"
#include "core/image/Checksum.h"
#include "core/image/Counter24.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/MemoryImage.h"
#include "core/image/TimeStamp.h"

#include <cstdint>
#include <string>

namespace kestrel::test {

// Small helpers to lay out test images field by field.
struct ImageBuilder {
    MemoryImage image{};

    ImageBuilder& stamp(std::size_t at, int minute, int hour, int day, int month, int year)
    {
        const StampBytes s{packBcd(minute), packBcd(hour), packBcd(day), packBcd(month), packBcd(year)};
        std::copy(s.begin(), s.end(), image.begin() + static_cast<long>(at));
        return *this;
    }
    ImageBuilder& capacities(float crane, float winch1, float winch2)
    {
        writeFloat(image, layout::kCraneCapacity, crane);
        writeFloat(image, layout::kWinch1Capacity, winch1);
        writeFloat(image, layout::kWinch2Capacity, winch2);
        return *this;
    }
    ImageBuilder& counter(std::size_t at, std::uint32_t value)
    {
        writeCounter24(image, at, value);
        return *this;
    }
    ImageBuilder& bucket(int winch, std::size_t i, std::uint32_t value)
    {
        return counter((winch == 1 ? layout::kWinch1Spectrum : layout::kWinch2Spectrum) + 3 * i, value);
    }
    ImageBuilder& text(std::size_t at, std::size_t length, const std::string& utf8)
    {
        putFixedText(image, at, length, utf8);
        return *this;
    }
    ImageBuilder& i16(std::size_t at, std::int16_t v)
    {
        writeI16(image, at, v);
        return *this;
    }
    ImageBuilder& i32(std::size_t at, std::int32_t v)
    {
        writeI32(image, at, v);
        return *this;
    }
    ImageBuilder& byte(std::size_t at, std::uint8_t v)
    {
        image[at] = v;
        return *this;
    }
    // A record in a ring slot: stamp, loads, flags.
    ImageBuilder& record(std::size_t ring, std::size_t slot, int minute, int hour, int day, int month, int year,
        std::uint8_t load1, std::uint8_t load2, std::uint8_t flags)
    {
        const std::size_t at = ring + layout::kRecordSize * slot;
        stamp(at, minute, hour, day, month, year);
        image[at + 5] = load1;
        image[at + 6] = load2;
        image[at + 7] = flags;
        return *this;
    }
    // Makes the even-offset XOR zero through an otherwise unused byte.
    ImageBuilder& fixChecksum()
    {
        makeChecksumConsistent(image, 0x6FE);
        return *this;
    }
};

} // namespace kestrel::test
