// A recorder's history from its readings: segments after an erasure, periods, months,
// and the assessment summed over segments.
#include "core/demo/DemoHistory.h"
#include "core/demo/DemoImage.h"
#include "core/image/Checksum.h"
#include "core/image/ByteAccess.h"
#include "core/image/Counter24.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/life/DesignDuty.h"
#include "core/life/HistoryView.h"
#include "core/life/LifeHistory.h"

#include <gtest/gtest.h>

#include <limits>
#include <numeric>

using namespace kestrel;

namespace {

std::vector<HistoryInput> inputsOf(const std::vector<MemoryImage>& images)
{
    std::vector<HistoryInput> inputs;
    for (std::size_t k = 0; k < images.size(); ++k)
        inputs.push_back({static_cast<std::int64_t>(k + 1), images[k]});
    return inputs;
}

// The recorder's data erased before this reading: every counter starts again from a tenth.
void eraseBefore(MemoryImage& image)
{
    for (std::size_t i = 0; i < layout::kSpectrumBuckets; ++i)
        for (std::size_t winch : {layout::kWinch1Spectrum, layout::kWinch2Spectrum})
            writeCounter24(image, winch + 3 * i, readCounter24(image, winch + 3 * i) / 10);
    writeCounter24(image, layout::kMotorMinutes, readCounter24(image, layout::kMotorMinutes) / 10);
}

// A crane capacity that is no number: the records of this reading cannot be processed.
void spoilCapacity(MemoryImage& image)
{
    writeFloat(image, layout::kCraneCapacity, std::numeric_limits<float>::quiet_NaN());
    makeChecksumConsistent(image, kDemoChecksumFixOffset);
}

const DisplayLocale kRussian = DisplayLocale::russian();

} // namespace

TEST(LifeHistory, PeriodsMonthsAndUsedShareOfYearlyReadings)
{
    const auto images = makeDemoHistory(1, 4);
    // Given newest first and twice: sorted, and the same visit counted once.
    auto inputs = inputsOf(images);
    std::reverse(inputs.begin(), inputs.end());
    inputs.push_back(inputs.front());
    const LifeHistory history = buildLifeHistory(inputs, {}, kRussian);

    ASSERT_EQ(history.readings.size(), 4u);
    EXPECT_EQ(history.readings.front().id, 1);
    EXPECT_EQ(history.readings.back().id, 4);
    ASSERT_EQ(history.periods.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const auto& earlier = history.readings[k].figures.stats[kCrane];
        const auto& later = history.readings[k + 1].figures.stats[kCrane];
        EXPECT_EQ(history.periods[k].figures.stats[kCrane].totalCycles, later.totalCycles - earlier.totalCycles);
        EXPECT_EQ(history.periods[k].figures.periodStart, history.readings[k].figures.reading);
    }
    // Every cycle lands in some month, once.
    const double monthly = std::accumulate(history.monthlyCycles.begin(), history.monthlyCycles.end(), 0.0,
        [](double sum, const ChartSample& s) { return sum + s.value; });
    EXPECT_NEAR(monthly, history.readings.back().figures.stats[kCrane].totalCycles, 1e-6);
    // The demo crane's passport says А5: the share rises reading by reading.
    ASSERT_EQ(history.usedShare.size(), 4u);
    for (std::size_t k = 1; k < 4; ++k)
        EXPECT_GT(history.usedShare[k].value, history.usedShare[k - 1].value);
    EXPECT_EQ(history.assessment.crane.group, "A5");
    EXPECT_EQ(history.assessment.crane.designDuty, 125000.0);
    EXPECT_FLOAT_EQ(static_cast<float>(history.assessment.crane.recordedDuty),
        history.readings.back().figures.stats[kCrane].characteristicNumber);
    EXPECT_FALSE(history.assessment.winch1);

    const HistoryView view = historyView(history, kRussian);
    ASSERT_EQ(view.readings.size(), 4u);
    EXPECT_EQ(view.readings.front().id, 4); // newest first
    EXPECT_EQ(view.periods.size(), 3u);
    // The passport's service life first, then the crane's duty.
    EXPECT_EQ(view.verdict.substr(view.verdict.find('\n') + 1), std::string("Кран: ") + kVerdictWithin);
}

TEST(LifeHistory, AnErasureStartsANewSegmentAndDutyIsSummedOverSegments)
{
    auto images = makeDemoHistory(2, 3);
    eraseBefore(images[2]);
    const LifeHistory history = buildLifeHistory(inputsOf(images), {"", "", "M5", ""}, kRussian);
    ASSERT_EQ(history.readings.size(), 3u);
    EXPECT_EQ(history.readings[1].segment, 0);
    EXPECT_EQ(history.readings[2].segment, 1);
    EXPECT_EQ(history.periods.size(), 1u); // no period across the erasure
    const double expected = history.readings[1].figures.stats[kCrane].characteristicNumber
        + history.readings[2].figures.stats[kCrane].characteristicNumber;
    EXPECT_NEAR(history.assessment.crane.recordedDuty, expected, 1e-3);
    ASSERT_TRUE(history.assessment.winch1);
    EXPECT_EQ(history.assessment.winch1->group, "M5");
    EXPECT_NEAR(history.assessment.winch1->recordedDuty,
        history.readings[1].figures.stats[kWinch1].characteristicNumber
            + history.readings[2].figures.stats[kWinch1].characteristicNumber,
        1e-3);
    EXPECT_NE(historyView(history, kRussian).note.find("стирались"), std::string::npos);
}

