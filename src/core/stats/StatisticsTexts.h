#pragma once

#include "core/stats/LoadStatistics.h"
#include "core/text/DisplayLocale.h"
#include "core/view/MainView.h"

namespace kestrel {

// The crane group box and the lvCommon values, as the main page shows them.
StatisticsView statisticsTexts(const StatisticsBlocks& blocks, const DisplayLocale& locale);

} // namespace kestrel
