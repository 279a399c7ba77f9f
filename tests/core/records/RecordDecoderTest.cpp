#include "core/records/CycleListTexts.h"
#include "core/records/RecordDecoder.h"
#include "core/text/DisplayLocale.h"
#include "support/ImageBuilder.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kestrel {
namespace {

using test::ImageBuilder;
using namespace layout;

struct Decoded {
    StatisticsBlocks blocks{};
    CycleRows rows{};
};

Decoded decode(const MemoryImage& image)
{
    Decoded d;
    decodeImage(image, d.blocks, d.rows);
    return d;
}

TEST(RecordDecoder, ZeroImageFailsAtTheCraneSpectrumAfterTheCounters)
{
    ImageBuilder b;
    Decoded d;
    d.blocks[kWinch1].spectrum[50] = 7;
    d.blocks[kCrane].motorHours = 3.0f;
    d.rows[0].dateText = "kept";
    EXPECT_THROW(decodeImage(b.image, d.blocks, d.rows), DecodingFailure);
    EXPECT_EQ(d.blocks[kCrane].motorHours, 0.0f);
    EXPECT_EQ(d.blocks[kCrane].limiterTrips, 0);
    EXPECT_EQ(d.blocks[kWinch1].spectrum[50], 0);
    EXPECT_EQ(d.rows[0].dateText, "kept"); // rows come after the failing step
}

TEST(RecordDecoder, NonFiniteCapacitiesFailInsteadOfConverting)
{
    for (float crane : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1e-30f}) {
        ImageBuilder b;
        b.capacities(crane, 3e38f, 5.0f);
        Decoded d;
        EXPECT_THROW(decodeImage(b.image, d.blocks, d.rows), DecodingFailure) << crane;
    }
}

TEST(RecordDecoder, CycleStartClearsLowBuckets)
{
    ImageBuilder b;
    b.capacities(10.0f, 10.0f, 10.0f).bucket(1, 5, 11).bucket(2, 9, 12).bucket(1, 10, 13);
    b.i16(kCycleStartThreshold, 10);
    auto d = decode(b.image);
    EXPECT_EQ(d.blocks[kWinch1].spectrum[5], 0);
    EXPECT_EQ(d.blocks[kWinch2].spectrum[9], 0);
    EXPECT_EQ(d.blocks[kWinch1].spectrum[10], 13);

    b.i16(kCycleStartThreshold, -3);
    d = decode(b.image);
    EXPECT_EQ(d.blocks[kWinch1].spectrum[5], 11);
    EXPECT_EQ(d.blocks[kWinch2].spectrum[9], 12);
}

TEST(RecordDecoder, CraneSpectrumFoldsEachWinchBucketUpwards)
{
    ImageBuilder b;
    b.capacities(10.0f, 5.0f, 20.0f).bucket(1, 3, 4).bucket(1, 169, 5).bucket(2, 100, 6).bucket(2, 10, 1);
    const auto d = decode(b.image);
    const auto& crane = d.blocks[kCrane].spectrum;
    EXPECT_EQ(crane[2], 4);   // ceil(3 * 0.5)
    EXPECT_EQ(crane[85], 5);  // ceil(169 * 0.5)
    EXPECT_EQ(crane[169], 6); // 100 * 2 is beyond the last bucket
    EXPECT_EQ(crane[20], 1);
    const auto total = [](const Spectrum& s) { return std::accumulate(s.begin(), s.end(), 0); };
    EXPECT_EQ(total(crane), total(d.blocks[kWinch1].spectrum) + total(d.blocks[kWinch2].spectrum));
}

TEST(RecordDecoder, MotorHoursAreWholeTenths)
{
    for (auto [minutes, hours] : {std::pair{59u, 0.9f}, {60u, 1.0f}, {65u, 1.0f}, {0u, 0.0f}}) {
        ImageBuilder b;
        b.capacities(10.0f, 10.0f, 10.0f).counter(kMotorMinutes, minutes).counter(kLimiterTrips, 42);
        const auto d = decode(b.image);
        EXPECT_FLOAT_EQ(d.blocks[kCrane].motorHours, hours) << minutes;
        EXPECT_EQ(d.blocks[kCrane].limiterTrips, 42);
    }
}