// Damaged readings have no figures: listed in their place by date, marked, and counted
// in the note before what else it says.
TEST(LifeHistory, DamagedReadingsAreListedInTheirPlaceAndCounted)
{
    auto images = makeDemoHistory(2, 3);
    eraseBefore(images[2]);
    const LifeHistory history = buildLifeHistory(inputsOf(images), {}, kRussian);
    const DateTime first = history.readings[0].figures.reading;
    const DateTime second = history.readings[1].figures.reading;
    const std::vector<DamagedReading> damaged{
        {21, (first + second) / 2, "между", "повреждено №21"},
        {22, 0.0, "", "повреждено №22"},                         // no date: oldest
        {23, history.readings[2].figures.reading + 1.0, "позже", "повреждено №23"},
    };
    const HistoryView view = historyView(history, kRussian, damaged);
    std::vector<std::int64_t> ids;
    for (const auto& row : view.readings)
        ids.push_back(row.id);
    EXPECT_EQ(ids, (std::vector<std::int64_t>{23, 3, 2, 21, 1, 22}));
    const auto& marked = view.readings[3];
    EXPECT_TRUE(marked.damaged);
    EXPECT_EQ(marked.texts[0], "между");
    EXPECT_EQ(marked.texts[1], "—");
    EXPECT_EQ(marked.texts[8], kDamagedChecksumText);
    EXPECT_EQ(marked.toolTip, "повреждено №21");
    EXPECT_FALSE(view.readings[1].damaged);
    EXPECT_TRUE(view.readings[1].toolTip.empty());
    EXPECT_EQ(view.periods.size(), 1u); // damaged readings make no period
    EXPECT_EQ(view.note.rfind("Поврежденных считываний в архиве: 3.", 0), 0u) << view.note;
    EXPECT_NE(view.note.find("\nДанные регистратора стирались"), std::string::npos) << view.note;
}

// A reading whose records cannot be processed is no erasure and no duty: it is listed,
// marked and counted in the note, and everything else goes by the readings around it.
TEST(LifeHistory, AReadingThatCannotBeProcessedCountsInNothing)
{
    const auto images = makeDemoHistory(4, 4);
    const LifeHistory good = buildLifeHistory(inputsOf(images), {"", "", "M5", ""}, kRussian);
    auto spoilt = images;
    spoilCapacity(spoilt[2]);
    const LifeHistory history = buildLifeHistory(inputsOf(spoilt), {"", "", "M5", ""}, kRussian);

    ASSERT_EQ(history.readings.size(), 4u);
    EXPECT_FALSE(history.readings[2].figures.dutyKnown);
    for (const HistoryReading& reading : history.readings)
        EXPECT_EQ(reading.segment, 0) << reading.id;
    ASSERT_EQ(history.periods.size(), 2u);
    EXPECT_EQ(history.periods[1].fromId, 2);
    EXPECT_EQ(history.periods[1].toId, 4);
    EXPECT_EQ(history.periods[1].figures.stats[kCrane].totalCycles,
        good.readings[3].figures.stats[kCrane].totalCycles - good.readings[1].figures.stats[kCrane].totalCycles);
    EXPECT_NEAR(history.assessment.crane.recordedDuty, good.assessment.crane.recordedDuty, 1e-6);
    EXPECT_NEAR(history.assessment.winch1->recordedDuty, good.assessment.winch1->recordedDuty, 1e-6);
    EXPECT_EQ(history.assessment.reading.readings, 3);
    EXPECT_EQ(history.usedShare.size(), 3u);

    const HistoryView view = historyView(history, kRussian);
    const auto& marked = view.readings[1]; // newest first
    EXPECT_EQ(marked.id, 3);
    EXPECT_TRUE(marked.dutyUnknown);
    EXPECT_FALSE(marked.damaged);
    EXPECT_EQ(marked.texts[1], "—");
    EXPECT_EQ(marked.toolTip, kDutyUnknownToolTip);
    EXPECT_FALSE(view.readings[0].dutyUnknown);
    EXPECT_EQ(view.note.rfind("Считываний, записи которых не удалось обработать: 1.", 0), 0u) << view.note;
    EXPECT_EQ(view.note.find("стирались"), std::string::npos) << view.note;

    // The newest spoilt: the assessment is that of the newest reading that can be processed.
    auto newestSpoilt = images;
    spoilCapacity(newestSpoilt[3]);
    const LifeAssessment atThird = assessLife(inputsOf(newestSpoilt), {}, kRussian);
    const LifeAssessment third = assessLife(inputsOf({images.begin(), images.begin() + 3}), {}, kRussian);
    EXPECT_NEAR(atThird.crane.recordedDuty, third.crane.recordedDuty, 1e-6);
    EXPECT_EQ(atThird.reading.readingText, third.reading.readingText);

    // None can be processed: no duty is assessed, and the verdict says why.
    auto allSpoilt = images;
    for (MemoryImage& image : allSpoilt)
        spoilCapacity(image);
    const LifeAssessment none = assessLife(inputsOf(allSpoilt), {"", "", "M5", ""}, kRussian);
    EXPECT_FALSE(none.crane.usedShare);
    EXPECT_NE(none.crane.verdict.find("не удалось обработать"), std::string::npos) << none.crane.verdict;
    ASSERT_TRUE(none.winch1);
    EXPECT_FALSE(none.winch1->usedShare);
    EXPECT_EQ(none.reading.readings, 0);
}

