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
    int run(const Args& args) { return runCli(args, out, err); }
};

TEST_F(PortsCommand, ListsTheDetectedPortsInLptOrder)
{
    addParport("parport2", "956\t1980\n");
    addParport("parport0", "888\t1912\n");
    ASSERT_EQ(run({"ports", "--root", root.path().string()}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "LPT1 0x378\nLPT3 0x3BC\n");
}

TEST_F(PortsCommand, SaysSoWhenThereAreNone)
{
    ASSERT_EQ(run({"ports", "--root", root.path().string()}), kExitOk);
    EXPECT_EQ(out.str(), "Параллельные порты (LPT) не обнаружены.\n");
    EXPECT_EQ(run({"ports", "extra"}), kExitUsage);
    EXPECT_NE(err.str().find("usage: kestrel-cli ports"), std::string::npos);
}

} // namespace
} // namespace kestrel::cli
