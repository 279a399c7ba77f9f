#pragma once

#include "core/image/ByteAccess.h"
#include "core/image/TimeStamp.h"

#include <optional>
#include <string_view>

namespace kestrel {

// The record a row of lvLast or lvStop stands for.
struct CycleRecordRef {
    bool limiterTrip = false; // found in the limiter-trip ring, else the working-cycle ring
    int slot = 0;             // 0..31 within its ring
    StampBytes stamp{};
};

// The first record, working-cycle ring first and then the limiter-trip ring, whose
// stampText equals the row's date text. An empty text matches nothing: rows without a
// valid stamp have no record to show.
std::optional<CycleRecordRef> findCycleRecord(ConstBytes image, std::string_view dateText);

} // namespace kestrel
