#include "core/device/sim/DeviceSelection.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(DeviceSelection, SimulatedWithFileAndEveryFault)
{
    const auto selection =
        parseDeviceSelection("sim:data/ПСИ.bbd,port=0x278,nack=0.01,stuck_sda=20,stretch=5,disconnect=1000,flip=7,seed=42");
    EXPECT_EQ(selection.kind, PortBackendKind::Simulated);
    EXPECT_EQ(selection.path, "data/ПСИ.bbd");
    EXPECT_EQ(selection.port, 0x278);
    EXPECT_DOUBLE_EQ(selection.faults.nackProbability, 0.01);
    EXPECT_EQ(selection.faults.stuckSdaClocks, 20);
    EXPECT_EQ(selection.faults.clockStretchPolls, 5);
    EXPECT_EQ(selection.faults.disconnectAfterBytes, 1000);
    EXPECT_EQ(selection.faults.flipBitAtByte, 7);
    EXPECT_EQ(selection.faults.seed, 42u);
}

TEST(DeviceSelection, SimulatedDefaults)
{
    for (const char* text : {"sim", "sim,port=888", "sim:port=0x378"}) {
        const auto selection = parseDeviceSelection(text);
        EXPECT_EQ(selection.kind, PortBackendKind::Simulated) << text;
        EXPECT_TRUE(selection.path.empty()) << text;
        EXPECT_EQ(selection.portOr(kDefaultSimulatedPort), 0x378) << text;
        EXPECT_EQ(selection.faults.disconnectAfterBytes, -1);
        EXPECT_EQ(selection.faults.flipBitAtByte, -1);
        EXPECT_EQ(selection.faults.nackProbability, 0.0);
    }
    EXPECT_DOUBLE_EQ(parseDeviceSelection("sim,nack=1e-3").faults.nackProbability, 0.001);
}

TEST(DeviceSelection, PpdevAndDirect)
{
    auto selection = parseDeviceSelection("ppdev");
    EXPECT_EQ(selection.kind, PortBackendKind::Ppdev);
    EXPECT_TRUE(selection.path.empty());
    selection = parseDeviceSelection("ppdev:/dev/parport1");
    EXPECT_EQ(selection.kind, PortBackendKind::Ppdev);
    EXPECT_EQ(selection.path, "/dev/parport1");
    EXPECT_FALSE(selection.port.has_value());
    EXPECT_EQ(parseDeviceSelection("ppdev:/dev/parport0,port=0x3BC").port, 0x3BC);
    EXPECT_EQ(parseDeviceSelection("direct").kind, PortBackendKind::Direct);
}

TEST(DeviceSelection, BadTextsAreRefusedWithTheReason)
{
    struct Case {
        const char* text;
        const char* mentions;
    };
    const Case cases[] = {
        {"", "sim[:"},
        {"simulator", "simulator"},
        {"SIM", "SIM"},
        {"sim:", "файл"},
        {"ppdev:", "устройство"},
        {"direct:/dev/port", "direct"},
        {"direct,port=0x378", "direct"},
        {"sim,bogus=1", "bogus"},
        {"sim,nack", "nack"},
        {"sim,=3", "=3"},
        {"sim,nack=1.5", "nack"},
        {"sim,nack=-0.1", "nack"},
        {"sim,nack=nan", "nack"},
        {"sim,nack=0,5", "\"5\""},
        {"sim,port=0", "port"},
        {"sim,port=0xFFFE", "port"},
        {"sim,port=70000", "port"},
        {"sim,port=0x", "port"},
        {"sim,port=378h", "port"},
        {"sim,stuck_sda=-1", "stuck_sda"},
        {"sim,stretch=x", "stretch"},
        {"sim,disconnect=", "disconnect"},
        {"sim,flip=+3", "flip"},
        {"sim,seed=4294967296", "seed"},
        {"sim,port=0x278,port=0x378", "дважды"},
        {"ppdev,nack=0.5", "nack"},
    };
    for (const auto& c : cases) {
        try {
            parseDeviceSelection(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const DeviceSelectionError& e) {
            EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos) << c.text << " -> " << e.what();
        }
    }
}

} // namespace
TEST(DeviceSelection, OnlyASimulatorTextSelectsTheSimulator)
{
    EXPECT_TRUE(selectsSimulator("sim"));
    EXPECT_TRUE(selectsSimulator("sim:/tmp/x.bbd,nack=0.01"));
    EXPECT_FALSE(selectsSimulator(""));  // nothing chosen: real hardware
    EXPECT_FALSE(selectsSimulator("ppdev"));
    EXPECT_FALSE(selectsSimulator("direct"));
    EXPECT_FALSE(selectsSimulator("simulator")); // no such device: no simulator either
}

} // namespace kestrel
