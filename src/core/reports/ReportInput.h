#pragma once

#include "core/life/LifeAssessment.h"
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
    // The design working period at this reading; nullptr where nobody computed it.
    const LifeAssessment* life = nullptr;
};

} // namespace kestrel
