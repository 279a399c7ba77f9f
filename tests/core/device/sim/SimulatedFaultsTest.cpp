#include "SimulatedRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace kestrel::test {
namespace {

std::vector<std::uint8_t> slice(const MemoryImage& m, std::size_t from, std::size_t count)
{
    return {m.begin() + static_cast<long>(from), m.begin() + static_cast<long>(from + count)};
}

TEST(SimulatedFaults, SdaHeldLowForTheGivenClocksFromPowerUp)
{
    SimulatedFaults faults;
    faults.stuckSdaClocks = 5;
    SimulatedRig rig(faults);

    EXPECT_FALSE(rig.master.sda());
    // No start condition can be made on a held SDA.
    rig.master.sdaLow();
    rig.master.sdaHigh();
    EXPECT_EQ(rig.device.counters.starts, 0);
    for (int pulse = 1; pulse < 5; ++pulse) {
        rig.master.clockPulse();
        EXPECT_FALSE(rig.master.sda()) << "after pulse " << pulse;
    }
    rig.master.clockPulse();
    EXPECT_TRUE(rig.master.sda());
    EXPECT_EQ(rig.device.counters.stops, 0); // let go while SCL was low

    EXPECT_EQ(rig.master.read(0x0020, 4), slice(rig.initial, 0x0020, 4));
}

TEST(SimulatedFaults, ClockIsStretchedWhileTheDeviceIsAddressed)
{
    SimulatedFaults faults;
    faults.clockStretchPolls = 7;
    SimulatedRig rig(faults);

    // Releasing the clock with nobody addressed is not stretched.
    rig.master.sclLow();
    rig.master.sclHigh();
    EXPECT_EQ(rig.master.maxStretchPolls, 0);

    EXPECT_EQ(rig.master.read(0x1234, 40), slice(rig.initial, 0x1234, 40));
    EXPECT_EQ(rig.master.maxStretchPolls, 7);

    // Exactly the given number of status reads see SCL low after a release.
    rig.master.start();
    ASSERT_TRUE(rig.master.writeByte(0xAE));
    rig.master.sdaHigh();
    rig.port.WritePortByte(0x378, 0x00); // release SCL for the first bit
    int lowReads = 0;
    while (!rig.master.scl())
        ++lowReads;
    EXPECT_EQ(lowReads, 7);
    rig.master.sclLow();

    // A stretch is short: a master that pauses instead of polling finds the clock released.
    rig.port.WritePortByte(0x378, 0x00);
    EXPECT_FALSE(rig.master.scl());
    rig.clock.sleepMs(1);
    EXPECT_TRUE(rig.master.scl());
    rig.master.sclLow();
    rig.master.stop();
}

TEST(SimulatedFaults, MissingAcknowledgesFollowTheProbabilityAndTheSeed)
{
    auto acknowledged = [](double probability, std::uint32_t seed) {
        SimulatedFaults faults;
        faults.nackProbability = probability;
        faults.seed = seed;
        SimulatedRig rig(faults);
        std::vector<bool> answers;
        for (int i = 0; i < 400; ++i)
            answers.push_back(rig.master.addressAcknowledged());
        EXPECT_EQ(rig.device.counters.acksWithheld, rig.device.counters.addressNacks);
        return answers;
    };
    const auto half = acknowledged(0.5, 7);
    const auto yes = std::count(half.begin(), half.end(), true);
    EXPECT_GT(yes, 140);
    EXPECT_LT(yes, 260);
    EXPECT_EQ(acknowledged(0.5, 7), half); // the same seed repeats the run
    EXPECT_NE(acknowledged(0.5, 8), half);
    const auto never = acknowledged(1.0, 1);
    EXPECT_EQ(std::count(never.begin(), never.end(), true), 0);
    const auto always = acknowledged(0.0, 1);
    EXPECT_EQ(std::count(always.begin(), always.end(), true), 400);
}

TEST(SimulatedFaults, RefusedDataByteIsNotWrittenButTheBytesBeforeItAre)
{
    // Find a seed whose acknowledges go: address, high, low, data, data, then a missing one.
    SimulatedFaults faults;
    faults.nackProbability = 0.3;
    for (faults.seed = 1;; ++faults.seed) {
        std::mt19937 random(faults.seed);
        bool pattern = true;
        for (int i = 0; i < 6; ++i) {
            const bool dropped = static_cast<double>(random()) / 4294967296.0 < faults.nackProbability;
            pattern = pattern && dropped == (i == 5);
        }
        if (pattern)
            break;
    }
    SimulatedRig rig(faults);
    EXPECT_FALSE(rig.master.write(0x0700, {0x01, 0x02, 0x03}));
    EXPECT_EQ(rig.device.memory()[0x0700], 0x01);
    EXPECT_EQ(rig.device.memory()[0x0701], 0x02);
    EXPECT_EQ(rig.device.memory()[0x0702], rig.initial[0x0702]);
    EXPECT_EQ(rig.device.counters.pagesWritten, 1);
}

TEST(SimulatedFaults, DeviceDisconnectsAfterTheGivenBytes)
{
    SimulatedFaults faults;
    faults.disconnectAfterBytes = 6; // 0xAE, two address bytes, 0xAF, two data bytes
    SimulatedRig rig(faults);

    ASSERT_TRUE(rig.master.setAddress(0x0040));
    rig.master.start();
    ASSERT_TRUE(rig.master.writeByte(0xAF));
    EXPECT_EQ(rig.master.readByte(true), rig.initial[0x0040]);
    EXPECT_EQ(rig.master.readByte(true), rig.initial[0x0041]);
    EXPECT_EQ(rig.master.readByte(true), 0xFF);
    EXPECT_EQ(rig.master.readByte(false), 0xFF);
    rig.master.stop();
    EXPECT_TRUE(rig.device.disconnected());

    EXPECT_FALSE(rig.master.addressAcknowledged());
    EXPECT_TRUE(rig.master.sda());
    EXPECT_TRUE(rig.master.scl());
}

TEST(SimulatedFaults, DisconnectDuringAPageLosesThatPage)
{
    SimulatedFaults faults;
    faults.disconnectAfterBytes = 4; // 0xAE, two address bytes, one data byte
    SimulatedRig rig(faults);
    EXPECT_FALSE(rig.master.write(0x0080, {0x55, 0x66}));
    rig.waitWriteCycle();
    EXPECT_EQ(slice(rig.device.memory(), 0x0080, 2), slice(rig.initial, 0x0080, 2));
}

TEST(SimulatedFaults, OneSentByteHasABitFlipped)
{
    SimulatedFaults faults;
    faults.flipBitAtByte = 2;
    SimulatedRig rig(faults);
    auto expected = slice(rig.initial, 0x0300, 5);
    expected[2] ^= 0x01;
    EXPECT_EQ(rig.master.read(0x0300, 5), expected);
    // Only that one byte: reading again gives the true memory.
    EXPECT_EQ(rig.master.read(0x0300, 5), slice(rig.initial, 0x0300, 5));
    EXPECT_EQ(rig.device.memory()[0x0302], rig.initial[0x0302]);
}

} // namespace
} // namespace kestrel::test
