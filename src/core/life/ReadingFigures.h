#pragma once

#include "core/image/DateTime.h"
#include "core/image/MemoryImage.h"
#include "core/stats/LoadStatistics.h"
#include "core/text/DisplayLocale.h"

#include <string>

namespace kestrel {

// What one reading (or one period between two readings) shows, recomputed from the
// bytes by the same processing the main window runs, with nobody asked anything.
struct ReadingFigures {
    DateTime reading = 0.0;      // reading stamp; 0 when it names no date
    DateTime installation = 0.0; // installation day (0x772); 0 when unknown
    DateTime periodStart = 0.0;  // installation day, or the earlier reading of a period
    bool checksumOk = false;
    // False when the records could not be decoded or the loads classified: the cycles and
    // characteristic numbers are then not the reading's and count in no duty.
    bool dutyKnown = true;
    StatisticsBlocks stats{};    // winch 1, winch 2, crane: characteristic numbers, cycles, trips…
    // The main page's texts of the crane: eNcicl, eKp, eQi, eUi, eAi, eStop, eMoto.
    std::string cycles, kp, q, u, a, limiterTrips, motorHours;
    std::string readingText;     // "dd.MM.yyyy hh:mm", empty when no date
};

// Figures of a whole reading: the period from the installation day.
ReadingFigures figuresOfReading(const MemoryImage& image, const DisplayLocale& locale);

// Figures of the period between an earlier and a later reading of the same recorder:
// the start-of-period operation (counters subtracted, known records cleared), period
// start = the earlier reading.
ReadingFigures figuresOfPeriod(const MemoryImage& later, const MemoryImage& earlier, const DisplayLocale& locale);

} // namespace kestrel
