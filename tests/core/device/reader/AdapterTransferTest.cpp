// The reader-device procedures over an I2C adapter: the same search texts, progress and
// failure messages as on the port, without the port's pauses; only USB adapters are
// probed unasked; the device texts that choose the buses.
#include "core/demo/DemoImage.h"
#include "core/device/FakeClock.h"
#include "core/device/i2cdev/SimulatedI2cAdapter.h"
#include "core/device/reader/ReaderBuses.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/device/reader/UsbAdaptersBus.h"
#include "core/device/sim/DeviceSelection.h"
#include "core/ui/ScriptedUserInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

struct AdapterRig {
    explicit AdapterRig(const std::string& selection = "i2c-sim,profile=ch341")
    {
        transfer = std::make_unique<ReaderDeviceTransfer>(
            makeAdapterBuses(parseBusChoice(selection), clock, ui), nullptr, clock, ui);
    }
    FakeClock clock;
    ScriptedUserInterface ui;
    std::unique_ptr<ReaderDeviceTransfer> transfer;
};

TEST(AdapterTransfer, FindsReadsAndWritesWithThePortsTextsButNotItsPauses)
{
    AdapterRig rig;
    ASSERT_TRUE(rig.transfer->findReader());
    EXPECT_EQ(rig.ui.statusTexts.front(), "Поиск ПСИ: Симулятор USB-адаптера I2C: CH341...");
    EXPECT_EQ(rig.ui.statusTexts.back(), "ПСИ обнаружен! Симулятор USB-адаптера I2C: CH341");

    std::vector<std::uint8_t> memory(0x8000);
    ASSERT_TRUE(rig.transfer->readDevice(0, memory));
    const MemoryImage demo = makeDemoImage(1);
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), demo.begin()));
    EXPECT_EQ(rig.ui.statusTexts.back(), kReadDone);
    EXPECT_EQ(rig.ui.progress.back(), (std::pair<int, int>{0, 0x7FFF}));
    // The port's fixed pauses (500 ms, 1 s) pace the port, not an adapter.
    EXPECT_TRUE(std::none_of(rig.clock.sleeps.begin(), rig.clock.sleeps.end(), [](auto ms) { return ms >= 500; }));

    // 757 bytes across page boundaries, as a write-back clears the configuration area.
    const std::vector<std::uint8_t> zeros(757, 0);
    ASSERT_TRUE(rig.transfer->writeDevice(0x60B, zeros));
    EXPECT_EQ(rig.ui.statusTexts.back(), kWriteDone);
    std::vector<std::uint8_t> area(757, 0xEE);
    ASSERT_TRUE(rig.transfer->readDevice(0x60B, area));
    EXPECT_EQ(area, zeros);
    std::vector<std::uint8_t> before(1);
    ASSERT_TRUE(rig.transfer->readDevice(0x60A, before));
    EXPECT_EQ(before[0], demo[0x60A]); // nothing outside the range
}

TEST(AdapterTransfer, AnAdapterPulledOutMidwayIsSaidAndNothingIsCalledRead)
{
    AdapterRig rig("i2c-sim,vanish=40");
    ASSERT_TRUE(rig.transfer->findReader());
    std::vector<std::uint8_t> memory(0x8000);
    EXPECT_FALSE(rig.transfer->readDevice(0, memory));
    ASSERT_EQ(rig.ui.errorBoxes.size(), 1u);
    EXPECT_EQ(rig.ui.errorBoxes[0].first, kReaderCaption);
    EXPECT_EQ(rig.ui.errorBoxes[0].second, "USB-адаптер I2C отключен: /dev/i2c-sim");
    EXPECT_EQ(rig.ui.statusTexts.back(), kReadFailed);

    // The next search says the same, and finds nothing.
    EXPECT_FALSE(rig.transfer->findReader());
    EXPECT_EQ(rig.ui.statusTexts.back(), kReaderNotFound);
}

