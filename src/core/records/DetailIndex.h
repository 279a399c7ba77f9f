#pragma once

#include "core/image/ByteAccess.h"
#include "core/image/TimeStamp.h"

#include <cstdint>
#include <vector>

namespace kestrel {

// The stamps of every time mark in the operational memory, gathered in one pass, so
// that 64 records are looked up without 64 scans of the log. Same rule as hasDetail.
class DetailIndex {
public:
    explicit DetailIndex(ConstBytes image);
    bool contains(const StampBytes& stamp) const;

private:
    std::vector<std::uint64_t> marks_; // sorted 5-byte keys
};

} // namespace kestrel
