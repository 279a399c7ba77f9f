#include "core/device/port/LibraryLoader.h"
#include "core/device/port/PlatformInfo.h"
#include "core/device/port/Registry.h"
#include "core/device/port/ServiceControlManager.h"
#include "core/device/port/TPortIO.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

#if !defined(_WIN32)

TEST(SystemSeams, LoaderFindsExportsOfARealLibrary)
{
    auto& loader = systemLibraryLoader();
    const auto libc = loader.load("libc.so.6");
    ASSERT_NE(libc, nullptr) << loader.lastFailure();
    const auto strlenSymbol = loader.resolve(libc, "strlen");
    ASSERT_NE(strlenSymbol, nullptr);
    EXPECT_EQ(reinterpret_cast<std::size_t (*)(const char*)>(strlenSymbol)("kestrel"), 7u);
    EXPECT_EQ(loader.resolve(libc, "DlPortReadPortUchar"), nullptr);
    EXPECT_NE(loader.lastFailure(), "");
    EXPECT_TRUE(loader.free(libc));

    EXPECT_EQ(loader.load("/nonexistent/libDLPortIO.so"), nullptr);
    EXPECT_NE(loader.lastFailure().find("libDLPortIO.so"), std::string::npos) << loader.lastFailure();
}

TEST(SystemSeams, LinuxHasNoServiceManagerAndNoRegistry)
{
    EXPECT_EQ(systemPlatformInfo().family(), PlatformFamily::Linux);
    EXPECT_FALSE(systemPlatformInfo().isNT());
    EXPECT_EQ(systemPlatformInfo().systemDirectory(), "");
    EXPECT_EQ(systemServiceControlManager().openManager(0x17), nullptr);
    EXPECT_EQ(systemRegistry().open(Registry::Root::LocalMachine, "HARDWARE\\DEVICEMAP\\PARALLEL PORTS", 9), nullptr);
}

TEST(SystemSeams, PortIoWithoutItsLibraryStaysClosedAndSaysWhy)
{
    test::TempDir empty;
    TPortIO io;
    EXPECT_FALSE(io.IsNT());
    io.SetDLLPath(empty.path().string());
    io.OpenDriver();
    EXPECT_FALSE(io.ActiveHW());
    EXPECT_EQ(io.LastError(), "");
    const std::string path = empty.path().string() + "/libDLPortIO.so";
    EXPECT_EQ(io.LibraryFailure().rfind("не удалось загрузить " + path + ": ", 0), 0u) << io.LibraryFailure();
    EXPECT_EQ(io.LibraryFailure().find(path, io.LibraryFailure().find(path) + 1), std::string::npos)
        << "the file is named once: " << io.LibraryFailure();
    EXPECT_THROW(io.WritePortByte(0x378, 0), PortError);
}

#endif

} // namespace
} // namespace kestrel
