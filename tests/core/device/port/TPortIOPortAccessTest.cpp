#include "core/device/port/TPortIO.h"
#include "core/device/port/FakePortLibrary.h"
#include "core/device/port/FakeServiceControlManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

using test::FakeLibraryLoader;
using test::FakePlatformInfo;
using test::FakeServiceControlManager;
using Log = std::vector<std::string>;

struct TPortIOPortAccess : ::testing::Test {
    FakeLibraryLoader loader;
    FakeServiceControlManager services;
    FakePlatformInfo platform{PlatformFamily::Linux, ""};
    TPortIO io{{&loader, &services, &platform}};
    Log& log = loader.traffic.log;
    std::map<std::uint32_t, std::uint32_t>& registers = loader.traffic.registers;
};

TEST_F(TPortIOPortAccess, ClosedDriverThrowsAndTouchesNoPort)
{
    std::vector<TPortRec> recs = {{0x378, 0x55, true}, {0x379, 0, false}};
    std::vector<TPortCommand> cmds = {{0x378, 0x1234, kWriteWord}};
    const auto expectRefused = [&] {
        EXPECT_THROW(io.GetPortByte(0x379), PortError);
        EXPECT_THROW(io.WritePortByte(0x378, 0xAA), PortError);
        EXPECT_THROW(io.PortControl(recs), PortError);
        EXPECT_THROW(io.PortCommand(cmds), PortError);
        EXPECT_EQ(recs[1].Value, 0);
    };
    expectRefused();
    try {
        io.GetPortByte(0x3BC);
    } catch (const PortError& e) {
        EXPECT_NE(std::string(e.what()).find("0x3BC"), std::string::npos) << e.what();
    }

    io.OpenDriver();
    io.CloseDriver();
    expectRefused();
    EXPECT_TRUE(log.empty());
    EXPECT_NO_THROW(io.PortControl({}));
}

TEST_F(TPortIOPortAccess, ByteReadAndWriteGoToTheLibrary)
{
    io.OpenDriver();
    ASSERT_TRUE(io.ActiveHW());
    registers[0x379] = 0x7F;
    io.WritePortByte(0x378, 0xA5);
    EXPECT_EQ(io.GetPortByte(0x379), 0x7F);
    EXPECT_EQ(io.GetPortByte(0xFFFF), 0);
    EXPECT_EQ(log, (Log{"W8 0x378=0xA5", "R8 0x379", "R8 0xFFFF"}));
}

TEST_F(TPortIOPortAccess, PortControlRunsTheRecordsInOrderAndStoresReads)
{
    io.OpenDriver();
    registers[0x379] = 0x80;
    std::vector<TPortRec> recs = {
        {0x378, 0x11, true},
        {0x378, 0xEE, false}, // reads back the 0x11 just written
        {0x379, 0x00, false},
        {0x37A, 0x0C, true},
    };
    io.PortControl(recs);
    EXPECT_EQ(log, (Log{"W8 0x378=0x11", "R8 0x378", "R8 0x379", "W8 0x37A=0xC"}));
    EXPECT_EQ(recs[1].Value, 0x11);
    EXPECT_EQ(recs[2].Value, 0x80);
    EXPECT_EQ(recs[3].Value, 0x0C);
}

TEST_F(TPortIOPortAccess, PortCommandReadsKeepTheOtherBitsAndWritesSendTheLowPart)
{
    io.OpenDriver();
    registers[0x100] = 0xCAFEBABE;
    std::vector<TPortCommand> cmds = {
        {0x100, 0x11223344, kReadByte},
        {0x100, 0x11223344, kReadWord},
        {0x100, 0x11223344, kReadDword},
        {0x200, 0xAABBCCDD, kWriteByte},
        {0x201, 0xAABBCCDD, kWriteWord},
        {0x202, 0xAABBCCDD, kWriteDword},
        {0x203, 0x55, 6},
        {0x204, 0x66, -1},
    };
    io.PortCommand(cmds);
    EXPECT_EQ(cmds[0].Value, 0x112233BEu);
    EXPECT_EQ(cmds[1].Value, 0x1122BABEu);
    EXPECT_EQ(cmds[2].Value, 0xCAFEBABEu);
    EXPECT_EQ(cmds[3].Value, 0xAABBCCDDu);
    EXPECT_EQ(cmds[6].Value, 0x55u);
    EXPECT_EQ(cmds[7].Value, 0x66u);
    EXPECT_EQ(log, (Log{"R8 0x100", "R16 0x100", "R32 0x100", "W8 0x200=0xDD", "W16 0x201=0xCCDD",
                       "W32 0x202=0xAABBCCDD"}));
}

TEST_F(TPortIOPortAccess, APortLostDuringUseIsReportedWithTheLibrarysReason)
{
    io.OpenDriver();
    ASSERT_TRUE(io.ActiveHW());
    registers[0x279] = 0xFF; // a floating bus on a port that is still there
    EXPECT_EQ(io.GetPortByte(0x279), 0xFF);

    loader.losePort(0x379, "ppdev: /dev/parport0: PPRSTATUS: No such device");
    try {
        io.GetPortByte(0x379);
        FAIL() << "a lost port must not read as a floating bus";
    } catch (const PortError& e) {
        EXPECT_EQ(std::string(e.what()), "Связь с портом 0x379 потеряна: ppdev: /dev/parport0: PPRSTATUS: No such device");
    }
    EXPECT_EQ(io.GetPortByte(0x279), 0xFF);
}

} // namespace
} // namespace kestrel
