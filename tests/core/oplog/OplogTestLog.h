#pragma once

#include "core/image/ImageLayout.h"
#include "core/image/MemoryImage.h"
#include "core/image/TimeStamp.h"
#include "core/oplog/OperationalLog.h"

#include <cstdint>
#include <initializer_list>

namespace kestrel::test {

// Lays bytes into the operational log of an image from a log position on, wrapping.
struct OplogTestLog {
    MemoryImage image{};
    std::size_t position = 0;

    explicit OplogTestLog(std::uint8_t fill = 0xFF, bool extended = false)
    {
        for (std::size_t p = 0; p < kOplogPositions; ++p)
            image[layout::kOplog + p] = fill;
        if (extended)
            image[layout::kProgramName + 1] = 0xCF;
    }
    OplogTestLog& at(std::size_t p)
    {
        position = p % kOplogPositions;
        return *this;
    }
    OplogTestLog& bytes(std::initializer_list<std::uint8_t> list)
    {
        for (auto b : list) {
            image[layout::kOplog + position] = b;
            position = (position + 1) % kOplogPositions;
        }
        return *this;
    }
    OplogTestLog& mark(const StampBytes& s) { return bytes({0xFF, s[0], s[1], s[2], s[3], s[4]}); }
    // Where the recorder writes next; the section search starts there.
    OplogTestLog& writePosition(std::size_t p)
    {
        image[layout::kOplogWritePosition] = static_cast<std::uint8_t>((layout::kOplog + p) & 0xFF);
        image[layout::kOplogWritePosition + 1] = static_cast<std::uint8_t>((layout::kOplog + p) >> 8);
        return *this;
    }
};

// 07.12.2026 14:30 and a minute later.
inline constexpr StampBytes kStampA{0x30, 0x14, 0x07, 0x12, 0x26};
inline constexpr StampBytes kStampB{0x31, 0x14, 0x07, 0x12, 0x26};

} // namespace kestrel::test
