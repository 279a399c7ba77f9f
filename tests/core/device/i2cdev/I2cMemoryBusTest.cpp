#include "core/device/FakeClock.h"
#include "core/device/i2cdev/I2cMemoryBus.h"
#include "core/device/i2cdev/SimulatedI2cAdapter.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <vector>

namespace kestrel {
namespace {

constexpr const char* kPath = "/dev/i2c-7";

MemoryImage patterned()
{
    MemoryImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((i * 7 + (i >> 8)) & 0xFF);
    return image;
}

I2cSimSelection on(AdapterKind profile)
{
    I2cSimSelection selection;
    selection.profile = profile;
    return selection;
}

struct Rig {
    explicit Rig(const I2cSimSelection& selection, AdapterKind kind)
        : adapter(patterned(), selection, clock), bus(adapter, clock, kPath, kind)
    {
    }
    explicit Rig(const I2cSimSelection& selection) : Rig(selection, selection.profile) {}
    FakeClock clock;
    SimulatedI2cAdapter adapter;
    I2cMemoryBus bus;
};

std::string messageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

TEST(I2cMemoryBus, FullReadThroughEveryProfile)
{
    for (auto kind : {AdapterKind::Mcp2221, AdapterKind::Ft260, AdapterKind::Cp2112, AdapterKind::Ch341, AdapterKind::Generic}) {
        Rig rig(on(kind));
        rig.bus.open();
        ASSERT_TRUE(rig.bus.deviceAnswers());
        std::vector<std::uint8_t> buffer(kImageSize);
        rig.bus.read(0, buffer);
        EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), rig.adapter.memory().begin())) << adapterKindName(kind);
        // Every chunk went through on the first try: the first chunk size fits the adapter.
        EXPECT_EQ(rig.bus.counters().shapeRefusals, 0) << adapterKindName(kind);
        EXPECT_EQ(rig.bus.counters().bytesRead, 1 + static_cast<long>(kImageSize));
        EXPECT_EQ(rig.bus.counters().transfers, rig.adapter.transfers());
    }
}

TEST(I2cMemoryBus, ReadsFromAnUnalignedAddressToTheEnd)
{
    Rig rig(on(AdapterKind::Mcp2221));
    rig.bus.open();
    std::vector<std::uint8_t> buffer(0x8000 - 0x7F3);
    rig.bus.read(0x7F3, buffer);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), rig.adapter.memory().begin() + 0x7F3));
    std::vector<std::uint8_t> past(2);
    EXPECT_THROW(rig.bus.read(0x7FFF, past), std::invalid_argument);
}

TEST(I2cMemoryBus, PageWriteArrivesAndWaitsOutTheWriteCycle)
{
    for (auto kind : {AdapterKind::Mcp2221, AdapterKind::Ft260, AdapterKind::Cp2112, AdapterKind::Ch341, AdapterKind::Generic}) {
        Rig rig(on(kind));
        rig.bus.open();
        std::vector<std::uint8_t> data(32);
        std::iota(data.begin(), data.end(), std::uint8_t{0xA0});
        rig.bus.writePage(0x0620, data);
        // The write cycle is over when writePage returns: the next read is acknowledged at once.
        EXPECT_FALSE(rig.adapter.inWriteCycle()) << adapterKindName(kind);
        std::vector<std::uint8_t> back(32);
        const long before = rig.bus.counters().notAcknowledged;
        rig.bus.read(0x0620, back);
        EXPECT_EQ(back, data) << adapterKindName(kind);
        EXPECT_EQ(rig.bus.counters().notAcknowledged, before);
        EXPECT_GE(rig.clock.totalSleepMs(), 1u);
    }
}

TEST(I2cMemoryBus, PageWriteNeverCrossesAPage)
{
    Rig rig(on(AdapterKind::Generic));
    rig.bus.open();
    const std::vector<std::uint8_t> data(5, 0x11);
    EXPECT_THROW(rig.bus.writePage(0x061E, data), std::invalid_argument);
    EXPECT_THROW(rig.bus.writePage(0x7FFE, data), std::invalid_argument);
    EXPECT_EQ(rig.adapter.transfers(), 0);
    // The last bytes of a page are one write.
    rig.bus.writePage(0x061B, data);
    EXPECT_EQ(rig.adapter.memory()[0x061F], 0x11);
    EXPECT_NE(rig.adapter.memory()[0x0620], 0x11);
}

