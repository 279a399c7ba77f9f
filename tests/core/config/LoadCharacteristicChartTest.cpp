#include "core/config/LoadCharacteristicChart.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kestrel;

namespace {

std::vector<VyletRow> zones(std::initializer_list<std::pair<const char*, const char*>> codesAndLoads)
{
    std::vector<VyletRow> rows;
    for (const auto& [code, load] : codesAndLoads)
        rows.push_back({std::to_string(rows.size()), code, load});
    return rows;
}

std::vector<std::int32_t> codes(const LoadChart& chart)
{
    std::vector<std::int32_t> result;
    for (const LoadChartPoint& point : chart.points)
        result.push_back(point.code);
    return result;
}

} // namespace

TEST(LoadCharacteristicChart, LeavesOutZonesWithoutCodeAndOrdersByCode)
{
    // Codes falling with the zone number: the chart runs from the last zone to the first.
    const LoadChart chart = serviceLoadChart(zones({{"900", "60"}, {"0", "70"}, {"700", "80"}, {"500", "100"}}));
    EXPECT_FALSE(chart.error);
    EXPECT_EQ(codes(chart), (std::vector<std::int32_t>{500, 700, 900}));
    EXPECT_EQ(chart.points.front().label, "3");
    EXPECT_EQ(chart.points.front().load, 100);
    EXPECT_EQ(chart.points.back().label, "0");
}

TEST(LoadCharacteristicChart, StopsAtTheFirstCellThatIsNoInteger)
{
    const LoadChart badCode = serviceLoadChart(zones({{"100", "90"}, {"abc", "80"}, {"300", "70"}}));
    EXPECT_EQ(codes(badCode), (std::vector<std::int32_t>{100}));
    EXPECT_EQ(badCode.error, "«abc» не является целым числом");

    // A bad load stops the chart even where the zone has no code.
    const LoadChart badLoad = serviceLoadChart(zones({{"100", "90"}, {"0", ""}, {"300", "70"}}));
    EXPECT_EQ(codes(badLoad), (std::vector<std::int32_t>{100}));
    EXPECT_EQ(badLoad.error, "«» не является целым числом");
}
