#include "SimulatedRig.h"

#include "core/image/DataFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <vector>

namespace kestrel::test {
namespace {

std::vector<std::uint8_t> slice(const MemoryImage& m, std::size_t from, std::size_t count)
{
    return {m.begin() + static_cast<long>(from), m.begin() + static_cast<long>(from + count)};
}

std::vector<std::uint8_t> pattern(std::size_t count, std::uint8_t first)
{
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

TEST(SimulatedReaderDevice, SequentialReadOfTheWholeMemory)
{
    SimulatedRig rig;
    const auto bytes = rig.master.read(0x0000, kImageSize);
    ASSERT_EQ(bytes.size(), kImageSize);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), rig.initial.begin()));
    EXPECT_EQ(rig.device.counters.bytesSent, static_cast<long>(kImageSize));
    EXPECT_EQ(rig.device.counters.starts, 2); // start, repeated start
    EXPECT_EQ(rig.device.counters.stops, 1);
}

TEST(SimulatedReaderDevice, AddressesWrapAtTheEndOfMemory)
{
    SimulatedRig rig;
    const auto bytes = rig.master.read(0x7FFE, 4);
    const std::vector<std::uint8_t> expected = {rig.initial[0x7FFE], rig.initial[0x7FFF], rig.initial[0], rig.initial[1]};
    EXPECT_EQ(bytes, expected);

    // Bit 15 of the address is not decoded.
    EXPECT_EQ(rig.master.read(0x8005, 3), slice(rig.initial, 0x0005, 3));
}

TEST(SimulatedReaderDevice, CurrentAddressReadGoesOnAfterTheLastByteRead)
{
    SimulatedRig rig;
    EXPECT_EQ(rig.master.read(0x0100, 5), slice(rig.initial, 0x0100, 5));
    EXPECT_EQ(rig.master.readCurrent(3), slice(rig.initial, 0x0105, 3));
}

TEST(SimulatedReaderDevice, WriteAcrossAPageBoundaryAsTwoPages)
{
    SimulatedRig rig;
    const auto data = pattern(37, 0x40);
    // 0x60B..0x61F is the rest of one page, 0x620..0x62F the start of the next.
    ASSERT_TRUE(rig.master.write(0x060B, {data.begin(), data.begin() + 21}));
    rig.waitWriteCycle();
    ASSERT_TRUE(rig.master.write(0x0620, {data.begin() + 21, data.end()}));
    rig.waitWriteCycle();

    EXPECT_EQ(slice(rig.device.memory(), 0x060B, 37), data);
    EXPECT_EQ(rig.device.memory()[0x060A], rig.initial[0x060A]);
    EXPECT_EQ(rig.device.memory()[0x0630], rig.initial[0x0630]);
    EXPECT_EQ(rig.device.counters.pagesWritten, 2);
    EXPECT_EQ(rig.master.read(0x060B, 37), data);
}

TEST(SimulatedReaderDevice, PageWriteRollsOverInsideThePage)
{
    SimulatedRig rig;
    const auto data = pattern(40, 0x80); // 40 bytes from page offset 4
    ASSERT_TRUE(rig.master.write(0x0104, data));
    rig.waitWriteCycle();

    const auto& m = rig.device.memory();
    // Byte k lands at page offset (4 + k) % 32; later bytes overwrite earlier ones.
    for (std::size_t offset = 0; offset < 32; ++offset) {
        const std::size_t last = offset >= 4 ? (offset - 4 < 8 ? offset - 4 + 32 : offset - 4) : offset + 28;
        EXPECT_EQ(m[0x0100 + offset], data[last]) << "offset " << offset;
    }
    EXPECT_EQ(slice(m, 0x0120, 32), slice(rig.initial, 0x0120, 32)); // the next page is untouched
    EXPECT_EQ(rig.device.counters.pagesWritten, 1);
}

TEST(SimulatedReaderDevice, BytesAreCommittedOnlyAtTheStop)
{
    SimulatedRig rig;
    ASSERT_TRUE(rig.master.setAddress(0x0200));
    ASSERT_TRUE(rig.master.writeByte(0x11));
    ASSERT_TRUE(rig.master.writeByte(0x22));
    EXPECT_EQ(rig.device.memory()[0x0200], rig.initial[0x0200]);

    // A repeated start instead of a stop abandons the page.
    rig.master.start();
    ASSERT_TRUE(rig.master.writeByte(0xAF));
    rig.master.readByte(false);
    rig.master.stop();
    EXPECT_EQ(slice(rig.device.memory(), 0x0200, 2), slice(rig.initial, 0x0200, 2));
    EXPECT_EQ(rig.device.counters.pagesWritten, 0);
    EXPECT_FALSE(rig.device.inWriteCycle());

    // Setting an address with no data is no write either.
    ASSERT_TRUE(rig.master.write(0x0300, {}));
    EXPECT_FALSE(rig.device.inWriteCycle());
    EXPECT_TRUE(rig.master.addressAcknowledged());
}

