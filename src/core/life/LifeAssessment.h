#pragma once

#include "core/archive/ReadingArchive.h"
#include "core/image/DateTime.h"
#include "core/life/NormativeLife.h"

#include <optional>
#include <string>

namespace kestrel {

inline constexpr const char* kVerdictWithin = "в пределах расчетного срока службы";
inline constexpr const char* kVerdictNear = "расчетный срок службы близок к исчерпанию";
inline constexpr const char* kVerdictExhausted = "расчетный срок службы исчерпан: требуется специальное обследование";

// The design working period of one mechanism (the crane, or a winch) at a reading.
struct DutyAssessment {
    std::string group;                  // "A5", "M4", or "U5 Q3"; empty when unknown
    std::optional<double> designDuty;   // D; nullopt when unknown or without upper limit
    double recordedDuty = 0.0;          // R, summed over segments
    double yearsRecorded = 0.0;         // y
    double ratePerYear = 0.0;           // r = R / y (0 when y is 0)
    double yearsBeforeRecorder = 0.0;   // b
    double estimatedDutyBefore = 0.0;   // B = 1.5·r·b
    double usedDuty = 0.0;              // U = R + B
    std::optional<double> usedShare;    // U / D
    std::optional<double> remainingDuty; // D − U
    std::optional<double> yearsLeft;    // max(D − U, 0) / r; nullopt also when r is 0
    std::optional<DateTime> exhaustedOn; // reading date + years left
    std::string verdict;                // one of the three, or why there is none
};

// What the assessment of one mechanism starts from.
struct DutyInputs {
    std::optional<double> designDuty; // D
    std::string group;                // where D came from: "A5", "M4", "U5 Q3"
    std::string noDutyReason;         // the verdict when D is unknown or unlimited
    double recordedDuty = 0.0;        // R
    double yearsRecorded = 0.0;       // y; 0 when the dates allow no rate
    double yearsBeforeRecorder = 0.0; // b
    DateTime reading = 0.0;           // the reading the assessment is for; 0 when it names no date
};

// r, B, U, share, remaining, years left and the verdict (below 90 %, from 90 %, from 100 %).
DutyAssessment assessDuty(const DutyInputs& inputs);

// Where the crane's design group (or classes) came from: what the user entered for the
// crane comes before the passport's group, which may be missing or out of date.
enum class GroupSource { None, Passport, User };

// The reading an assessment is of, as the document names it.
struct AssessedReading {
    std::string readingText;    // "dd.MM.yyyy hh:mm"; empty when the stamp names no date
    std::string recorderType;
    std::string recorderNumber;
    int readings = 0;           // how many readings of the recorder it rests on
};

struct LifeAssessment {
    AssessedReading reading;
    GroupSource groupSource = GroupSource::None;
    NormativeLife normative;              // the passport's service life at the reading's date
    DutyAssessment crane;
    std::optional<DutyAssessment> winch1; // present when the winch's design group is known
    std::optional<DutyAssessment> winch2;
};

} // namespace kestrel
