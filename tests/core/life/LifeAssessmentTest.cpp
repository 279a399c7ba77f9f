// The design working period of one mechanism: the estimate before the recorder, the
// thresholds of the verdict, and no NaN where the dates allow no rate.
#include "core/life/LifeAssessment.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kestrel;

namespace {

DutyInputs inputs(std::optional<double> design, double recorded, double years, double before = 0.0)
{
    return {design, "A5", "нет", recorded, years, before, 45000.0};
}

} // namespace

TEST(LifeAssessment, EstimatesTheDutyBeforeTheRecorderAndWhatIsLeft)
{
    // 10 000 cycles in 4 years; the crane worked 6 years before: 1.5 · 2 500 · 6 = 22 500.
    const DutyAssessment duty = assessDuty(inputs(125000.0, 10000.0, 4.0, 6.0));
    EXPECT_DOUBLE_EQ(duty.ratePerYear, 2500.0);
    EXPECT_DOUBLE_EQ(duty.estimatedDutyBefore, 22500.0);
    EXPECT_DOUBLE_EQ(duty.usedDuty, 32500.0);
    EXPECT_DOUBLE_EQ(*duty.usedShare, 0.26);
    EXPECT_DOUBLE_EQ(*duty.remainingDuty, 92500.0);
    EXPECT_DOUBLE_EQ(*duty.yearsLeft, 37.0);
    EXPECT_DOUBLE_EQ(*duty.exhaustedOn, 45000.0 + 37.0 * 365.25);
    EXPECT_EQ(duty.verdict, kVerdictWithin);
}

TEST(LifeAssessment, VerdictChangesAtNinetyAndAtOneHundredPercent)
{
    EXPECT_EQ(assessDuty(inputs(100000.0, 89999.0, 5.0)).verdict, kVerdictWithin);
    EXPECT_EQ(assessDuty(inputs(100000.0, 90000.0, 5.0)).verdict, kVerdictNear);
    EXPECT_EQ(assessDuty(inputs(100000.0, 99999.0, 5.0)).verdict, kVerdictNear);
    const DutyAssessment exhausted = assessDuty(inputs(100000.0, 100000.0, 5.0));
    EXPECT_EQ(exhausted.verdict, kVerdictExhausted);
    EXPECT_DOUBLE_EQ(*exhausted.yearsLeft, 0.0);
    EXPECT_DOUBLE_EQ(*assessDuty(inputs(100000.0, 120000.0, 5.0)).remainingDuty, -20000.0);
}

TEST(LifeAssessment, NoDesignDutyOrNoRateGivesWordsNotNumbers)
{
    const DutyAssessment unlimited = assessDuty(inputs(std::nullopt, 5000.0, 2.0));
    EXPECT_EQ(unlimited.verdict, "нет");
    EXPECT_FALSE(unlimited.usedShare);
    EXPECT_FALSE(unlimited.yearsLeft);

    // A reading on its installation day (or before it): no rate, no estimate, no forecast.
    for (double years : {0.0, -1.0, std::nan("")}) {
        const DutyAssessment duty = assessDuty(inputs(100000.0, 5000.0, years, 10.0));
        EXPECT_EQ(duty.ratePerYear, 0.0);
        EXPECT_EQ(duty.estimatedDutyBefore, 0.0);
        EXPECT_DOUBLE_EQ(*duty.usedShare, 0.05);
        EXPECT_FALSE(duty.yearsLeft);
        EXPECT_FALSE(duty.exhaustedOn);
        EXPECT_NE(duty.verdict.find(kVerdictWithin), std::string::npos);
    }
}
