#include "core/life/LifeAssessment.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

constexpr double kDaysPerYear = 365.25;
// ISO 12482: duty before monitoring began, when nothing is known of it, is counted
// half as heavy again as the rate recorded since.
constexpr double kUnknownHistoryFactor = 1.5;
constexpr double kNearShare = 0.9;

double finiteOrZero(double value) { return std::isfinite(value) ? value : 0.0; }

} // namespace

DutyAssessment assessDuty(const DutyInputs& in)
{
    DutyAssessment duty;
    duty.group = in.group;
    duty.designDuty = in.designDuty;
    duty.recordedDuty = std::max(finiteOrZero(in.recordedDuty), 0.0);
    duty.yearsRecorded = std::max(finiteOrZero(in.yearsRecorded), 0.0);
    duty.ratePerYear = duty.yearsRecorded > 0.0 ? duty.recordedDuty / duty.yearsRecorded : 0.0;
    duty.yearsBeforeRecorder = std::max(finiteOrZero(in.yearsBeforeRecorder), 0.0);
    duty.estimatedDutyBefore = kUnknownHistoryFactor * duty.ratePerYear * duty.yearsBeforeRecorder;
    duty.usedDuty = duty.recordedDuty + duty.estimatedDutyBefore;
    if (!in.designDuty || !(*in.designDuty > 0.0)) {
        duty.designDuty.reset();
        duty.verdict = in.noDutyReason;
        return duty;
    }
    const double design = *in.designDuty;
    duty.usedShare = duty.usedDuty / design;
    duty.remainingDuty = design - duty.usedDuty;
    if (duty.ratePerYear > 0.0) {
        duty.yearsLeft = std::max(design - duty.usedDuty, 0.0) / duty.ratePerYear;
        if (in.reading > 0.0)
            duty.exhaustedOn = in.reading + *duty.yearsLeft * kDaysPerYear;
    }
    if (*duty.usedShare >= 1.0)
        duty.verdict = kVerdictExhausted;
    else if (*duty.usedShare >= kNearShare)
        duty.verdict = kVerdictNear;
    else
        duty.verdict = kVerdictWithin;
    // Without a rate the share is what was recorded, and no date can be foreseen.
    if (duty.ratePerYear <= 0.0 && *duty.usedShare < 1.0)
        duty.verdict += " (срок наблюдения слишком мал для прогноза)";
    return duty;
}

} // namespace kestrel
