#pragma once

#include "core/image/ByteAccess.h"
#include "core/image/TimeStamp.h"

#include <cstddef>
#include <cstdint>

namespace kestrel {

// Writes sections into the circular operational log the way the recorder does:
// a time mark (0xFF bytes and the record's stamp), then the samples, wrapping at the end.
class OplogWriter {
public:
    // Fills the log with 0xFF, as an erased log reads, and starts at log position `start`.
    OplogWriter(MutableBytes image, std::size_t start);

    // A time mark is never cut by the end of the log: the plain (non-wrapping) time-mark
    // search would not find it. The rest of the log is left as 0xFF and the mark starts at 0.
    void beginSection(const StampBytes& stamp, int markBytes = 1);
    void putByte(std::uint8_t b);

    // The log position the next byte goes to.
    std::size_t position() const { return position_; }
    // Bytes written since construction; beyond the log size older sections are overwritten.
    std::size_t written() const { return written_; }

private:
    MutableBytes image_;
    std::size_t position_;
    std::size_t written_ = 0;
};

} // namespace kestrel