TEST(SimulatedReaderDevice, AddressIsNotAcknowledgedDuringTheWriteCycle)
{
    SimulatedRig rig;
    rig.device.writeCycleMs = 5.0;
    ASSERT_TRUE(rig.master.write(0x0010, {0xA5}));
    EXPECT_TRUE(rig.device.inWriteCycle());
    EXPECT_EQ(rig.device.memory()[0x0010], 0xA5);

    EXPECT_FALSE(rig.master.addressAcknowledged());
    rig.clock.advanceMs(3.0);
    EXPECT_FALSE(rig.master.addressAcknowledged());
    // The read address is refused as well.
    rig.master.start();
    EXPECT_FALSE(rig.master.writeByte(0xAF));
    rig.master.stop();
    EXPECT_EQ(rig.device.counters.addressNacks, 3);

    rig.clock.advanceMs(2.0);
    EXPECT_TRUE(rig.master.addressAcknowledged());
    EXPECT_FALSE(rig.device.inWriteCycle());
    EXPECT_EQ(rig.master.read(0x0010, 1), std::vector<std::uint8_t>{0xA5});
}

TEST(SimulatedReaderDevice, WriteCycleAlsoEndsAfterEnoughRefusedPolls)
{
    // A master on a clock that never moves still sees the cycle end.
    SimulatedRig rig;
    rig.device.writeCycleRefusals = 3;
    ASSERT_TRUE(rig.master.write(0x0010, {0xA5}));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(rig.master.addressAcknowledged());
    EXPECT_TRUE(rig.master.addressAcknowledged());
    EXPECT_FALSE(rig.device.inWriteCycle());

    // The count starts again with the next cycle.
    ASSERT_TRUE(rig.master.write(0x0011, {0x5A}));
    EXPECT_FALSE(rig.master.addressAcknowledged());
    EXPECT_EQ(rig.device.counters.addressNacks, 4);
}

TEST(SimulatedReaderDevice, OtherSlaveAddressesAreIgnored)
{
    SimulatedRig rig;
    for (std::uint8_t address : {0xA0, 0xAC, 0x2E, 0xEE}) {
        rig.master.start();
        EXPECT_FALSE(rig.master.writeByte(address)) << int(address);
        // The device stays off the bus for the rest of the transfer.
        EXPECT_FALSE(rig.master.writeByte(0x00));
        rig.master.stop();
    }
    EXPECT_EQ(rig.device.counters.addressNacks, 0);
    EXPECT_EQ(rig.master.read(0, 2), slice(rig.initial, 0, 2));
}

TEST(SimulatedReaderDevice, BackingFileIsSavedAtTheEndOfEachWriteCycle)
{
    TempDir dir;
    const std::string file = dir.file("reader.bbd");
    {
        SimulatedRig rig;
        rig.device.setBackingFile(file);
        ASSERT_TRUE(rig.master.write(0x0400, {1, 2, 3}));
        EXPECT_FALSE(std::filesystem::exists(file)); // still in the write cycle

        rig.waitWriteCycle();
        rig.device.poll();
        ASSERT_TRUE(std::filesystem::exists(file));
        auto saved = readImageFile(file);
        EXPECT_EQ(slice(saved, 0x0400, 3), (std::vector<std::uint8_t>{1, 2, 3}));
        EXPECT_EQ(slice(saved, 0x0403, 100), slice(rig.initial, 0x0403, 100));
        EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
        EXPECT_EQ(rig.device.counters.fileSaves, 1);

        // A device that goes away during a write cycle still finishes it.
        ASSERT_TRUE(rig.master.write(0x0500, {9}));
    }
    EXPECT_EQ(readImageFile(file)[0x0500], 9);
}

TEST(SimulatedReaderDevice, UnwritableBackingFileIsReportedNotThrown)
{
    TempDir dir;
    SimulatedRig rig;
    rig.device.setBackingFile(dir.file("missing-folder/reader.bbd"));
    ASSERT_TRUE(rig.master.write(0x0400, {1}));
    rig.waitWriteCycle();
    EXPECT_NO_THROW(rig.device.poll());
    EXPECT_FALSE(rig.device.saveError().empty());
    EXPECT_EQ(rig.device.memory()[0x0400], 1);
}

} // namespace
} // namespace kestrel::test
