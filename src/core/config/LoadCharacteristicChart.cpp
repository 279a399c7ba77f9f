#include "core/config/LoadCharacteristicChart.h"

#include "core/text/PlatformInteger.h"

#include <algorithm>

namespace kestrel {

std::string notIntegerMessage(const std::string& text) { return "«" + text + "» не является целым числом"; }

void sortByCode(std::vector<LoadChartPoint>& points)
{
    std::stable_sort(points.begin(), points.end(),
        [](const LoadChartPoint& a, const LoadChartPoint& b) { return a.code < b.code; });
}

LoadChart serviceLoadChart(std::span<const VyletRow> rows)
{
    LoadChart chart;
    for (const VyletRow& row : rows) {
        const auto code = platformStrToInt(row[1]);
        if (!code) {
            chart.error = notIntegerMessage(row[1]);
            break;
        }
        const auto load = platformStrToInt(row[2]);
        if (!load) {
            chart.error = notIntegerMessage(row[2]);
            break;
        }
        if (*code != 0)
            chart.points.push_back({*code, *load, row[0]});
    }
    sortByCode(chart.points);
    return chart;
}

} // namespace kestrel
