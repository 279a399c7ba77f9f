#pragma once

#include "core/stats/LoadStatistics.h"
#include "core/view/MainView.h"

namespace kestrel {

// Rebuilds lvLoad and the three chart series for the view's current step; resets the
// series selection to the crane alone, as a rebuild does.
void showLoadDistribution(const StatisticsBlocks& blocks, DistributionView& view);

// The check boxes changed: series visibility, left axis maximum, legend.
void applySeriesSelection(DistributionView& view, const std::array<bool, 3>& shown);

// The zone's range text ("1%" for step 1, "от 1% до 20%" otherwise).
std::string zoneRangeText(int lower, int step);

} // namespace kestrel