TEST(RecordDecoder, RingsReadNewestFirstWithStateTexts)
{
    ImageBuilder b;
    b.capacities(10.0f, 10.0f, 10.0f);
    b.byte(kCycleRingIndex, 0).byte(kTripRingIndex, 5);
    b.record(kCycleRing, 31, 30, 14, 7, 12, 26, 50, 20, 0x13);
    b.record(kCycleRing, 0, 0, 8, 1, 12, 26, 10, 0, 0x04);
    b.record(kTripRing, 4, 15, 9, 2, 12, 26, 110, 0, 0x04);
    const auto d = decode(b.image);
    EXPECT_EQ(d.rows[0].dateText, "07.12.2026 14:30 ");
    EXPECT_EQ(d.rows[0].winch1Load, 50);
    EXPECT_EQ(d.rows[0].stateText, "Стоп(Л1) Стоп(Л2)Стоп(Д2)");
    EXPECT_EQ(d.rows[31].dateText, "01.12.2026 08:00 ");
    EXPECT_EQ(d.rows[31].stateText, "Служ. режим");
    EXPECT_EQ(d.rows[1].dateText, ""); // slot 30 is empty
    EXPECT_EQ(d.rows[32].dateText, "02.12.2026 09:15 ");
    EXPECT_EQ(d.rows[32].stateText, ""); // service mode is not shown for trips
}

TEST(RecordDecoder, DetailFlagFollowsTimeMarks)
{
    ImageBuilder b;
    b.capacities(10.0f, 10.0f, 10.0f).byte(kCycleRingIndex, 2);
    b.record(kCycleRing, 1, 30, 14, 7, 12, 26, 50, 20, 0);
    b.record(kCycleRing, 0, 31, 14, 7, 12, 26, 50, 20, 0);
    b.byte(0x2000, 0xFF).byte(0x2001, 0xFF).stamp(0x2002, 30, 14, 7, 12, 26);
    const auto d = decode(b.image);
    EXPECT_TRUE(d.rows[0].hasDetail);
    EXPECT_FALSE(d.rows[1].hasDetail);
    EXPECT_FALSE(d.rows[2].hasDetail); // empty slot
}

TEST(CycleListTexts, EmptyRowAndMassFormats)
{
    const auto ru = DisplayLocale::russian();
    const auto empty = cycleListRow(CycleViewRow{}, 10.0f, 10.0f, true, ru);
    EXPECT_EQ(empty.caption, "");
    EXPECT_EQ(empty.subItems[0], "0%");
    EXPECT_EQ(empty.subItems[1], "0%");
    EXPECT_EQ(empty.subItems[2], "0,00 т");
    EXPECT_EQ(empty.icon, kIconNone);
    EXPECT_EQ(empty.stateIcon, kIconNone);

    CycleViewRow row{50, 20, "07.12.2026 14:30 ", "Стоп(Л1) Служ. режим", true};
    const auto last = cycleListRow(row, 10.0f, 5.0f, true, DisplayLocale::c());
    EXPECT_EQ(last.subItems[2], "6.0 т"); // (50*10 + 20*5) * 0.01
    EXPECT_EQ(last.icon, kIconService);    // service wins over stop
    EXPECT_EQ(last.stateIcon, kIconDetail);
    row.stateText = "Стоп(Д3)";
    EXPECT_EQ(cycleListRow(row, 10.0f, 5.0f, true, ru).icon, kIconStop);
    EXPECT_EQ(cycleListRow(row, 10.0f, 5.0f, false, ru).icon, kIconNone);
    EXPECT_EQ(cycleMassText(1.0, ru), "1,00 т");
    EXPECT_EQ(cycleMassText(1.04, ru), "1,0 т");
}

} // namespace
} // namespace kestrel
