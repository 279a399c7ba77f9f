#include "core/device/port/TPrinterPortIO.h"
#include "core/device/port/FakePortLibrary.h"
#include "core/device/port/FakeRegistry.h"
#include "core/device/port/FakeServiceControlManager.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kestrel {
namespace {

using test::FakeLibraryLoader;
using test::FakePlatformInfo;
using test::FakeRegistry;
using test::FakeServiceControlManager;
using Log = std::vector<std::string>;
using Root = Registry::Root;
using Table = std::array<std::uint16_t, 9>;

// Writes proc/sys/dev/parport/NAME/base-addr under root (no file when text is empty).
void addParport(const std::filesystem::path& root, const std::string& name, const std::string& baseAddr)
{
    const auto dir = root / "proc/sys/dev/parport" / name;
    std::filesystem::create_directories(dir);
    if (!baseAddr.empty())
        std::ofstream(dir / "base-addr") << baseAddr;
}

// A resource list whose first partial descriptor is a port range starting at `port`.
std::vector<std::uint8_t> resourceList(std::uint16_t port, std::size_t size = 52)
{
    std::vector<std::uint8_t> data(std::max<std::size_t>(size, 27), 0);
    data[0] = 1;  // one full descriptor
    data[16] = 1; // one partial descriptor
    data[20] = 1; // of type port
    {
        data[24] = static_cast<std::uint8_t>(port);
        data[25] = static_cast<std::uint8_t>(port >> 8);
        data[26] = 0x12; // high bits of the start: only the low 16 count
    }
    data.resize(size);
    return data;
}

std::vector<std::uint8_t> words(const std::vector<std::uint16_t>& values)
{
    std::vector<std::uint8_t> data;
    for (auto w : values) {
        data.push_back(static_cast<std::uint8_t>(w));
        data.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    return data;
}

TEST(LptDetection, NtPortsComeFromTheDeviceMapAndTheResourceMap)
{
    FakeRegistry reg;
    const std::string map = "HARDWARE\\DEVICEMAP\\PARALLEL PORTS";
    const std::string res = "HARDWARE\\RESOURCEMAP\\LOADED PARALLEL DRIVER RESOURCES\\Parport";
    const auto port = [&](int device, const std::string& target) {
        reg.setString(Root::LocalMachine, map, "\\Device\\Parallel" + std::to_string(device), target);
    };
    port(0, "\\DosDevices\\LPT1");
    port(1, "\\DosDevices\\LPT2");
    port(2, "\\DosDevices\\LPT3"); // resource of the wrong type
    port(3, "\\DosDevices\\LPT9"); // no such LPT here
    reg.set(Root::LocalMachine, map, "\\Device\\Parallel4", Registry::kRegBinary, {'\\', 'D'}); // not text
    reg.setString(Root::LocalMachine, map, "Printer", "\\DosDevices\\LPT4"); // not a parallel device
    port(5, "\\DosDevices\\LPT5"); // resource too short to hold a port
    port(6, "\\DosDevices\\LPT6"); // no resource
    port(7, "\\DosDevices\\LPT7"); // resource too long for the 128-byte read
    reg.set(Root::LocalMachine, res, "\\Device\\ParallelPort0.Raw", 8, resourceList(0x378));
    reg.set(Root::LocalMachine, res, "\\Device\\ParallelPort1.Raw", 8, resourceList(0x278));
    reg.set(Root::LocalMachine, res, "\\Device\\ParallelPort2.Raw", 3, resourceList(0x3BC));
    reg.set(Root::LocalMachine, res, "\\Device\\ParallelPort3.Raw", 8, resourceList(0x2BC));
    reg.set(Root::LocalMachine, res, "\\Device\\ParallelPort5.Raw", 8, resourceList(0x3BC, 20));
    reg.set(Root::LocalMachine, res, "\\Device\\ParallelPort7.Raw", 8, resourceList(0x3BC, 129));

    FakeLibraryLoader loader;
    FakePlatformInfo nt(PlatformFamily::WindowsNT);
    TPrinterPortIO io({&loader, nullptr, &nt}, {&reg});
    EXPECT_EQ(io.PortTable(), (Table{0, 0x378, 0x278, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(io.GetLPTNumPorts(), 2);
    EXPECT_EQ(io.LPTNumber(), 1);
    EXPECT_EQ(io.GetLPTBasePort(), 0x378);
    EXPECT_EQ(reg.openKeys(), 0u);
    for (auto access : reg.accessUsed)
        EXPECT_EQ(access, 9u);
    EXPECT_TRUE(loader.loadedPaths.empty()) << "detection does not open the driver";
}

TEST(LptDetection, MachineWithoutParallelPorts)
{
    FakeRegistry reg;
    FakePlatformInfo nt(PlatformFamily::WindowsNT), w9x(PlatformFamily::Windows9x);
    FakeLibraryLoader loader;
    for (PlatformInfo* platform : {static_cast<PlatformInfo*>(&nt), static_cast<PlatformInfo*>(&w9x)}) {
        TPrinterPortIO io({&loader, nullptr, platform}, {&reg});
        EXPECT_EQ(io.GetLPTNumPorts(), 0);
        EXPECT_EQ(io.PortTable(), Table{});
        EXPECT_EQ(io.GetLPTBasePort(), 0);
    }
    test::TempDir empty;
    FakePlatformInfo linuxPlatform(PlatformFamily::Linux, "");
    TPrinterPortIO io({&loader, nullptr, &linuxPlatform}, {&reg, nullptr, empty.path()});
    EXPECT_EQ(io.GetLPTNumPorts(), 0);
    EXPECT_EQ(io.PortTable(), Table{});
}

TEST(LptDetection, Windows9xPortsComeFromTheConfigManager)
{
    FakeRegistry reg;
    const std::string enumKey = "Config Manager\\Enum";
    reg.key(Root::DynData, enumKey);
    // One device: its dynamic key (problem, hardware key, allocation) and its hardware key's port name.
    const auto device = [&](const std::string& k, std::vector<std::uint8_t> problem, const std::string& portName,
                            const std::vector<std::uint16_t>& allocation) {
        const std::string dyn = enumKey + "\\" + k;
        reg.set(Root::DynData, dyn, "Problem", Registry::kRegBinary, std::move(problem));
        reg.setString(Root::DynData, dyn, "HardwareKey", "BIOS\\*PNP0400\\" + k);
        reg.setString(Root::LocalMachine, "Enum\\BIOS\\*PNP0400\\" + k, "PortName", portName);
        reg.set(Root::DynData, dyn, "Allocation", Registry::kRegBinary, words(allocation));
    };
    device("C1", {0, 0, 0, 0}, "LPT1", {1, 7, 12, 0x378, 0x37F});
    device("C2", {0, 0, 0, 0}, "LPT2", {12, 0, 5, 12, 0x278, 0x27F}); // first port entry empty
    device("C3", {0, 0, 0, 1}, "LPT3", {12, 0x3BC});                  // the device has a problem
    device("C4", {0, 0, 0, 0}, "COM1", {12, 0x3F8});                  // not a printer port
    device("C5", {0, 0, 0, 0}, "LPT9", {12, 0x2BC});                  // no such LPT here
    device("C6", {0, 0, 0, 0}, "LPT4", {12});                         // the address is past the data
    std::vector<std::uint16_t> last(64, 0);                            // the last pair of a full read
    last[62] = 12;
    last[63] = 0x3BC;
    device("C7", {0, 0, 0, 0}, "LPT5", last);
    reg.set(Root::DynData, enumKey + "\\C8", "Problem", Registry::kRegSz, {0}); // wrong type
    reg.setString(Root::DynData, enumKey + "\\C8", "HardwareKey", "BIOS\\*PNP0400\\C1");
    reg.setString(Root::DynData, enumKey + "\\C9", "HardwareKey", "BIOS\\*PNP0400\\C1"); // no problem value

    FakeLibraryLoader loader;
    FakePlatformInfo w9x(PlatformFamily::Windows9x);
    TPrinterPortIO io({&loader, nullptr, &w9x}, {&reg});
    EXPECT_EQ(io.PortTable(), (Table{0, 0x378, 0x278, 0, 0, 0x3BC, 0, 0, 0}));
    EXPECT_EQ(io.GetLPTNumPorts(), 3);
    EXPECT_EQ(reg.openKeys(), 0u);
    for (auto access : reg.accessUsed)
        EXPECT_EQ(access, 9u);
}

TEST(LptDetection, LinuxPortsComeFromTheKernelsParportList)
{
    test::TempDir root;
    addParport(root.path(), "parport0", "888\t1912\n");
    addParport(root.path(), "parport1", "632\t1656\n");
    addParport(root.path(), "parport2", "0\t0\n");  // no I/O address (USB adapter)
    addParport(root.path(), "parport3", "");        // no base-addr file
    addParport(root.path(), "parport4", "x9\n");    // not a number
    addParport(root.path(), "parport6", "956\n");   // LPT7
    addParport(root.path(), "parport8", "700\n");   // would be LPT9
    addParport(root.path(), "parportX", "700\n");
    addParport(root.path(), "default", "");

    FakeRegistry reg;
    FakeLibraryLoader loader;
    FakePlatformInfo linuxPlatform(PlatformFamily::Linux, "");
    TPrinterPortIO io({&loader, nullptr, &linuxPlatform}, {&reg, nullptr, root.path()});
    EXPECT_EQ(io.PortTable(), (Table{0, 0x378, 0x278, 0, 0, 0, 0, 0x3BC, 0}));
    EXPECT_EQ(io.GetLPTNumPorts(), 3);
    EXPECT_TRUE(reg.accessUsed.empty());

    // Detecting again rebuilds the table but keeps the selected base until the next selection.
    std::filesystem::remove_all(root.path() / "proc/sys/dev/parport/parport0");
    io.DetectPorts();
    EXPECT_EQ(io.GetLPTNumPorts(), 2);
    EXPECT_EQ(io.PortTable()[1], 0);
    EXPECT_EQ(io.GetLPTBasePort(), 0x378);
    io.SetLPTNumber(1);
    EXPECT_EQ(io.GetLPTBasePort(), 0);
}

// A clock whose pauses show up in the port log.
class LoggingClock : public Clock {
public:
    explicit LoggingClock(std::vector<std::string>& log) : log_(log) {}
    void sleepMs(std::uint32_t ms) override { log_.push_back("sleep " + std::to_string(ms)); }
    std::uint32_t milliseconds() override { return 0; }
    void busyLoop(std::int64_t) override {}

private:
    std::vector<std::string>& log_;
};

// An open printer port with LPT1 at 0x378 and LPT2 at 0x278, on recording registers.
struct PrinterPort : ::testing::Test {
    test::TempDir root;
    FakeLibraryLoader loader;
    FakeRegistry reg;
    FakePlatformInfo platform{PlatformFamily::Linux, ""};
    LoggingClock clock{loader.traffic.log};
    Log& log = loader.traffic.log;
    std::map<std::uint32_t, std::uint32_t>& registers = loader.traffic.registers;
    std::unique_ptr<TPrinterPortIO> io;

    void SetUp() override
    {
        addParport(root.path(), "parport0", "888\t1912\n");
        addParport(root.path(), "parport1", "632\t1656\n");
        io = std::make_unique<TPrinterPortIO>(PortIoSeams{&loader, nullptr, &platform},
            PrinterPortSeams{&reg, &clock, root.path()});
        io->OpenDriver();
        ASSERT_TRUE(io->ActiveHW());
    }
};

TEST_F(PrinterPort, SelectionByNumber)
{
    io->SetLPTNumber(0);
    io->SetLPTNumber(9);
    EXPECT_EQ(io->LPTNumber(), 1);
    EXPECT_EQ(io->GetLPTBasePort(), 0x378);
    io->SetLPTNumber(2);
    EXPECT_EQ(io->GetLPTBasePort(), 0x278);
    io->SetLPTNumber(3);
    EXPECT_EQ(io->LPTNumber(), 3);
    EXPECT_EQ(io->GetLPTBasePort(), 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(PrinterPort, SetPinChangesOnlyItsBitAndGetPinReadsItBack)
{
    const std::uint8_t outputs[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 16, 17};
    for (const auto pin : outputs) {
        const auto line = *pinLine(pin);
        const std::uint32_t port = 0x378 + line.reg;
        for (const std::uint32_t start : {0x00u, 0xFFu, 0x5Au}) {
            registers = {{0x378, start}, {0x379, start}, {0x37A, start}};
            for (const bool level : {true, false}) {
                io->SetPin(pin, level);
                EXPECT_EQ(io->GetPin(pin), level) << int{pin};
                const bool bit = (registers[port] & line.mask) != 0;
                EXPECT_EQ(bit, level != line.inverted) << int{pin};
                EXPECT_EQ(registers[port] & ~std::uint32_t{line.mask}, start & ~std::uint32_t{line.mask}) << int{pin};
            }
        }
    }
}

TEST_F(PrinterPort, InvertedPinsAreCompensated)
{
    registers[0x37A] = 0x05;
    io->SetPin(STROBE_PIN, true);
    EXPECT_EQ(log, (Log{"R8 0x37A", "W8 0x37A=0x4"}));
    io->SetPin(INIT_PIN, true);
    EXPECT_EQ(registers[0x37A], 0x04u);
    io->SetPin(INIT_PIN, false);
    EXPECT_EQ(registers[0x37A], 0x00u);

    registers[0x379] = 0x80; // BUSY bit set: the pin is low
    EXPECT_FALSE(io->GetPin(BUSY_PIN));
    EXPECT_FALSE(io->GetPin(ACK_PIN));
    registers[0x379] = 0x48;
    EXPECT_TRUE(io->GetPin(BUSY_PIN));
    EXPECT_TRUE(io->GetPin(ACK_PIN));
    EXPECT_TRUE(io->GetPin(ERROR_PIN));
    EXPECT_FALSE(io->GetPin(PAPEREND_PIN));
    registers[0x37A] = 0x00;
    EXPECT_TRUE(io->GetPin(SELECTIN_PIN));
    EXPECT_TRUE(io->GetPin(AUTOFD_PIN));
}

TEST_F(PrinterPort, InputPinsAndUnknownNumbersTouchNoPort)
{
    EXPECT_FALSE(io->GetPin(0));
    EXPECT_FALSE(io->GetPin(18));
    EXPECT_FALSE(io->GetPin(255));
    for (const std::uint8_t pin : {ACK_PIN, BUSY_PIN, PAPEREND_PIN, SELECTOUT_PIN, ERROR_PIN, std::uint8_t{0},
             std::uint8_t{18}}) {
        io->SetPin(pin, true);
        io->SetPin(pin, false);
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(PrinterPort, PrintCharStrobesForOneMillisecond)
{
    registers[0x379] = 0x80;
    EXPECT_TRUE(io->LPTPrintChar('A'));
    EXPECT_EQ(log, (Log{"W8 0x378=0x41", "W8 0x37A=0xD", "sleep 1", "W8 0x37A=0xC", "R8 0x379"}));
    registers[0x379] = 0x7F;
    EXPECT_FALSE(io->LPTPrintChar('\xC0'));
    EXPECT_EQ(registers[0x378], 0xC0u);
}

TEST_F(PrinterPort, UndetectedLptOrClosedDriverRefusesPinsAndPrinting)
{
    io->SetLPTNumber(3);
    EXPECT_THROW(io->GetPin(STROBE_PIN), PortError);
    EXPECT_THROW(io->SetPin(STROBE_PIN, true), PortError);
    EXPECT_THROW(io->LPTPrintChar('A'), PortError);
    io->SetLPTNumber(1);
    io->CloseDriver();
    EXPECT_THROW(io->GetPin(2), PortError);
    EXPECT_THROW(io->LPTPrintChar('A'), PortError);
    EXPECT_TRUE(log.empty());
}

} // namespace
} // namespace kestrel
