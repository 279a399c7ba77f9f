#include "core/device/FakeClock.h"
#include "core/device/sim/SimulatedLptPort.h"
#include "core/device/sim/SimulatedReaderDevice.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct PortRig {
    FakeClock clock;
    MemoryImage memory{};
    SimulatedReaderDevice device{memory, {}, clock};
    SimulatedLptPort port{0x278, device};
};

TEST(SimulatedLptPort, StatusRegisterShowsTheLinesWithBusyInverted)
{
    PortRig rig;
    // Idle: both lines high; SCL high reads as bit 7 clear.
    EXPECT_EQ(rig.port.GetPortByte(0x279), 0x78);

    rig.port.WritePortByte(0x278, 0x20); // SCL low
    EXPECT_FALSE(rig.device.sclLevel());
    EXPECT_EQ(rig.port.GetPortByte(0x279), 0xF8);

    rig.port.WritePortByte(0x278, 0x30); // SCL and SDA low
    EXPECT_EQ(rig.port.GetPortByte(0x279), 0xB8);

    rig.port.WritePortByte(0x278, 0x10); // SDA low alone
    EXPECT_FALSE(rig.device.sdaLevel());
    EXPECT_TRUE(rig.device.sclLevel());
    EXPECT_EQ(rig.port.GetPortByte(0x279), 0x38);

    // The other data bits do not touch the lines.
    rig.port.WritePortByte(0x278, 0xCF);
    EXPECT_EQ(rig.port.GetPortByte(0x279), 0x78);
}

TEST(SimulatedLptPort, DataAndControlRegistersKeepWhatWasWritten)
{
    PortRig rig;
    rig.port.WritePortByte(0x278, 0x5A);
    EXPECT_EQ(rig.port.GetPortByte(0x278), 0x5A);
    rig.port.WritePortByte(0x27A, 0x0C);
    EXPECT_EQ(rig.port.GetPortByte(0x27A), 0x0C);
    EXPECT_EQ(rig.port.GetPortByte(0x278), 0x5A);

    // The status register takes no writes.
    rig.port.WritePortByte(0x279, 0x00);
    EXPECT_EQ(rig.port.GetPortByte(0x279) & 0x3F, 0x38);
}

TEST(SimulatedLptPort, OtherAddressesFloat)
{
    PortRig rig;
    for (std::uint16_t port : {0x277, 0x27B, 0x378, 0x379, 0x000, 0xFFFF}) {
        rig.port.WritePortByte(port, 0x30);
        EXPECT_EQ(rig.port.GetPortByte(port), 0xFF) << std::hex << port;
    }
    EXPECT_TRUE(rig.device.sdaLevel());
    EXPECT_TRUE(rig.device.sclLevel());
    EXPECT_EQ(rig.port.writes, 6);
    EXPECT_EQ(rig.port.reads, 6);
}

TEST(SimulatedLptPort, PortAtTheTopOfTheAddressSpace)
{
    FakeClock clock;
    MemoryImage memory{};
    SimulatedReaderDevice device{memory, {}, clock};
    SimulatedLptPort port{0xFFFD, device};
    port.WritePortByte(0xFFFF, 0x0C);
    EXPECT_EQ(port.GetPortByte(0xFFFF), 0x0C);
    EXPECT_EQ(port.GetPortByte(0xFFFE), 0x78);
    EXPECT_EQ(port.GetPortByte(0x0000), 0xFF);
}

} // namespace
} // namespace kestrel
