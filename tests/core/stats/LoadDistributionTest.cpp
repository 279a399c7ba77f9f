#include "core/stats/LoadDistribution.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kestrel {
namespace {

DistributionView built(const StatisticsBlocks& blocks, int step)
{
    DistributionView view;
    view.step = step;
    view.shown = {true, true, true};
    showLoadDistribution(blocks, view);
    return view;
}

std::vector<double> xsOf(const std::vector<ChartPoint>& series)
{
    std::vector<double> xs;
    for (const ChartPoint& p : series) {
        EXPECT_EQ(p.label, std::to_string(static_cast<int>(p.x)));
        xs.push_back(p.x);
    }
    return xs;
}

TEST(LoadDistribution, EmptySpectraAtStepTwenty)
{
    const DistributionView view = built(StatisticsBlocks{}, 20);
    ASSERT_EQ(view.lvLoad.size(), 6u);
    EXPECT_EQ(view.lvLoad[0].caption, "1");
    EXPECT_EQ(view.lvLoad[0].subItems, (std::vector<std::string>{"от 1% до 20%", "0", "0", "0"}));
    EXPECT_EQ(view.lvLoad[5].caption, "6");
    EXPECT_EQ(view.lvLoad[5].subItems[0], "от 101% до 120%");
    for (const auto& series : view.series) {
        EXPECT_EQ(xsOf(series), (std::vector<double>{0, 0, 20, 40, 60, 80, 100, 120}));
        for (const ChartPoint& p : series)
            EXPECT_EQ(p.y, 0.0);
    }
    EXPECT_EQ(view.leftAxisMaximum, 0.0);
    EXPECT_EQ(view.shown, (std::array<bool, 3>{true, false, false}));
    EXPECT_FALSE(view.legendVisible);
}

TEST(LoadDistribution, StepOneHasAZonePerPercent)
{
    const DistributionView view = built(StatisticsBlocks{}, 1);
    ASSERT_EQ(view.lvLoad.size(), 120u);
    EXPECT_EQ(view.lvLoad.front().subItems[0], "1%");
    EXPECT_EQ(view.lvLoad.back().caption, "120");
    EXPECT_EQ(view.lvLoad.back().subItems[0], "120%");
    EXPECT_EQ(view.series[0].size(), 122u); // start, one per zone, closing point
    EXPECT_EQ(view.series[0].back().x, 120.0);
}

TEST(LoadDistribution, HighBucketExtendsTheViewAndFillsTheRightColumns)
{
    StatisticsBlocks blocks{};
    blocks[kCrane].spectrum[129] = 7; // load 130 %
    blocks[kWinch1].spectrum[129] = 5;
    blocks[kWinch2].spectrum[129] = 3;
    const DistributionView view = built(blocks, 20);
    ASSERT_EQ(view.lvLoad.size(), 7u);
    EXPECT_EQ(view.lvLoad[6].subItems, (std::vector<std::string>{"от 121% до 140%", "7", "5", "3"}));
    const std::vector<double> heights = {7, 5, 3};
    for (std::size_t k = 0; k < 3; ++k) {
        const auto& s = view.series[k];
        ASSERT_EQ(s.size(), 9u);
        EXPECT_EQ(s[7].x, 120.0);
        EXPECT_EQ(s[7].y, heights[k]);
        EXPECT_EQ(s[8].x, 140.0);
        EXPECT_EQ(s[8].y, heights[k]);
        EXPECT_EQ(s[6].y, 0.0);
    }
    EXPECT_DOUBLE_EQ(view.leftAxisMaximum, 1.1 * 7);
}

TEST(LoadDistribution, TopBucketAtStepsTenAndFive)
{
    StatisticsBlocks blocks{};
    blocks[kWinch2].spectrum[169] = 2;
    DistributionView view = built(blocks, 10);
    ASSERT_EQ(view.lvLoad.size(), 17u);
    EXPECT_EQ(view.lvLoad.back().subItems, (std::vector<std::string>{"от 161% до 170%", "0", "0", "2"}));
    EXPECT_EQ(view.series[2].back().x, 170.0);

    view = built(blocks, 5);
    ASSERT_EQ(view.lvLoad.size(), 34u);
    EXPECT_EQ(view.lvLoad.back().subItems[0], "от 166% до 170%");
}

TEST(LoadDistribution, ZoneUpperBoundIsInclusive)
{
    StatisticsBlocks blocks{};
    blocks[kCrane].spectrum[19] = 11; // 20 %
    blocks[kCrane].spectrum[20] = 13; // 21 %
    const DistributionView view = built(blocks, 20);
    EXPECT_EQ(view.lvLoad[0].subItems[1], "11");
    EXPECT_EQ(view.lvLoad[1].subItems[1], "13");
    EXPECT_EQ(view.series[0][1].y, 11.0); // zone from 0
    EXPECT_EQ(view.series[0][2].y, 13.0); // zone from 20
}

TEST(LoadDistribution, SeriesSelectionSetsAxisAndLegend)
{
    StatisticsBlocks blocks{};
    blocks[kCrane].spectrum[0] = 10;
    blocks[kWinch1].spectrum[0] = 50;
    blocks[kWinch2].spectrum[0] = 30;
    DistributionView view = built(blocks, 20);
    EXPECT_DOUBLE_EQ(view.leftAxisMaximum, 1.1 * 10);

    applySeriesSelection(view, {true, true, false});
    EXPECT_TRUE(view.legendVisible);
    EXPECT_DOUBLE_EQ(view.leftAxisMaximum, 1.1 * 50);

    applySeriesSelection(view, {false, false, true});
    EXPECT_FALSE(view.legendVisible);
    EXPECT_DOUBLE_EQ(view.leftAxisMaximum, 1.1 * 30);

    applySeriesSelection(view, {false, false, false});
    EXPECT_FALSE(view.legendVisible);
    EXPECT_DOUBLE_EQ(view.leftAxisMaximum, 1.1 * 50);

    // Another step rebuilds and goes back to the crane alone.
    applySeriesSelection(view, {true, true, true});
    view.step = 5;
    showLoadDistribution(blocks, view);
    EXPECT_EQ(view.shown, (std::array<bool, 3>{true, false, false}));
    EXPECT_FALSE(view.legendVisible);
    EXPECT_DOUBLE_EQ(view.leftAxisMaximum, 1.1 * 10);
}

TEST(LoadDistribution, RangeTextsAndInvalidStep)
{
    EXPECT_EQ(zoneRangeText(0, 1), "1%");
    EXPECT_EQ(zoneRangeText(119, 1), "120%");
    EXPECT_EQ(zoneRangeText(0, 20), "от 1% до 20%");
    EXPECT_EQ(zoneRangeText(2147483600, 100), "от 2147483601% до 2147483700%");
    DistributionView view;
    view.step = 0;
    EXPECT_THROW(showLoadDistribution(StatisticsBlocks{}, view), std::invalid_argument);
}

} // namespace
} // namespace kestrel