TEST(LifeHistory, DesignFromThePassportOrTheUserAndTheYearsBeforeTheRecorder)
{
    MemoryImage image = makeDemoHistory(3, 1).back();
    putFixedText(image, layout::kCraneGroup, 2, "");
    const auto inputs = std::vector<HistoryInput>{{1, image}};
    EXPECT_NE(assessLife(inputs, {}, kRussian).crane.verdict.find("не указана"), std::string::npos);
    EXPECT_EQ(assessLife(inputs, {"A6", "", "", ""}, kRussian).crane.designDuty, 250000.0);
    EXPECT_EQ(assessLife(inputs, {"", "U5 Q3", "", ""}, kRussian).crane.group, "U5 Q3");
    EXPECT_FALSE(assessLife(inputs, {"A8", "", "", ""}, kRussian).crane.designDuty);

    // Made on 1 January of the installation's year: b is the part of that year before it.
    const DateTime installation = readI32(image, layout::kInstallationDay);
    const CalendarDate installed = decodeDate(installation);
    writeI16(image, layout::kCraneYear, static_cast<std::int16_t>(installed.year));
    const LifeAssessment life = assessLife({{1, image}}, {}, kRussian);
    EXPECT_NEAR(life.crane.yearsBeforeRecorder,
        (installation - encodeDateTime(installed.year, 1, 1, 0, 0)) / 365.25, 1e-9);
    EXPECT_NEAR(life.crane.estimatedDutyBefore, 1.5 * life.crane.ratePerYear * life.crane.yearsBeforeRecorder, 1e-6);
    // A crane younger than its recorder's installation has no duty before it.
    writeI16(image, layout::kCraneYear, static_cast<std::int16_t>(installed.year + 1));
    EXPECT_EQ(assessLife({{1, image}}, {}, kRussian).crane.estimatedDutyBefore, 0.0);
}

TEST(LifeHistory, WhatTheUserEnteredComesBeforeThePassportsGroup)
{
    const MemoryImage image = makeDemoHistory(3, 1).back();
    ASSERT_TRUE(craneGroupNumber(fixedText(image, layout::kCraneGroup, 2)));
    const std::vector<HistoryInput> inputs{{1, image}};
    const std::string passport = "A" + std::to_string(*craneGroupNumber(fixedText(image, layout::kCraneGroup, 2)));

    const LifeAssessment fromPassport = assessLife(inputs, {}, kRussian);
    EXPECT_EQ(fromPassport.crane.group, passport);
    EXPECT_EQ(fromPassport.groupSource, GroupSource::Passport);

    const LifeAssessment group = assessLife(inputs, {"A3", "", "", ""}, kRussian);
    EXPECT_EQ(group.crane.group, "A3");
    EXPECT_EQ(group.groupSource, GroupSource::User);
    EXPECT_EQ(group.crane.designDuty, 32000.0);

    // Classes give D exactly, so they come before a group entered with them.
    const LifeAssessment classes = assessLife(inputs, {"A6", "U5 Q2", "", ""}, kRussian);
    EXPECT_EQ(classes.crane.group, "U5 Q2");
    EXPECT_EQ(classes.groupSource, GroupSource::User);
    EXPECT_EQ(classes.crane.designDuty, 125000.0);

    // The table says where the group came from; winch groups are always the user's.
    const auto rows = lifeRows(assessLife(inputs, {"", "", "M4", ""}, kRussian), kRussian);
    EXPECT_EQ(rows[1][0], "Источник расчетной группы");
    EXPECT_EQ(rows[1][1], "паспорт крана");
    EXPECT_EQ(rows[1][2], "пользователь");
    EXPECT_EQ(lifeRows(group, kRussian)[1][1], "пользователь");

    // The assessment names its reading.
    EXPECT_EQ(group.reading.recorderNumber, fixedTextTrimmed(image, layout::kRecorderSerial, 16));
    EXPECT_EQ(group.reading.readings, 1);
    EXPECT_FALSE(group.reading.readingText.empty());
}