TEST(I2cMemoryBus, ShapeRefusalsHalveTheChunkAndItIsRemembered)
{
    // A CH341 whose name the kernel did not give away: 128 → 64 → 32 → 16 for reads,
    // 32 → 16 for page writes, then every later chunk at once at that size.
    Rig rig(on(AdapterKind::Ch341), AdapterKind::Generic);
    rig.bus.open();
    std::vector<std::uint8_t> buffer(512);
    rig.bus.read(0x100, buffer);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), rig.adapter.memory().begin() + 0x100));
    EXPECT_EQ(rig.bus.readChunk(), 16u);
    EXPECT_EQ(rig.bus.counters().shapeRefusals, 3);
    EXPECT_EQ(rig.bus.counters().transfers, 3 + 512 / 16);

    const std::vector<std::uint8_t> page(32, 0x5A);
    rig.bus.writePage(0x0200, page);
    EXPECT_EQ(rig.bus.writeChunk(), 16u);
    EXPECT_EQ(rig.bus.counters().shapeRefusals, 4);
    for (std::size_t i = 0; i < page.size(); ++i)
        EXPECT_EQ(rig.adapter.memory()[0x200 + i], 0x5A);
}

TEST(I2cMemoryBus, OpenFailuresSayWhatToDo)
{
    FakeClock clock;
    SimulatedI2cAdapter adapter(MemoryImage{}, I2cSimSelection{}, clock);
    I2cMemoryBus bus(adapter, clock, kPath, AdapterKind::Mcp2221);

    adapter.openErrno = kErrNoEnt;
    auto text = messageOf([&] { bus.open(); });
    EXPECT_NE(text.find(kPath), std::string::npos);
    EXPECT_NE(text.find("modprobe i2c-dev"), std::string::npos);

    for (int denied : {kErrAccess, kErrPerm}) {
        adapter.openErrno = denied;
        text = messageOf([&] { bus.open(); });
        EXPECT_NE(text.find("группу i2c"), std::string::npos);
        EXPECT_NE(text.find("KERNEL==\"i2c-[0-9]*\", GROUP=\"i2c\", MODE=\"0660\""), std::string::npos);
        EXPECT_NE(text.find("usermod -aG i2c"), std::string::npos);
    }
    EXPECT_FALSE(bus.isOpen());
    EXPECT_THROW(bus.deviceAnswers(), I2cAdapterError);
}

TEST(I2cMemoryBus, SmbusOnlyAdapterIsRefusedAndClosed)
{
    FakeClock clock;
    SimulatedI2cAdapter adapter(MemoryImage{}, I2cSimSelection{}, clock);
    adapter.functionalityBits = 0x0EFF0000; // SMBus commands only
    I2cMemoryBus bus(adapter, clock, kPath, AdapterKind::Generic);
    const auto text = messageOf([&] { bus.open(); });
    EXPECT_NE(text.find("только SMBus"), std::string::npos);
    EXPECT_FALSE(bus.isOpen());
    EXPECT_EQ(adapter.openDescriptors(), 0);
}

// The adapter is unplugged after `vanish` transfers; the action must fail with the
// unplug message and leave no descriptor open.
void expectUnplugged(long vanish, const std::function<void(I2cMemoryBus&)>& action)
{
    I2cSimSelection selection = on(AdapterKind::Mcp2221);
    selection.vanishAfter = vanish;
    Rig rig(selection);
    rig.bus.open();
    const auto text = messageOf([&] { action(rig.bus); });
    EXPECT_EQ(text, std::string("USB-адаптер I2C отключен: ") + kPath) << "vanish=" << vanish;
    EXPECT_FALSE(rig.bus.isOpen());
    EXPECT_EQ(rig.adapter.openDescriptors(), 0);
    // Later calls say the same without touching the adapter.
    EXPECT_EQ(messageOf([&] { rig.bus.deviceAnswers(); }), text);
}

