#pragma once

#include "core/stats/LoadStatistics.h"
#include "core/view/MainView.h"

#include <array>
#include <string>

namespace kestrel {

// Chart series k and lvLoad count column k belong to these mechanisms.
inline constexpr std::array<Mechanism, 3> kSeriesMechanisms = {kCrane, kWinch1, kWinch2};

// Rebuilds lvLoad and the three chart series for the view's current step; resets the
// series selection to the crane alone, as a rebuild does. The step must be at least 1
// (std::invalid_argument otherwise).
void showLoadDistribution(const StatisticsBlocks& blocks, DistributionView& view);

// The check boxes changed (chbKranClick): series visibility, left axis maximum, legend.
void applySeriesSelection(DistributionView& view, const std::array<bool, 3>& shown);

// The zone's range text ("1%" for step 1, "от 1% до 20%" otherwise).
std::string zoneRangeText(int lower, int step);

} // namespace kestrel
