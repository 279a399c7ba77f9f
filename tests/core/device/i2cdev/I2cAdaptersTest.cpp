#include "core/device/i2cdev/I2cAdapters.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// A fake sysfs: devices under a USB bus and on the board, and the class folder of
// i2c-dev with its links, as the kernel lays them out.
class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("kestrel-i2c-sysfs-" + std::to_string(std::random_device{}()));
        fs::create_directories(root / "class/i2c-dev");
    }
    void TearDown() override { fs::remove_all(root); }

    void addAdapter(int bus, const fs::path& devicePath, const std::string& name, bool nameInClassFolder)
    {
        const std::string entry = "i2c-" + std::to_string(bus);
        const fs::path adapter = root / "devices" / devicePath / entry;
        const fs::path classEntry = adapter / "i2c-dev" / entry;
        fs::create_directories(classEntry);
        std::ofstream(adapter / "name") << name << "\n";
        if (nameInClassFolder)
            std::ofstream(classEntry / "name") << name << "\n";
        fs::create_directory_symlink(fs::path("../../..") / entry, classEntry / "device"); // → the adapter
        fs::create_directory_symlink(classEntry, root / "class/i2c-dev" / entry);
    }

    fs::path root;
};

TEST_F(FakeSysfs, ListsAdaptersSortedWithNamesAndUsb)
{
    addAdapter(10, "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.2/0003:04D8:00DD.0004", "MCP2221 usb-i2c bridge", true);
    addAdapter(2, "pci0000:00/0000:00:02.0/drm/card0", "i915 gmbus dpb", false);
    addAdapter(9, "pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0", "i2c-tiny-usb at bus 001 device 005", true);
    fs::create_directories(root / "class/i2c-dev/not-an-adapter");

    const auto adapters = listI2cAdapters(root / "class/i2c-dev", "/dev");
    ASSERT_EQ(adapters.size(), 3u);
    EXPECT_EQ(adapters[0].bus, 2);
    EXPECT_EQ(adapters[0].devicePath, "/dev/i2c-2");
    EXPECT_EQ(adapters[0].name, "i915 gmbus dpb"); // from the device's own name
    EXPECT_FALSE(adapters[0].usb);
    EXPECT_EQ(adapters[1].bus, 9);
    EXPECT_TRUE(adapters[1].usb);
    EXPECT_EQ(adapterKindOf(adapters[1].name), AdapterKind::TinyUsb);
    EXPECT_EQ(adapters[2].bus, 10);
    EXPECT_EQ(adapters[2].name, "MCP2221 usb-i2c bridge");
    EXPECT_TRUE(adapters[2].usb);
}

TEST_F(FakeSysfs, MissingClassFolderGivesNoAdapters)
{
    EXPECT_TRUE(listI2cAdapters(root / "nothing-here").empty());
    EXPECT_TRUE(listI2cAdapters(root / "class/i2c-dev").empty());
}

TEST(AdapterKind, FromNamesInAnyCase)
{
    EXPECT_EQ(adapterKindOf("MCP2221 usb-i2c bridge"), AdapterKind::Mcp2221);
    EXPECT_EQ(adapterKindOf("ft260 usb-i2c bridge on hidraw1"), AdapterKind::Ft260);
    EXPECT_EQ(adapterKindOf("CP2112 SMBus Bridge on hidraw0"), AdapterKind::Cp2112);
    EXPECT_EQ(adapterKindOf("Ch341 I2C USB bus 001 device 004"), AdapterKind::Ch341);
    EXPECT_EQ(adapterKindOf("Synopsys DesignWare I2C adapter"), AdapterKind::Generic);
    EXPECT_EQ(adapterKindOf(""), AdapterKind::Generic);
    EXPECT_EQ(firstReadChunk(AdapterKind::Mcp2221), 60u);
    EXPECT_EQ(firstReadChunk(AdapterKind::Ch341), 26u);
    EXPECT_EQ(firstWriteChunk(AdapterKind::Ch341), 24u);
    EXPECT_EQ(firstReadChunk(AdapterKind::Cp2112), 128u);
}

} // namespace
} // namespace kestrel
