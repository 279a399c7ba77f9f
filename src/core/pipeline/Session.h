#pragma once

#include "core/image/DateTime.h"
#include "core/image/MemoryImage.h"
#include "core/records/CycleRows.h"
#include "core/stats/LoadStatistics.h"
#include "core/text/DisplayLocale.h"
#include "core/view/MainView.h"

namespace kestrel {

// The state the main window owns for its whole run, without any widget:
// the one memory image, what was decoded from it and the texts shown.
struct Session {
    MemoryImage image{};
    DateTime periodStart = 0.0;
    StatisticsBlocks stats{};
    CycleRows cycleRows{};
    MainView view;
    DisplayLocale locale;
    // A reading (device, file or archive) is in the image; a fresh window holds none.
    bool hasReading = false;
    // All 32 768 bytes of it came from its source: a short file's zero-filled rest is a
    // guess, which the archive must not keep as a reading.
    bool wholeReading = false;
    // A step of the last processing failed: the texts shown are incomplete.
    bool processingFailed = false;
};

} // namespace kestrel
