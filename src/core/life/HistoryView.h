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
        bool damaged = false;             // listed only: its stored bytes failed their check
        bool dutyUnknown = false;         // its records could not be processed: it counts in no figure
        std::string toolTip;              // why, for a damaged reading or one of unknown duty
    };
    std::string note;                                 // what the user should know first, in words
    std::vector<Reading> readings;                    // newest first
    std::vector<std::array<std::string, 4>> periods;  // period, cycles, characteristic number, trips; newest first
    std::vector<ChartSample> monthlyCycles;           // the first day of each month and its cycles
    std::vector<ChartSample> usedShare;               // each reading and its used share, percent
    std::vector<std::array<std::string, 4>> life;     // figure, crane, winch 1, winch 2
    std::string normativeLife;                        // the passport's service life, one line
    std::string verdict;                              // the passport's service life, then "Кран: …" and the winches
    bool verdictAttention = false;                    // something is exhausted or an examination is due
};

// A stored reading of the recorder whose bytes no longer match their SHA-256: it has no
// figures, and the history shows it only so that its absence from them is explained.
struct DamagedReading {
    std::int64_t id = 0;
    DateTime reading = 0.0;  // as listed when it was stored
    std::string readingText; // "dd.MM.yyyy hh:mm", "" when no date
    std::string message;     // the archive's words naming it
};

inline constexpr const char* kDamagedChecksumText = "повреждено";
inline constexpr const char* kDutyUnknownToolTip
    = "Записи считывания не удалось обработать: его циклы и наработка неизвестны, в расчетах оно не учитывается.";

// `damaged` readings are listed in their place by date, marked "повреждено", and counted in the note.
HistoryView historyView(const LifeHistory& history, const DisplayLocale& locale,
    const std::vector<DamagedReading>& damaged = {});
// The figures and verdicts of `assessment` into the view (another reading's than the history's newest).
void setLife(HistoryView& view, const LifeAssessment& assessment, const DisplayLocale& locale);

// The figures of the design working period: a caption and the crane's, winch 1's and
// winch 2's texts ("" where a winch has no assessment). The history page and the document share them.
std::vector<std::array<std::string, 4>> lifeRows(const LifeAssessment& assessment, const DisplayLocale& locale);

// The verdicts: the passport's service life (past it: an expert examination is due),
// "Кран: …", then "Лебедка №1: …" and "Лебедка №2: …" where assessed.
std::vector<std::string> lifeVerdicts(const LifeAssessment& assessment, const DisplayLocale& locale);

// "Нормативный срок службы: 27 лет с 03.09.1996 (ввод в эксплуатацию) до
// 03.09.2023, истек", or what is missing; shown beside the design working period.
std::string normativeLifeText(const NormativeLife& life, const DisplayLocale& locale);

// The passport's service life in one sentence: passed (examination due), when it ends, or why it is unknown.
std::string normativeVerdict(const NormativeLife& life, const DisplayLocale& locale);

// True when the crane has outlived its passport's service life or a mechanism its design duty.
bool needsAttention(const LifeAssessment& assessment);

} // namespace kestrel
