#include "core/stats/Classification.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace kestrel {

namespace {

constexpr std::array<float, 4> kLoadClassThresholds = {0.125f, 0.25f, 0.5f, 1.0f};
constexpr std::array<std::int64_t, 9> kUsageClassThresholds = {
    16'000, 32'000, 63'000, 125'000, 250'000, 500'000, 1'000'000, 2'000'000, 4'000'000};

constexpr double kDaysPerYear = 365.25;

[[noreturn]] void fail() { throw ArithmeticFailure(kClassificationFailureMessage); }

// One single-precision accumulation step: exact in double, then rounded once to float.
float addRounded(float sum, double term) { return static_cast<float>(static_cast<double>(sum) + term); }

std::int32_t toInt32OrFail(std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        fail();
    return static_cast<std::int32_t>(value);
}

struct Sums {
    std::array<float, 3> characteristicNumber{};
    std::array<std::int32_t, 3> totalCycles{};
    std::array<float, 2> loadSum{}; // winches only
};

// The one pass over the buckets. Nothing is stored until every total is known to fit.
Sums computeSums(const StatisticsBlocks& blocks)
{
    std::array<float, 3> characteristic{};
    std::array<std::int64_t, 3> total{};
    std::array<float, 2> loadSum{};
    for (int i = 1; i <= static_cast<int>(layout::kSpectrumBuckets); ++i) {
        const auto bucket = static_cast<std::size_t>(i - 1);
        const float w = static_cast<float>(static_cast<double>(i) * i * i * 1e-6);
        for (std::size_t m = 0; m < blocks.size(); ++m) {
            const std::int32_t n = blocks[m].spectrum[bucket];
            characteristic[m] = addRounded(characteristic[m], static_cast<double>(n) * static_cast<double>(w));
            total[m] += n;
            if (m != kCrane)
                loadSum[m] = addRounded(loadSum[m], (i * 0.01) * static_cast<double>(n));
        }
    }
    Sums sums;
    sums.characteristicNumber = characteristic;
    sums.loadSum = loadSum;
    for (std::size_t m = 0; m < blocks.size(); ++m)
        sums.totalCycles[m] = toInt32OrFail(total[m]);
    return sums;
}

std::int32_t projectedCycles(std::int32_t totalCycles, double elapsedDays, double factor)
{
    // A zero period has no rate; the quotient would be infinite or undefined.
    if (elapsedDays == 0.0)
        fail();
    const double projected = std::trunc(static_cast<double>(totalCycles) / elapsedDays * factor);
    // Checked before conversion: converting a non-finite or out-of-range value is undefined.
    if (!std::isfinite(projected) || projected < static_cast<double>(std::numeric_limits<std::int32_t>::min())
        || projected > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        fail();
    return static_cast<std::int32_t>(projected);
}

} // namespace

int loadClassOf(float coefficient)
{
    int passed = 0;
    for (float threshold : kLoadClassThresholds) {
        if (coefficient < threshold)
            break;
        ++passed;
    }
    return std::min(passed + 1, 4);
}

int usageClassOf(std::int64_t projectedCycles)
{
    int passed = 0;
    for (std::int64_t threshold : kUsageClassThresholds) {
        if (projectedCycles < threshold)
            break;
        ++passed;
    }
    return passed;
}

int groupOf(int loadClass, int usageClass) { return std::clamp(loadClass + usageClass - 2, 1, 8); }

void classifyLoads(StatisticsBlocks& blocks)
{
    const Sums sums = computeSums(blocks);
    for (std::size_t m = 0; m < blocks.size(); ++m) {
        blocks[m].characteristicNumber = sums.characteristicNumber[m];
        blocks[m].totalCycles = sums.totalCycles[m];
    }

    for (std::size_t m : {kWinch1, kWinch2}) {
        LoadStatistics& winch = blocks[m];
        winch.liftedMass = winch.capacity != 0.0f ? winch.capacity * sums.loadSum[m] : 0.0f;
    }
    blocks[kCrane].liftedMass = blocks[kWinch1].liftedMass + blocks[kWinch2].liftedMass;

    for (LoadStatistics& block : blocks) {
        block.coefficient = block.totalCycles != 0
            ? static_cast<float>(static_cast<double>(block.characteristicNumber) / block.totalCycles)
            : 0.0f;
    }

    for (LoadStatistics& block : blocks)
        block.loadClass = loadClassOf(block.coefficient);
}

void classifyUsage(StatisticsBlocks& blocks, DateTime periodStart, DateTime periodEnd, int serviceLifeYears)
{
    const double elapsedDays = periodEnd - periodStart;
    const double factor = serviceLifeYears * kDaysPerYear;

    std::array<std::int32_t, 3> projected{};
    for (std::size_t m = 0; m < blocks.size(); ++m)
        projected[m] = projectedCycles(blocks[m].totalCycles, elapsedDays, factor);

    for (std::size_t m = 0; m < blocks.size(); ++m) {
        blocks[m].usageClass = usageClassOf(projected[m]);
        blocks[m].group = groupOf(blocks[m].loadClass, blocks[m].usageClass);
    }
}

void classify(StatisticsBlocks& blocks, DateTime periodStart, DateTime periodEnd, int serviceLifeYears)
{
    classifyLoads(blocks);
    classifyUsage(blocks, periodStart, periodEnd, serviceLifeYears);
}

} // namespace kestrel