TEST(I2cMemoryBus, UnplugClosesTheDescriptorAtOnce)
{
    // A full read in chunks of 60 takes 547 transfers: the last one fails.
    expectUnplugged(546, [](I2cMemoryBus& bus) {
        std::vector<std::uint8_t> buffer(kImageSize);
        bus.read(0, buffer);
    });
    // In the page write itself, and in the polls of its write cycle.
    expectUnplugged(0, [](I2cMemoryBus& bus) { bus.writePage(0x0700, std::vector<std::uint8_t>(8, 1)); });
    expectUnplugged(2, [](I2cMemoryBus& bus) { bus.writePage(0x0700, std::vector<std::uint8_t>(8, 1)); });
    // During the final proof.
    expectUnplugged(1, [](I2cMemoryBus& bus) {
        std::vector<std::uint8_t> buffer(16);
        bus.read(0, buffer);
        bus.confirmAnswers("ПСИ не отвечает");
    });
}

TEST(I2cMemoryBus, AcknowledgeStormsAreRiddenOutButNotForever)
{
    for (auto kind : {AdapterKind::Mcp2221, AdapterKind::Cp2112, AdapterKind::Generic}) {
        I2cSimSelection selection = on(kind);
        selection.nakProbability = 0.5;
        selection.seed = 7;
        Rig rig(selection);
        rig.bus.open();
        std::vector<std::uint8_t> buffer(kImageSize);
        rig.bus.read(0, buffer);
        EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), rig.adapter.memory().begin()));
        EXPECT_GT(rig.bus.counters().notAcknowledged, 100);
        const std::vector<std::uint8_t> page(32, 0xC3);
        rig.bus.writePage(0x0640, page);
        rig.bus.confirmAnswers("ПСИ не отвечает");
        EXPECT_EQ(rig.adapter.memory()[0x065F], 0xC3);
    }

    I2cSimSelection never = on(AdapterKind::Ft260);
    never.nakProbability = 1.0;
    Rig rig(never);
    rig.bus.open();
    EXPECT_FALSE(rig.bus.deviceAnswers());
    std::vector<std::uint8_t> buffer(16);
    EXPECT_EQ(messageOf([&] { rig.bus.read(0, buffer); }), kTimeoutMessage);
    const std::uint64_t slept = rig.clock.totalSleepMs();
    EXPECT_GE(slept, kI2cDeadlineMs);
    EXPECT_LE(slept, kI2cDeadlineMs + 1);
    EXPECT_THROW(rig.bus.writePage(0, buffer), I2cTimeoutError);
    EXPECT_EQ(messageOf([&] { rig.bus.confirmAnswers("ПСИ не отвечает"); }), "ПСИ не отвечает");
    EXPECT_TRUE(rig.bus.isOpen());
}

TEST(I2cMemoryBus, WriteCycleLongerThanTheDeadlineFails)
{
    I2cSimSelection selection = on(AdapterKind::Generic);
    selection.busyMs = 80;
    Rig rig(selection);
    rig.bus.open();
    const std::vector<std::uint8_t> page(4, 0x42);
    EXPECT_EQ(messageOf([&] { rig.bus.writePage(0x0100, page); }), kWriteCycleTimeoutMessage);
    EXPECT_EQ(rig.adapter.memory()[0x0100], 0x42); // the page itself went out
}

TEST(I2cMemoryBus, FlippedBitIsDeliveredAsRead)
{
    I2cSimSelection selection = on(AdapterKind::Generic);
    selection.flipByte = 300;
    Rig rig(selection);
    rig.bus.open();
    std::vector<std::uint8_t> buffer(1024);
    rig.bus.read(0, buffer);
    EXPECT_EQ(buffer[300], rig.adapter.memory()[300] ^ 1);
    buffer[300] ^= 1;
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), rig.adapter.memory().begin()));
}

} // namespace
} // namespace kestrel
