#pragma once

#include <array>
#include <string>

namespace kestrel {

// One decoded working cycle or limiter trip, as the lists and the cycle detail use it.
struct CycleViewRow {
    int winch1Load = 0; // percent of winch 1 capacity
    int winch2Load = 0;
    std::string dateText;
    std::string stateText;
    bool hasDetail = false;
};

// Rows 0..31: working cycles, 32..63: limiter trips, newest first in each half.
using CycleRows = std::array<CycleViewRow, 64>;

} // namespace kestrel
