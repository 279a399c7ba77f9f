#pragma once

#include "core/records/CycleRows.h"
#include "core/text/DisplayLocale.h"
#include "core/view/MainView.h"

namespace kestrel {

// Image list indices of the cycle lists.
enum CycleIcon : int { kIconNone = -1, kIconDetail = 0, kIconStop = 1, kIconService = 2 };

// "0.0 т" above 1 t, "0.00 т" otherwise.
std::string cycleMassText(double tonnes, const DisplayLocale& locale);

// One row of lvLast (workingCycles) or lvStop.
CycleListRow cycleListRow(const CycleViewRow& row, float winch1Capacity, float winch2Capacity, bool workingCycles,
    const DisplayLocale& locale);

} // namespace kestrel
