#include "OplogTestLog.h"

#include "core/demo/DemoImage.h"
#include "core/oplog/OperationalChart.h"
#include "core/pipeline/Pipeline.h"
#include "core/pipeline/Session.h"
#include "core/records/CycleRecordLookup.h"
#include "core/ui/ScriptedUserInterface.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel {
namespace {

using test::kStampA;
using test::kStampB;
using test::OplogTestLog;
using S = OperationalSeries;

std::vector<std::string> labels(const ChartSeries& s)
{
    std::vector<std::string> out;
    for (const auto& p : s.points)
        out.push_back(p.label);
    return out;
}

std::vector<std::optional<double>> values(const ChartSeries& s)
{
    std::vector<std::optional<double>> out;
    for (const auto& p : s.points)
        out.push_back(p.value);
    return out;
}

using Values = std::vector<std::optional<double>>;
using Labels = std::vector<std::string>;

TEST(OperationalChart, ThreeSamplesThenAnotherSectionGiveFivePoints)
{
    OplogTestLog log;
    log.at(100).mark(kStampA).bytes({0x00, 40, 0x00, 50, 0x01, 30}).mark(kStampB).bytes({0x00, 10});
    log.writePosition(20);

    const OperationalChart chart = showOperationalSection(log.image, kStampA);
    ASSERT_TRUE(chart.found);
    EXPECT_EQ(labels(chart.at(S::Load1)), (Labels{"НЦ", "1", "2", "КЦ", "4"}));
    EXPECT_EQ(values(chart.at(S::Load1)), (Values{40.0, 50.0, 0.0, 0.0, 0.0}));
    EXPECT_EQ(values(chart.at(S::Load2)), (Values{0.0, 0.0, 30.0, 0.0, 0.0}));
    // The service series carries the second itself where there is no event.
    EXPECT_EQ(labels(chart.at(S::Service)), (Labels{"0", "1", "2", "3", "4"}));
    EXPECT_EQ(chart.durationSeconds, 4);
    EXPECT_EQ(chart.title, "Метка времени: 07.12.2026 14:30     Длительность: 0 мин 4 с");
    EXPECT_TRUE(chart.at(S::Load1).checked);
    EXPECT_TRUE(chart.at(S::Load2).checked);
    EXPECT_FALSE(chart.at(S::Service).checked);
    EXPECT_DOUBLE_EQ(chart.largestValue, 50.0);
    // Stopped at the next section's stamp, where "След." looks.
    EXPECT_EQ(chart.stopPosition, 113U);
    for (const auto& s : chart.series)
        EXPECT_EQ(s.points.size(), 5U) << s.title;
}

TEST(OperationalChart, EventSampleChecksItsWinchSoundAndServiceAndScalesTheFractions)
{
    OplogTestLog log;
    // 0x1B: winch 2, relay 1, sound, event "вкл".
    log.at(0).mark(kStampA).bytes({0x1B, 50});

    const OperationalChart chart = showOperationalSection(log.image, kStampA);
    ASSERT_TRUE(chart.found);
    std::vector<bool> checked;
    for (const auto& s : chart.series)
        checked.push_back(s.checked);
    EXPECT_EQ(checked, (std::vector<bool>{false, true, false, true, true, true, false, false, false}));

    const OperationalPoint& bar = chart.at(S::Service).points[0];
    EXPECT_EQ(bar.label, "вкл");
    EXPECT_EQ(bar.color, 0x008000U);
    // Fractions are multiplied by the largest value (50): bar 0.1, relay 0.2, sound 0.15.
    EXPECT_DOUBLE_EQ(*bar.value, 5.0);
    EXPECT_DOUBLE_EQ(*chart.at(S::Relay1).points[0].value, 10.0);
    EXPECT_DOUBLE_EQ(*chart.at(S::Relay2).points[0].value, 0.0);
    EXPECT_DOUBLE_EQ(*chart.at(S::Sound).points[0].value, 7.5);
    EXPECT_FALSE(chart.at(S::Service).points[1].color.has_value());
}

TEST(OperationalChart, FractionsAreScaledToAHundredWhenNoLoadWasRecorded)
{
    OplogTestLog log;
    log.at(0).mark(kStampA).bytes({0x02, 0});
    const OperationalChart chart = showOperationalSection(log.image, kStampA);
    EXPECT_DOUBLE_EQ(*chart.at(S::Relay1).points[0].value, 20.0);
    EXPECT_DOUBLE_EQ(chart.largestValue, 20.0);
}

TEST(OperationalChart, SectionsWithTheSameStampAreOneCycle)
{
    OplogTestLog log;
    log.at(0).mark(kStampA).bytes({0x00, 10}).bytes({0xFF}).mark(kStampA).bytes({0x00, 20}).mark(kStampB);
    const OperationalChart chart = showOperationalSection(log.image, kStampA);
    EXPECT_EQ(labels(chart.at(S::Load1)), (Labels{"НЦ", "КЦ", "2", "НЦ", "КЦ", "5"}));
    EXPECT_EQ(values(chart.at(S::Load1)), (Values{10.0, 0.0, 0.0, 20.0, 0.0, 0.0}));
    EXPECT_EQ(chart.durationSeconds, 5);
}

TEST(OperationalChart, SkippedBytesAdvanceTheTimeWithoutAPoint)
{
    OplogTestLog log;
    log.at(0).mark(kStampA).bytes({0x00, 10, 0x80, 0xFE, 0x00, 20}).mark(kStampB);
    const OperationalChart chart = showOperationalSection(log.image, kStampA);
    EXPECT_EQ(labels(chart.at(S::Load1)), (Labels{"НЦ", "3", "КЦ", "5"}));
    EXPECT_EQ(chart.durationSeconds, 3); // the time axis counts points
}

TEST(OperationalChart, PlainProgramLeavesThresholdAndRelays3And4EmptyAndExtendedFillsThem)
{
    OplogTestLog plain;
    plain.at(0).mark(kStampA).bytes({0x00, 10, 0x00, 20}).mark(kStampB);
    const OperationalChart p = showOperationalSection(plain.image, kStampA);
    for (S s : {S::Threshold, S::Relay3, S::Relay4}) {
        EXPECT_FALSE(p.at(s).checked);
        for (std::size_t i = 0; i < 2; ++i)
            EXPECT_FALSE(p.at(s).points[i].value.has_value());
    }

    OplogTestLog extended(0xFF, true);
    extended.image[layout::kLoadCharacteristic + 2 + 3 * 4] = 80; // zone 4 allows 80 %
    extended.at(0).mark(kStampA).bytes({0x00, 10, 0x34, 0x00, 20, 0x04}).mark(kStampB);
    const OperationalChart e = showOperationalSection(extended.image, kStampA);
    EXPECT_TRUE(e.at(S::Threshold).checked);
    EXPECT_FALSE(e.at(S::Relay3).checked);
    EXPECT_EQ(values(e.at(S::Threshold)), (Values{80.0, 80.0, std::nullopt, std::nullopt}));
    // Relay 3 on in the first sample: 0.2 of the largest value 80.
    EXPECT_EQ(values(e.at(S::Relay3)), (Values{16.0, 0.0, 0.0, 0.0}));
    EXPECT_EQ(values(e.at(S::Load1)), (Values{10.0, 20.0, 0.0, 0.0}));
}

TEST(OperationalChart, SectionAndItsMarkWrapPastTheEndOfTheLog)
{
    OplogTestLog log;
    // The mark starts three bytes before the end: its stamp and the samples continue at 0.
    log.at(kOplogPositions - 3).mark(kStampA).bytes({0x00, 10, 0x00, 20}).mark(kStampB);
    log.writePosition(kOplogPositions - 100);
    const OperationalChart chart = showOperationalSection(log.image, kStampA);
    ASSERT_TRUE(chart.found);
    EXPECT_EQ(values(chart.at(S::Load1)), (Values{10.0, 20.0, 0.0, 0.0}));
}

TEST(OperationalChart, SearchStartsAtTheWritePosition)
{
    OplogTestLog log;
    log.at(10).mark(kStampA).bytes({0x00, 11}).mark(kStampB);
    log.at(500).mark(kStampA).bytes({0x00, 22}).mark(kStampB);
    log.writePosition(300);
    EXPECT_EQ(*showOperationalSection(log.image, kStampA).at(S::Load1).points[0].value, 22.0);
    // A write position outside the log counts as 0.
    log.image[layout::kOplogWritePosition] = 0x10;
    log.image[layout::kOplogWritePosition + 1] = 0x00;
    EXPECT_EQ(*showOperationalSection(log.image, kStampA).at(S::Load1).points[0].value, 11.0);
}

TEST(OperationalChart, MissingStampGivesTheMessageAndAnEmptyChart)
{
    OplogTestLog log;
    log.at(0).mark(kStampB).bytes({0x00, 10});
    const OperationalChart chart = showOperationalSection(log.image, kStampA);
    EXPECT_FALSE(chart.found);
    EXPECT_EQ(chart.message, "Записей с меткой времени <07.12.2026 14:30 > в оперативной памяти не найдено!");
    EXPECT_EQ(chart.pointCount(), 0U);
    EXPECT_EQ(chart.at(S::Load1).title, "Нагрузка 1");
}

TEST(OperationalChart, NextFindsTheFollowingValidStampAndGivesUpAfterOnePass)
{
    OplogTestLog log;
    log.at(0).mark(kStampA).bytes({0x00, 10}).bytes({0xFF, 0x99, 0x99, 0x99, 0x99, 0x99, 0x00, 5})
        .mark(kStampB).bytes({0x01, 30});
    const OperationalChart first = showOperationalSection(log.image, kStampA);
    // The section after A has an invalid stamp: "След." passes over it to B.
    const NextSectionResult next = showNextOperationalSection(log.image, first);
    ASSERT_TRUE(next.found);
    EXPECT_EQ(next.chart.stamp, kStampB);
    EXPECT_EQ(values(next.chart.at(S::Load2)).front(), 30.0);

    OplogTestLog noStamp(0x00);
    noStamp.at(50).bytes({0xFF, 0x99, 0x99, 0x99, 0x99, 0x99});
    const NextSectionResult none = showNextOperationalSection(noStamp.image, first);
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.message, kNoNextSectionMessage);
    EXPECT_EQ(none.chart.stamp, kStampA); // the chart shown stays
}

