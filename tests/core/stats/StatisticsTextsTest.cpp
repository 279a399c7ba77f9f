#include "core/stats/Classification.h"
#include "core/stats/StatisticsTexts.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(StatisticsTexts, RussianLocaleUsesDecimalComma)
{
    StatisticsBlocks blocks{};
    LoadStatistics& crane = blocks[kCrane];
    crane.coefficient = 0.4567f;
    crane.loadClass = 3;
    crane.usageClass = 5;
    crane.group = 6;
    crane.totalCycles = 123456;
    crane.motorHours = 1234.56f;
    crane.characteristicNumber = 98765.432f;
    crane.limiterTrips = 17;
    crane.liftedMass = 4321.06f;
    blocks[kWinch1] = {};
    blocks[kWinch1].coefficient = 1.3f;
    blocks[kWinch1].loadClass = 4;
    blocks[kWinch1].usageClass = 9;
    blocks[kWinch1].group = 8;
    blocks[kWinch1].characteristicNumber = 2.004f;
    blocks[kWinch1].totalCycles = 2;
    blocks[kWinch1].liftedMass = 0.04f;

    const StatisticsView view = statisticsTexts(blocks, DisplayLocale::russian());
    EXPECT_EQ(view.eKp, "0,46");
    EXPECT_EQ(view.eQi, "Q3");
    EXPECT_EQ(view.eUi, "U5");
    EXPECT_EQ(view.eAi, "A6");
    EXPECT_EQ(view.eNcicl, "123456");
    EXPECT_EQ(view.eMoto, "1234,6");
    EXPECT_EQ(view.eKranHar, "98765,43");
    EXPECT_EQ(view.eStop, "17");
    EXPECT_EQ(view.eMass, "4321,1");

    const std::array<std::array<std::string, 2>, 7> expected = {{{"1,30", "0,00"}, {"L4", "L0"}, {"T9", "T0"},
        {"M8", "M0"}, {"2,00", "0,00"}, {"2", "0"}, {"0,0", "0,0"}}};
    EXPECT_EQ(view.lvCommon, expected);
}

TEST(StatisticsTexts, EmptySpectraShowTheLowestClasses)
{
    StatisticsBlocks blocks{};
    classify(blocks, 40000.0, 40001.0, 10);
    const StatisticsView view = statisticsTexts(blocks, DisplayLocale::c());
    EXPECT_EQ(view.eQi + view.eUi + view.eAi, "Q1U0A1");
    EXPECT_EQ(view.eKp, "0.00");
    for (std::size_t column = 0; column < 2; ++column) {
        EXPECT_EQ(view.lvCommon[1][column] + view.lvCommon[2][column] + view.lvCommon[3][column], "L1T0M1");
        EXPECT_EQ(view.lvCommon[6][column], "0.0");
    }
}

} // namespace
} // namespace kestrel