TEST(AdapterTransfer, DeviceTextsChooseTheBuses)
{
    const BusChoice none = parseBusChoice("");
    EXPECT_TRUE(none.usbAdapters && none.parallelPort); // nothing chosen: USB adapters, then the ports
    EXPECT_FALSE(none.simulatedAdapter.has_value());
    const BusChoice usb = parseBusChoice("i2c");
    EXPECT_TRUE(usb.usbAdapters && !usb.parallelPort);
    const BusChoice named = parseBusChoice("i2c:/dev/i2c-3");
    EXPECT_EQ(named.namedAdapter, std::optional<std::string>("/dev/i2c-3"));
    EXPECT_FALSE(named.usbAdapters || named.parallelPort);
    EXPECT_TRUE(parseBusChoice("ppdev:/dev/parport0").parallelPort);
    EXPECT_TRUE(parseBusChoice("i2c-sim:x.bbd,profile=ft260").simulatedAdapter.has_value());
    EXPECT_TRUE(selectsSimulator("i2c-sim:x.bbd"));
    EXPECT_FALSE(selectsSimulator("i2c"));
    for (const char* bad : {"i2c:", "i2c:/dev/i2c-1,fast", "i2c-sim,profile=pl2303", "usb"})
        EXPECT_THROW(parseBusChoice(bad), DeviceSelectionError) << bad;

    // A simulated adapter whose file is missing is refused by name, not served a demo memory.
    FakeClock clock;
    ScriptedUserInterface ui;
    EXPECT_THROW(makeAdapterBuses(parseBusChoice("i2c-sim:/no/such.bbd"), clock, ui), BusSetupError);
}

// Records which device nodes were opened, and answers nothing.
class RecordingCalls : public I2cDevCalls {
public:
    explicit RecordingCalls(std::vector<std::string>& opened) : opened_(opened) {}
    int open(const std::string& path) override
    {
        opened_.push_back(path);
        return -2; // ENOENT
    }
    int functionality(int, std::uint64_t&) override { return -9; }
    int transfer(int, std::span<I2cMessage>) override { return -9; }
    int close(int) override { return 0; }

private:
    std::vector<std::string>& opened_;
};

TEST(AdapterTransfer, OnlyUsbAdaptersAreProbedUnasked)
{
    // A laptop: its SMBus (memory modules' EEPROMs at 0x50–0x57) and a USB bridge.
    const fs::path root = fs::temp_directory_path() / ("kestrel-usb-" + std::to_string(std::random_device{}()));
    const auto add = [&](int bus, const fs::path& device, const std::string& name) {
        const std::string entry = "i2c-" + std::to_string(bus);
        const fs::path adapter = root / "devices" / device / entry;
        fs::create_directories(adapter / "i2c-dev" / entry);
        std::ofstream(adapter / "name") << name << "\n";
        fs::create_directory_symlink(fs::path("../../..") / entry, adapter / "i2c-dev" / entry / "device");
        fs::create_directories(root / "class/i2c-dev");
        fs::create_directory_symlink(adapter / "i2c-dev" / entry, root / "class/i2c-dev" / entry);
    };
    add(0, "pci0000:00/0000:00:1f.4", "SMBus I801 adapter at efa0");
    add(7, "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.2", "MCP2221 usb-i2c bridge");

    FakeClock clock;
    ScriptedUserInterface ui;
    std::vector<std::string> opened;
    UsbAdaptersBus bus([&] { return std::make_unique<RecordingCalls>(opened); }, root / "class/i2c-dev", false, clock, ui);
    EXPECT_FALSE(bus.search());
    EXPECT_EQ(opened, std::vector<std::string>{"/dev/i2c-7"});
    EXPECT_EQ(ui.statusTexts.front(), "Поиск ПСИ: USB-адаптер I2C: MCP2221 (/dev/i2c-7)...");
    EXPECT_TRUE(ui.errorBoxes.empty()); // an adapter tried on the way only leaves its reason in the status bar
    fs::remove_all(root);

    // Nothing listed at all: said, nothing opened.
    UsbAdaptersBus none([&] { return std::make_unique<RecordingCalls>(opened); }, root / "class/i2c-dev", false, clock, ui);
    EXPECT_FALSE(none.search());
    EXPECT_EQ(ui.statusTexts.back(), "USB-адаптеры I2C не найдены.");
    EXPECT_EQ(opened.size(), 1u);
}

} // namespace
} // namespace kestrel
