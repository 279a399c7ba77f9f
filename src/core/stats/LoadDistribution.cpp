#include "core/stats/LoadDistribution.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace kestrel {

namespace {

// The view always covers loads 1..120 %; a non-empty bucket above that extends it.
constexpr std::size_t kMinimumExtent = 120;
constexpr double kAxisHeadroom = 1.1;

std::size_t extentOf(const StatisticsBlocks& blocks)
{
    std::size_t last = kMinimumExtent;
    for (std::size_t k = kMinimumExtent; k < layout::kSpectrumBuckets; ++k)
        for (const LoadStatistics& block : blocks)
            if (block.spectrum[k] != 0)
                last = k + 1;
    return last;
}

// Wide arithmetic keeps any positive step free of overflow.
std::string rangeText(std::int64_t lower, std::int64_t step)
{
    if (step == 1)
        return std::to_string(lower + step) + "%";
    return "от " + std::to_string(lower + 1) + "% до " + std::to_string(lower + step) + "%";
}

ListRow zoneRow(int zone, std::int64_t lower, std::int64_t step)
{
    return ListRow{std::to_string(zone), {rangeText(lower, step), "0", "0", "0"}};
}

void writeCounts(ListRow& row, const std::array<std::int64_t, 3>& sums)
{
    for (std::size_t k = 0; k < sums.size(); ++k)
        row.subItems[k + 1] = std::to_string(sums[k]);
}

void addPoints(DistributionView& view, std::int64_t x, const std::array<std::int64_t, 3>& sums)
{
    for (std::size_t k = 0; k < sums.size(); ++k)
        view.series[k].push_back(
            ChartPoint{static_cast<double>(x), static_cast<double>(sums[k]), std::to_string(x)});
}

// The series' largest Y; an empty series counts as 0, as the chart reports it.
double largestY(const std::vector<ChartPoint>& series)
{
    if (series.empty())
        return 0.0;
    return std::max_element(series.begin(), series.end(), [](const ChartPoint& a, const ChartPoint& b) {
        return a.y < b.y;
    })->y;
}

double largestYAmong(const DistributionView& view, const std::array<bool, 3>& considered)
{
    bool any = false;
    double largest = 0.0;
    for (std::size_t k = 0; k < view.series.size(); ++k) {
        if (!considered[k])
            continue;
        const double y = largestY(view.series[k]);
        largest = any ? std::max(largest, y) : y;
        any = true;
    }
    return largest;
}

} // namespace

std::string zoneRangeText(int lower, int step) { return rangeText(lower, step); }

void showLoadDistribution(const StatisticsBlocks& blocks, DistributionView& view)
{
    if (view.step < 1)
        throw std::invalid_argument("load step must be at least 1");

    const std::size_t last = extentOf(blocks);

    view.lvLoad.clear();
    for (auto& series : view.series)
        series.assign(1, ChartPoint{0.0, 0.0, "0"});

    const std::int64_t step = view.step;
    int zone = 1;
    std::int64_t lower = 0;
    std::array<std::int64_t, 3> sums{};
    view.lvLoad.push_back(zoneRow(zone, lower, step));

    for (std::size_t w = 0; w < last; ++w) {
        if (lower + step < static_cast<std::int64_t>(w) + 1) {
            writeCounts(view.lvLoad.back(), sums);
            addPoints(view, lower, sums);
            ++zone;
            lower += step;
            view.lvLoad.push_back(zoneRow(zone, lower, step));
            sums = {};
        }
        for (std::size_t k = 0; k < sums.size(); ++k)
            sums[k] += blocks[kSeriesMechanisms[k]].spectrum[w];
    }

    writeCounts(view.lvLoad.back(), sums);
    addPoints(view, lower, sums);
    addPoints(view, lower + step, sums); // closes the last zone's step

    const std::array<bool, 3> craneOnly{true, false, false};
    view.shown = craneOnly;
    view.leftAxisMaximum = kAxisHeadroom * largestYAmong(view, craneOnly);
    applySeriesSelection(view, craneOnly);
}

void applySeriesSelection(DistributionView& view, const std::array<bool, 3>& shown)
{
    view.shown = shown;
    const auto checked = std::count(shown.begin(), shown.end(), true);
    const std::array<bool, 3> all{true, true, true};
    view.leftAxisMaximum = kAxisHeadroom * largestYAmong(view, checked == 0 ? all : shown);
    view.legendVisible = checked >= 2;
}

} // namespace kestrel
