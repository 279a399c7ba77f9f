#include "core/device/FakeClock.h"
#include "core/device/i2cdev/SimulatedI2cAdapter.h"
#include "core/image/DataFile.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <random>

namespace kestrel {
namespace {

TEST(I2cSimSelection, EveryOptionAndDefaults)
{
    const auto s = parseI2cSimSelection("i2c-sim:data/ПСИ.bbd,profile=cp2112,nak=0.25,busy=7.5,vanish=100,flip=3,seed=9");
    EXPECT_EQ(s.path, "data/ПСИ.bbd");
    EXPECT_EQ(s.profile, AdapterKind::Cp2112);
    EXPECT_DOUBLE_EQ(s.nakProbability, 0.25);
    EXPECT_DOUBLE_EQ(s.busyMs, 7.5);
    EXPECT_EQ(s.vanishAfter, 100);
    EXPECT_EQ(s.flipByte, 3);
    EXPECT_EQ(s.seed, 9u);

    for (const char* text : {"i2c-sim", "i2c-sim:profile=mcp2221", "i2c-sim,seed=1"}) {
        const auto d = parseI2cSimSelection(text);
        EXPECT_TRUE(d.path.empty()) << text;
        EXPECT_EQ(d.profile, AdapterKind::Mcp2221) << text;
        EXPECT_DOUBLE_EQ(d.busyMs, 5.0) << text;
        EXPECT_EQ(d.vanishAfter, -1) << text;
    }
}

TEST(I2cSimSelection, ErrorsAreRussianAndNameTheFault)
{
    const auto messageOf = [](const char* text) {
        try {
            parseI2cSimSelection(text);
        } catch (const I2cSimSelectionError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_NE(messageOf("i2c-sim,profile=pl2303").find("неизвестный профиль"), std::string::npos);
    EXPECT_NE(messageOf("i2c-sim,nak=2").find("вероятность"), std::string::npos);
    EXPECT_NE(messageOf("i2c-sim,seed=1,seed=2").find("задан дважды"), std::string::npos);
    EXPECT_NE(messageOf("i2c-sim,bogus=1").find("неизвестный параметр"), std::string::npos);
    EXPECT_NE(messageOf("i2c-sim:").find("не указан файл"), std::string::npos);
    EXPECT_NE(messageOf("i2c-simx").find("Неверное описание устройства"), std::string::npos);
    EXPECT_NE(messageOf("i2c-sim,vanish=-1").find("число передач"), std::string::npos);
    EXPECT_NE(messageOf("i2c-sim,flip").find("параметр=значение"), std::string::npos);
}

class SimulatedDevice : public ::testing::Test {
protected:
    I2cSimSelection selection;
    FakeClock clock;

    int run(SimulatedI2cAdapter& adapter, int fd, std::vector<I2cMessage> messages)
    {
        return adapter.transfer(fd, messages);
    }
};

TEST_F(SimulatedDevice, PageRollsOverAndReadsWrapAtTheEnd)
{
    selection.profile = AdapterKind::Generic;
    MemoryImage image{};
    image[0x7FFF] = 0xEE;
    image[0] = 0x01;
    SimulatedI2cAdapter adapter(image, selection, clock);
    const int fd = adapter.open("/dev/i2c-1");
    // Four bytes from 0x003E: two land at the page end, two roll over to its start.
    std::array<std::uint8_t, 6> write{0x00, 0x3E, 1, 2, 3, 4};
    EXPECT_EQ(run(adapter, fd, {{0x57, false, write.data(), 6}}), 1);
    EXPECT_EQ(adapter.memory()[0x3E], 1);
    EXPECT_EQ(adapter.memory()[0x3F], 2);
    EXPECT_EQ(adapter.memory()[0x20], 3);
    EXPECT_EQ(adapter.memory()[0x21], 4);
    EXPECT_EQ(adapter.memory()[0x40], 0);

    // Busy in its write cycle: the profile's not-acknowledge, until the cycle has run.
    std::uint8_t byte = 0;
    EXPECT_EQ(run(adapter, fd, {{0x57, true, &byte, 1}}), -kErrRemoteIo);
    clock.advanceMs(5);
    std::array<std::uint8_t, 2> address{0x7F, 0xFF};
    std::array<std::uint8_t, 2> two{};
    EXPECT_EQ(run(adapter, fd, {{0x57, false, address.data(), 2}, {0x57, true, two.data(), 2}}), 2);
    EXPECT_EQ(two[0], 0xEE);
    EXPECT_EQ(two[1], 0x01);
    // Another address on the bus: nobody answers.
    EXPECT_EQ(run(adapter, fd, {{0x50, true, &byte, 1}}), -kErrRemoteIo);
}

TEST_F(SimulatedDevice, ProfilesRefuseWhatTheirDriversCannotSend)
{
    std::array<std::uint8_t, 1024> buffer{};
    std::array<std::uint8_t, 2> address{};
    const auto pair = [&](std::uint16_t first, std::uint16_t second) {
        return std::vector<I2cMessage>{{0x57, false, buffer.data(), first}, {0x57, true, buffer.data() + 100, second}};
    };
    struct Case {
        AdapterKind kind;
        std::vector<I2cMessage> refused;
        std::vector<I2cMessage> taken;
    };
    const std::vector<Case> cases{
        {AdapterKind::Mcp2221, pair(2, 61), pair(2, 60)},
        {AdapterKind::Ft260, pair(3, 1), pair(2, 500)},
        {AdapterKind::Cp2112, {{0x57, false, buffer.data(), 62}}, pair(2, 512)},
        {AdapterKind::Ch341, {{0x57, false, buffer.data(), 27}}, pair(2, 26)},
        // Every bridge: no zero-length message, no read before a write, no three messages.
        {AdapterKind::Generic, {{0x57, true, buffer.data(), 0}}, pair(2, 500)},
        {AdapterKind::Generic, {{0x57, true, buffer.data(), 1}, {0x57, false, address.data(), 2}}, pair(2, 1)},
        {AdapterKind::Generic, {{0x57, false, address.data(), 2}, {0x57, true, buffer.data(), 1}, {0x57, true, buffer.data(), 1}},
            pair(2, 1)},
    };
    for (const auto& c : cases) {
        selection.profile = c.kind;
        SimulatedI2cAdapter adapter(MemoryImage{}, selection, clock);
        const int fd = adapter.open("/dev/i2c-1");
        EXPECT_EQ(run(adapter, fd, c.refused), -adapter.profile().shapeErrno) << adapterKindName(c.kind);
        EXPECT_EQ(adapter.modelledMicroseconds(), 0.0);
        EXPECT_GT(run(adapter, fd, c.taken), 0) << adapterKindName(c.kind);
    }
}

TEST_F(SimulatedDevice, ModelledTimeIsBitsAtTheClockPlusLatency)
{
    selection.profile = AdapterKind::Mcp2221; // 100 kHz, 1 ms
    SimulatedI2cAdapter adapter(MemoryImage{}, selection, clock);
    const int fd = adapter.open("/dev/i2c-1");
    std::array<std::uint8_t, 2> address{};
    std::array<std::uint8_t, 60> data{};
    EXPECT_EQ(run(adapter, fd, {{0x57, false, address.data(), 2}, {0x57, true, data.data(), 60}}), 2);
    // start + 0xAE + 2 bytes, repeated start + 0xAF + 60 bytes, stop: 28 + 550 + 1 bits.
    EXPECT_DOUBLE_EQ(adapter.modelledMicroseconds(), 1000.0 + 579 * 10.0);
    EXPECT_EQ(adapter.transfers(), 1);
}

TEST_F(SimulatedDevice, FileBackedMemoryIsSavedOnClose)
{
    const auto file = std::filesystem::temp_directory_path() / ("kestrel-i2c-sim-" + std::to_string(std::random_device{}()) + ".bbd");
    MemoryImage image{};
    image[5] = 0x55;
    saveImage(file.string(), image);
    selection.path = file.string();
    {
        SimulatedI2cAdapter adapter(selection, clock);
        EXPECT_EQ(adapter.memory()[5], 0x55);
        const int fd = adapter.open("/dev/i2c-1");
        std::array<std::uint8_t, 3> write{0x01, 0x00, 0x77};
        EXPECT_EQ(run(adapter, fd, {{0x57, false, write.data(), 3}}), 1);
        EXPECT_EQ(adapter.close(fd), 0);
        EXPECT_EQ(adapter.saveError(), "");
        EXPECT_EQ(readImageFile(file.string())[0x100], 0x77);
        EXPECT_EQ(adapter.close(fd), -kErrBadF);
    }
    std::filesystem::remove(file);
}

} // namespace
} // namespace kestrel
