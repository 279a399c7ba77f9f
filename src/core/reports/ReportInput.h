#pragma once

#include "core/records/CycleRows.h"
#include "core/stats/LoadStatistics.h"
#include "core/text/DisplayLocale.h"
#include "core/view/MainView.h"

namespace kestrel {

// What a document copies: the texts on the screen, plus the few values behind them
// (cycle view rows, capacities, winch totals) that the sections read directly.
struct ReportInput {
    const MainView& view;
    const CycleRows& cycleRows;
    const StatisticsBlocks& stats;
    const DisplayLocale& locale;
};

} // namespace kestrel
