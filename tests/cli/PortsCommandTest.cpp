#include "cli/Commands.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestrel::cli {
namespace {

struct PortsCommand : ::testing::Test {
    test::TempDir root;
    std::ostringstream out, err;

    void addParport(const std::string& name, const std::string& baseAddr)
    {
        const auto dir = root.path() / "proc/sys/dev/parport" / name;
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "base-addr") << baseAddr;
    }
    // The i2c-dev class folder of the fake root: an adapter on the board, one on USB.
    std::string addI2cAdapter(int bus, const std::string& device, const std::string& name)
    {
        namespace fs = std::filesystem;
        const std::string entry = "i2c-" + std::to_string(bus);
        const fs::path adapter = root.path() / "sys/devices" / device / entry;
        fs::create_directories(adapter / "i2c-dev" / entry);
        std::ofstream(adapter / "name") << name << "\n";
        fs::create_directory_symlink(fs::path("../../..") / entry, adapter / "i2c-dev" / entry / "device");
        fs::create_directories(root.path() / "sys/class/i2c-dev");
        fs::create_directory_symlink(adapter / "i2c-dev" / entry, root.path() / "sys/class/i2c-dev" / entry);
        return (root.path() / "sys/class/i2c-dev").string();
    }
    int run(const Args& args) { return runCli(args, out, err); }
};

TEST_F(PortsCommand, ListsTheDetectedPortsInLptOrder)
{
    addParport("parport2", "956\t1980\n");
    addParport("parport0", "888\t1912\n");
    ASSERT_EQ(run({"ports", "--root", root.path().string(), "--i2c-class", (root.path() / "none").string()}), kExitOk)
        << err.str();
    EXPECT_EQ(out.str(), "LPT1 0x378\nLPT3 0x3BC\n"
                         "Адаптеры I2C не обнаружены (подключен ли USB-адаптер, загружен ли модуль i2c-dev?).\n");
}

TEST_F(PortsCommand, ListsTheI2cAdaptersAndProbesOnlyThoseOnUsb)
{
    addI2cAdapter(0, "pci0000:00/0000:00:1f.4", "SMBus I801 adapter at efa0");
    const std::string classFolder = addI2cAdapter(97, "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.2", "MCP2221 usb-i2c bridge");
    ASSERT_EQ(run({"ports", "--root", root.path().string(), "--i2c-class", classFolder}), kExitOk) << err.str();
    const std::string text = out.str();
    // The board's SMBus is never probed unasked (it carries the memory modules' EEPROMs).
    EXPECT_NE(text.find("/dev/i2c-0  SMBus I801 adapter at efa0  не USB  не USB, не проверяется (только по имени: "
                        "--device i2c:/dev/i2c-0)\n"),
        std::string::npos)
        << text;
    // The USB one is probed: here it has no device node, and that is said.
    EXPECT_NE(text.find("/dev/i2c-97  MCP2221 usb-i2c bridge  USB  Устройство /dev/i2c-97 не существует"),
        std::string::npos)
        << text;
}

TEST_F(PortsCommand, SaysSoWhenThereAreNone)
{
    ASSERT_EQ(run({"ports", "--root", root.path().string(), "--i2c-class", (root.path() / "none").string()}), kExitOk);
    EXPECT_TRUE(out.str().starts_with("Параллельные порты (LPT) не обнаружены.\n"));
    EXPECT_EQ(run({"ports", "extra"}), kExitUsage);
    EXPECT_NE(err.str().find("Использование: kestrel-cli ports"), std::string::npos);
}

} // namespace
} // namespace kestrel::cli