TEST(OperationalChart, LogsWithoutEndStopAfterOnePass)
{
    // Samples all round: the section never meets a time mark.
    OplogTestLog samples(0x00);
    const OperationalChart chart = showOperationalSectionAt(samples.image, kStampA, 3);
    EXPECT_EQ(chart.pointCount(), kOplogPositions / 2);
    EXPECT_FALSE(showNextOperationalSection(samples.image, chart).found);

    // Only time marks: started there, the show ends within the pass.
    OplogTestLog marks(0xFF);
    const OperationalChart empty = showOperationalSectionAt(marks.image, kStampA, 7);
    EXPECT_EQ(empty.pointCount(), 2U);
    EXPECT_FALSE(showNextOperationalSection(marks.image, empty).found);

    // A log holding one section comes back round to its own mark: no second copy.
    OplogTestLog single;
    single.at(0).mark(kStampA).bytes({0x00, 10});
    EXPECT_EQ(showOperationalSection(single.image, kStampA).pointCount(), 3U);
}

// Every list row that shows the detail icon opens a section with points.
TEST(OperationalChart, DemoRowsWithDetailOpenTheirSections)
{
    for (std::uint32_t seed : {1U, 7U, 42U, 2024U}) {
        Session session;
        session.image = makeDemoImage(seed);
        ScriptedUserInterface ui;
        ASSERT_TRUE(decodeRecords(session, ui));
        int withDetail = 0;
        for (const auto& row : session.cycleRows) {
            if (!row.hasDetail)
                continue;
            ++withDetail;
            const auto record = findCycleRecord(session.image, row.dateText);
            ASSERT_TRUE(record.has_value()) << row.dateText;
            const OperationalChart chart = showOperationalSection(session.image, record->stamp);
            EXPECT_TRUE(chart.found) << "seed " << seed << " " << row.dateText;
            EXPECT_GT(chart.pointCount(), 2U) << "seed " << seed << " " << row.dateText;
        }
        EXPECT_GT(withDetail, 40) << "seed " << seed;
    }
}

} // namespace
} // namespace kestrel
