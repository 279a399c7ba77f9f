#pragma once

#include "core/archive/ReadingArchive.h"
#include "core/image/MemoryImage.h"
#include "core/life/LifeAssessment.h"
#include "core/life/ReadingFigures.h"

#include <cstdint>
#include <vector>

namespace kestrel {

// One reading of a recorder's history, as the archive (or a file) gave it.
struct HistoryInput {
    std::int64_t id = 0; // archive id; 0 for a reading that is not stored
    MemoryImage image{};
};

struct HistoryReading {
    std::int64_t id = 0;
    int segment = 0; // counts up each time the counters fell below the previous reading's
    ReadingFigures figures;
};

// What one period between two consecutive readings of a segment added.
struct HistoryPeriod {
    std::int64_t fromId = 0;
    std::int64_t toId = 0;
    ReadingFigures figures;
};

struct ChartSample {
    DateTime when = 0.0;
    double value = 0.0;
};

struct LifeHistory {
    std::vector<HistoryReading> readings; // oldest first
    std::vector<HistoryPeriod> periods;   // oldest first
    std::vector<ChartSample> monthlyCycles; // first day of each month, crane cycles in it
    std::vector<ChartSample> usedShare;   // at each reading, when the crane's D is known
    LifeAssessment assessment;            // at the newest reading
};

// The readings of one recorder, oldest first (duplicates of the same reading date keep
// the first). A reading whose crane cycles or motor minutes fell below the previous one
// starts a new segment (the recorder was erased); duty is summed over segments.
LifeHistory buildLifeHistory(const std::vector<HistoryInput>& readings, const DesignClasses& design,
    const DisplayLocale& locale);

// The assessment of the newest of the readings (same rules as buildLifeHistory).
LifeAssessment assessLife(const std::vector<HistoryInput>& readings, const DesignClasses& design,
    const DisplayLocale& locale);

} // namespace kestrel
