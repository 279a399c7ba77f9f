#pragma once

#include "core/life/LifeHistory.h"
#include "core/text/DisplayLocale.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

// What the history page shows, as texts ready for its lists; the chart's points are
// date-times with their values.
struct HistoryView {
    struct Reading {
        std::int64_t id = 0;
        std::array<std::string, 9> texts; // date, cycles, Kp, Q, U, A, trips, motor hours, checksum
    };
    std::string note;                                 // what the user should know first, in words
    std::vector<Reading> readings;                    // newest first
    std::vector<std::array<std::string, 4>> periods;  // period, cycles, characteristic number, trips; newest first
    std::vector<ChartSample> monthlyCycles;           // the first day of each month and its cycles
    std::vector<ChartSample> usedShare;               // each reading and its used share, percent
    std::vector<std::array<std::string, 4>> life;     // figure, crane, winch 1, winch 2
    std::string verdict;                              // "Кран: …", one line per mechanism assessed
};

HistoryView historyView(const LifeHistory& history, const DisplayLocale& locale);
// The figures and verdicts of `assessment` into the view (another reading's than the history's newest).
void setLife(HistoryView& view, const LifeAssessment& assessment, const DisplayLocale& locale);

// The figures of the design working period: a caption and the crane's, winch 1's and
// winch 2's texts ("" where a winch has no assessment). The history page and the document share them.
std::vector<std::array<std::string, 4>> lifeRows(const LifeAssessment& assessment, const DisplayLocale& locale);

// The verdicts: "Кран: …", then "Лебедка №1: …" and "Лебедка №2: …" where assessed.
std::vector<std::string> lifeVerdicts(const LifeAssessment& assessment);

} // namespace kestrel
