#pragma once

#include "core/image/ByteAccess.h"
#include "core/image/TimeStamp.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// The recorder's operational log: a circular byte log of 30 464 positions from image 0x900.
// Sections begin with a time mark (0xFF bytes, then a 5-byte stamp) and hold samples of
// 2 bytes, or 3 bytes for the extended recorder program; bytes 0x80-0xFE are skipped.
namespace kestrel {

inline constexpr std::size_t kOplogPositions = 30464;
inline constexpr std::uint8_t kTimeMarkByte = 0xFF;

struct OplogSample {
    bool winch2 = false; // byte 1 is the load of winch 2, else of winch 1
    bool relay1 = false;
    bool relay2 = false;
    bool sound = false;
    int event = 0;       // 0..7
    std::uint8_t load = 0;
    // Extended program only:
    int zone = 0;        // 0..15, row of the load characteristic
    bool relay3 = false;
    bool relay4 = false;
};

class OperationalLog {
public:
    explicit OperationalLog(ConstBytes image);

    // Positions run just past the end far more often than not: no division for those.
    static std::size_t wrap(std::size_t position)
    {
        if (position < kOplogPositions)
            return position;
        return position < 2 * kOplogPositions ? position - kOplogPositions : position % kOplogPositions;
    }

    // Second character of the program name is "П": samples carry a third byte.
    bool extended() const { return extended_; }
    std::size_t sampleSize() const { return extended_ ? 3 : 2; }

    std::uint8_t byteAt(std::size_t position) const;
    StampBytes stampAt(std::size_t position) const; // five bytes, wrapping
    static bool isSampleStart(std::uint8_t b) { return b < 0x80; }
    OplogSample sampleAt(std::size_t position) const;

    // Permitted load of a zone of the load characteristic, in percent.
    std::uint8_t zoneThreshold(int zone) const;

    // Where the search for a time mark starts: the recorder's write position, or 0.
    std::size_t writePosition() const;
    // The first time mark with `stamp` from the write position on, at most one pass;
    // gives the position just past the stamp.
    std::optional<std::size_t> findSection(const StampBytes& stamp) const;

    // Past the run of 0xFF at `position` (at most one pass); `steps` counts the bytes passed.
    std::size_t skipMarks(std::size_t position, std::size_t& steps) const;

private:
    ConstBytes image_;
    bool extended_ = false;
};

} // namespace kestrel
