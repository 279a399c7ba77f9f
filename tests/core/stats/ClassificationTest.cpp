#include "core/stats/Classification.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace kestrel {
namespace {

constexpr DateTime kStart = 40000.0;
constexpr std::int32_t kMaxCounter = (1 << 24) - 1;

// A previous computation's leftovers, to see which fields a failing run replaces.
StatisticsBlocks withStaleResults()
{
    StatisticsBlocks blocks{};
    for (LoadStatistics& b : blocks) {
        b.characteristicNumber = 99.0f;
        b.coefficient = 99.0f;
        b.loadClass = 9;
        b.usageClass = 9;
        b.group = 9;
        b.totalCycles = 99;
        b.liftedMass = 99.0f;
    }
    return blocks;
}

TEST(Classification, LoadClassThresholdsBelongToTheHigherClass)
{
    EXPECT_EQ(loadClassOf(0.0f), 1);
    EXPECT_EQ(loadClassOf(std::nextafter(0.125f, 0.0f)), 1);
    EXPECT_EQ(loadClassOf(0.125f), 2);
    EXPECT_EQ(loadClassOf(std::nextafter(0.25f, 0.0f)), 2);
    EXPECT_EQ(loadClassOf(0.25f), 3);
    EXPECT_EQ(loadClassOf(std::nextafter(0.5f, 0.0f)), 3);
    EXPECT_EQ(loadClassOf(0.5f), 4);
    EXPECT_EQ(loadClassOf(1.0f), 4);
    EXPECT_EQ(loadClassOf(1.3f), 4);
}

TEST(Classification, UsageClassThresholdsBelongToTheHigherClass)
{
    const std::int64_t thresholds[] = {16'000, 32'000, 63'000, 125'000, 250'000, 500'000, 1'000'000, 2'000'000, 4'000'000};
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(usageClassOf(thresholds[k] - 1), k) << thresholds[k];
        EXPECT_EQ(usageClassOf(thresholds[k]), k + 1) << thresholds[k];
    }
    EXPECT_EQ(usageClassOf(-5), 0);
    EXPECT_EQ(usageClassOf(2'147'483'647), 9);
}

TEST(Classification, GroupTable)
{
    const int table[4][10] = {{1, 1, 1, 2, 3, 4, 5, 6, 7, 8}, {1, 1, 2, 3, 4, 5, 6, 7, 8, 8},
        {1, 2, 3, 4, 5, 6, 7, 8, 8, 8}, {2, 3, 4, 5, 6, 7, 8, 8, 8, 8}};
    for (int load = 1; load <= 4; ++load)
        for (int usage = 0; usage <= 9; ++usage)
            EXPECT_EQ(groupOf(load, usage), table[load - 1][usage]) << load << "/" << usage;
}

TEST(Classification, EmptySpectraGiveTheLowestClasses)
{
    StatisticsBlocks blocks = withStaleResults();
    blocks[kWinch1].capacity = 10.0f;
    blocks[kCrane].motorHours = 1.5f;
    blocks[kCrane].limiterTrips = 4;
    classify(blocks, kStart, kStart + 100.0, 20);
    for (const LoadStatistics& b : blocks) {
        EXPECT_EQ(b.totalCycles, 0);
        EXPECT_EQ(b.characteristicNumber, 0.0f);
        EXPECT_EQ(b.coefficient, 0.0f);
        EXPECT_EQ(b.liftedMass, 0.0f);
        EXPECT_EQ(b.loadClass, 1);
        EXPECT_EQ(b.usageClass, 0);
        EXPECT_EQ(b.group, 1);
    }
    EXPECT_EQ(blocks[kCrane].motorHours, 1.5f); // set by decoding, not here
    EXPECT_EQ(blocks[kCrane].limiterTrips, 4);
}

TEST(Classification, CoefficientsAtClassBoundaries)
{
    StatisticsBlocks blocks{};
    blocks[kWinch1].spectrum[49] = 8; // load 50 %: (0.5)^3 = 0.125 exactly
    blocks[kWinch2].spectrum[49] = 4; // 4 × 0.125 + 3 × 1.0 over 7 cycles = 0.5
    blocks[kWinch2].spectrum[99] = 3;
    blocks[kCrane].spectrum[109] = 2; // load 110 %: 1.331
    classify(blocks, kStart, kStart + 365.25, 1);
    EXPECT_EQ(blocks[kWinch1].coefficient, 0.125f);
    EXPECT_EQ(blocks[kWinch1].loadClass, 2);
    EXPECT_EQ(blocks[kWinch2].coefficient, 0.5f);
    EXPECT_EQ(blocks[kWinch2].loadClass, 4);
    EXPECT_EQ(blocks[kCrane].coefficient, 1.331f);
    EXPECT_EQ(blocks[kCrane].loadClass, 4);
}

TEST(Classification, SumsAndMassesAreRoundedToFloatAfterEveryAddition)
{
    StatisticsBlocks blocks{};
    blocks[kWinch1].capacity = 10.0f;
    blocks[kWinch1].spectrum[0] = 3;
    blocks[kWinch1].spectrum[49] = 2;
    blocks[kWinch1].spectrum[99] = 1;
    blocks[kWinch2].capacity = 0.0f; // no capacity: no mass, not an error
    blocks[kWinch2].spectrum[99] = 5;
    // Crane counts lie far from both winches; its mass is still theirs.
    blocks[kCrane].spectrum[99] = kMaxCounter;
    blocks[kCrane].spectrum[100] = 1;
    blocks[kCrane].spectrum[101] = 1;
    blocks[kCrane].spectrum[102] = 1;
    classify(blocks, kStart, kStart + 365.25, 1);

    float characteristic = 0.0f;
    characteristic = static_cast<float>(characteristic + 3 * static_cast<double>(static_cast<float>(1e-6)));
    characteristic = static_cast<float>(characteristic + 2 * 0.125);
    characteristic = static_cast<float>(characteristic + 1.0);
    EXPECT_EQ(blocks[kWinch1].characteristicNumber, characteristic);
    float loadSum = 0.0f;
    loadSum = static_cast<float>(loadSum + 0.01 * 3);
    loadSum = static_cast<float>(loadSum + 0.5 * 2);
    loadSum = static_cast<float>(loadSum + 1.0);
    EXPECT_EQ(blocks[kWinch1].liftedMass, 10.0f * loadSum);
    EXPECT_EQ(blocks[kWinch2].liftedMass, 0.0f);
    EXPECT_EQ(blocks[kCrane].liftedMass, blocks[kWinch1].liftedMass);

    // 16777215 + 1.030301 + 1.061208 + 1.092727: rounding every step ends at 16777220,
    // rounding only the exact total would give 16777218.
    EXPECT_EQ(blocks[kCrane].totalCycles, kMaxCounter + 3);
    EXPECT_EQ(blocks[kCrane].characteristicNumber, 16777220.0f);
    EXPECT_EQ(blocks[kCrane].coefficient, std::nextafter(1.0f, 2.0f));
}

TEST(Classification, ProjectedCyclesOverTheServiceLife)
{
    const auto usageFor = [](std::int32_t total, double elapsed, int life) {
        StatisticsBlocks blocks{};
        blocks[kCrane].spectrum[0] = total;
        classify(blocks, kStart, kStart + elapsed, life);
        return blocks[kCrane];
    };
    EXPECT_EQ(usageFor(15'999, 365.25, 1).usageClass, 0);
    EXPECT_EQ(usageFor(16'000, 365.25, 1).usageClass, 1);
    EXPECT_EQ(usageFor(1'000, 365.25 / 16, 1).usageClass, 1); // 1 000 in a sixteenth of the life
    const LoadStatistics top = usageFor(4'000'000, 1461.0, 4);
    EXPECT_EQ(top.usageClass, 9);
    EXPECT_EQ(top.group, 8);
    // Reading time before the period start: negative projection, not an error.
    const LoadStatistics backwards = usageFor(50'000, -10.0, 20);
    EXPECT_EQ(backwards.usageClass, 0);
    EXPECT_EQ(backwards.group, 1);
}

TEST(Classification, FailureKeepsEarlierStepsAndLeavesLaterFieldsAlone)
{
    for (const double elapsed : {0.0, -0.0, 1e-9, std::nan("")}) {
        StatisticsBlocks blocks = withStaleResults();
        blocks[kWinch1].capacity = 2.0f;
        blocks[kWinch1].spectrum[49] = 8;
        blocks[kCrane].spectrum[49] = 8;
        try {
            classify(blocks, kStart, kStart + elapsed, 25);
            ADD_FAILURE() << "no failure for elapsed " << elapsed;
        } catch (const ArithmeticFailure& e) {
            EXPECT_EQ(std::string(e.what()), kClassificationFailureMessage);
        }
        EXPECT_EQ(blocks[kWinch1].totalCycles, 8);
        EXPECT_EQ(blocks[kWinch1].characteristicNumber, 1.0f);
        EXPECT_EQ(blocks[kWinch1].liftedMass, 8.0f);
        EXPECT_EQ(blocks[kCrane].liftedMass, 8.0f);
        EXPECT_EQ(blocks[kWinch2].coefficient, 0.0f);
        EXPECT_EQ(blocks[kCrane].loadClass, 2);
        for (const LoadStatistics& b : blocks) {
            EXPECT_EQ(b.usageClass, 9);
            EXPECT_EQ(b.group, 9);
        }
    }
}

TEST(Classification, TotalThatNoInt32HoldsFailsBeforeAnyField)
{
    StatisticsBlocks blocks = withStaleResults();
    blocks[kWinch1].spectrum.fill(kMaxCounter); // 170 × (2^24 − 1) > 2^31 − 1
    EXPECT_THROW(classify(blocks, kStart, kStart + 365.25, 1), ArithmeticFailure);
    EXPECT_EQ(blocks[kWinch1].totalCycles, 99);
    EXPECT_EQ(blocks[kWinch2].characteristicNumber, 99.0f);

    blocks[kWinch1].spectrum.fill(0);
    for (std::size_t i = 0; i < 127; ++i) // 2 130 706 305 still fits
        blocks[kWinch1].spectrum[i] = kMaxCounter;
    classify(blocks, kStart, kStart + 3650.0 * 20, 1);
    EXPECT_EQ(blocks[kWinch1].totalCycles, 127 * kMaxCounter);
}

} // namespace
} // namespace kestrel
