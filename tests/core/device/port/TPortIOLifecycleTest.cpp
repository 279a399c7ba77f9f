#include "core/device/port/TPortIO.h"
#include "core/device/port/PortIoEntryPoints.h"
#include "core/device/port/PortIoFailureText.h"
#include "core/device/port/FakePortLibrary.h"
#include "core/device/port/FakeServiceControlManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kestrel {
namespace {

using test::FakeLibraryLoader;
using test::FakePlatformInfo;
using test::FakeServiceControlManager;
using Trace = std::vector<std::string>;

struct TPortIOLifecycle : ::testing::Test {
    FakeLibraryLoader loader;
    FakeServiceControlManager services;
    FakePlatformInfo nt{PlatformFamily::WindowsNT};

    std::unique_ptr<TPortIO> make(PlatformInfo& platform)
    {
        return std::make_unique<TPortIO>(PortIoSeams{&loader, &services, &platform});
    }
    std::unique_ptr<TPortIO> makeNT() { return make(nt); }
    // The trace from a given point on.
    Trace traceFrom(std::size_t start) const { return Trace(services.trace.begin() + start, services.trace.end()); }
};

TEST_F(TPortIOLifecycle, ConstructionTouchesNothing)
{
    const auto io = makeNT();
    EXPECT_FALSE(io->ActiveHW());
    EXPECT_TRUE(io->IsNT());
    EXPECT_EQ(io->DriverPath(), "C:\\WINDOWS\\system32\\DRIVERS");
    EXPECT_EQ(io->DLLPath(), "");
    EXPECT_EQ(io->LastError(), "");
    EXPECT_TRUE(services.trace.empty());
    EXPECT_TRUE(loader.loadedPaths.empty());
}

TEST_F(TPortIOLifecycle, StoppedServiceIsStartedOnOpenAndStoppedButKeptOnClose)
{
    services.installed = true;
    auto io = makeNT();
    io->OpenDriver();
    ASSERT_TRUE(io->ActiveHW()) << io->LastError();
    EXPECT_EQ(services.trace, (Trace{"OpenSCManager 0x17", "OpenService 0x4", "OpenService 0x4", "QueryServiceStatus",
                                  "OpenService 0x10", "StartService"}));
    EXPECT_EQ(services.state, 4u);
    EXPECT_EQ(services.openHandles(), 1u) << "only the manager stays connected while open";
    EXPECT_EQ(loader.loadedPaths, Trace{kPortIoLibraryFileName});

    const std::size_t mark = services.trace.size();
    io->CloseDriver();
    EXPECT_FALSE(io->ActiveHW());
    EXPECT_EQ(traceFrom(mark), (Trace{"OpenService 0x24", "ControlService 0x1"}));
    EXPECT_TRUE(services.installed);
    EXPECT_EQ(services.state, 1u);
    EXPECT_EQ(services.openHandles(), 0u);
    EXPECT_FALSE(loader.loaded);
    EXPECT_EQ(io->LastError(), "");
}

TEST_F(TPortIOLifecycle, RunningServiceIsNeitherInstalledStartedStoppedNorDeleted)
{
    services.installed = true;
    services.state = 4;
    auto io = makeNT();
    io->OpenDriver();
    ASSERT_TRUE(io->ActiveHW());
    io->CloseDriver();
    EXPECT_FALSE(io->ActiveHW());
    for (const char* step : {"CreateService", "StartService", "ControlService", "DeleteService"})
        EXPECT_EQ(services.count(step), 0u) << step;
    EXPECT_EQ(services.state, 4u);
    EXPECT_TRUE(services.installed);
    EXPECT_EQ(services.openHandles(), 0u);
}

TEST_F(TPortIOLifecycle, MissingServiceIsInstalledFromDriverPathAndRemovedOnClose)
{
    auto io = makeNT();
    io->SetDriverPath("D:\\Kestrel");
    io->SetDLLPath("D:\\Lib");
    io->OpenDriver();
    ASSERT_TRUE(io->ActiveHW());
    ASSERT_TRUE(services.created.has_value());
    const auto& p = *services.created;
    EXPECT_EQ(p.name, "DLPortIO");
    EXPECT_EQ(p.displayName, "DriverLINX Port I/O Driver");
    EXPECT_EQ(p.access, 0x10034u);
    EXPECT_EQ(p.serviceType, 1u);
    EXPECT_EQ(p.startType, 3u);
    EXPECT_EQ(p.errorControl, 1u);
    EXPECT_EQ(p.binaryPath, "D:\\Kestrel\\DLPortIO.SYS");
    EXPECT_EQ(p.loadOrderGroup, "SST miniport drivers");
    EXPECT_EQ(loader.loadedPaths, Trace{std::string("D:\\Lib") + kPathSeparator + kPortIoLibraryFileName});
    EXPECT_EQ(services.state, 4u);

    const std::size_t mark = services.trace.size();
    io->CloseDriver();
    EXPECT_EQ(traceFrom(mark), (Trace{"OpenService 0x24", "ControlService 0x1", "OpenService 0x10000", "DeleteService"}));
    EXPECT_FALSE(services.installed);
    EXPECT_EQ(services.openHandles(), 0u);
}

TEST_F(TPortIOLifecycle, OpeningTwiceAndClosingWhenClosedDoNothing)
{
    auto io = makeNT();
    io->CloseDriver();
    EXPECT_TRUE(services.trace.empty());
    io->OpenDriver();
    const std::size_t mark = services.trace.size();
    io->OpenDriver();
    EXPECT_EQ(services.trace.size(), mark);
    EXPECT_EQ(loader.loadedPaths.size(), 1u);
    io->CloseDriver();
    const std::size_t closed = services.trace.size();
    io->CloseDriver();
    EXPECT_EQ(services.trace.size(), closed);
    EXPECT_EQ(loader.frees, 1);
}

TEST_F(TPortIOLifecycle, MissingLibraryUndoesTheServiceStepsOfThisOpening)
{
    loader.libraryPresent = false;
    auto io = makeNT();
    io->OpenDriver();
    EXPECT_FALSE(io->ActiveHW());
    EXPECT_EQ(io->LastError(), "");
    EXPECT_EQ(io->LibraryFailure(), std::string("не удалось загрузить ") + kPortIoLibraryFileName);
    EXPECT_FALSE(services.installed) << "installed by this opening, so removed again";
    EXPECT_EQ(services.openHandles(), 0u);
    EXPECT_EQ(loader.frees, 0);
}

TEST_F(TPortIOLifecycle, LibraryFailureCarriesTheSystemsReasonAndIsClearedByTheNextOpening)
{
    loader.libraryPresent = false;
    loader.loadFailure = libraryLoadFailureReason(193, 64);
    auto io = makeNT();
    io->SetDLLPath("D:\\Lib");
    io->OpenDriver();
    const std::string path = std::string("D:\\Lib") + kPathSeparator + kPortIoLibraryFileName;
    EXPECT_EQ(io->LibraryFailure(), "не удалось загрузить " + path + ": " + loader.loadFailure);
    EXPECT_EQ(io->LastError(), "");

    loader.libraryPresent = true;
    io->OpenDriver();
    EXPECT_TRUE(io->ActiveHW());
    EXPECT_EQ(io->LibraryFailure(), "") << "a reason from an earlier opening is no reason now";
}

TEST_F(TPortIOLifecycle, EveryEntryPointIsRequired)
{
    for (const char* name : kPortIoEntryPoints) {
        FakeServiceControlManager scm;
        scm.installed = true; // found stopped: started by the opening, so stopped again, not deleted
        loader.missingExports = {name};
        TPortIO io({&loader, &scm, &nt});
        io.OpenDriver();
        EXPECT_FALSE(io.ActiveHW()) << name;
        EXPECT_FALSE(loader.loaded) << name << ": the library is freed";
        EXPECT_EQ(io.LastError(), "") << name;
        EXPECT_EQ(io.LibraryFailure(), std::string("в библиотеке ") + kPortIoLibraryFileName + " нет функции " + name);
        EXPECT_TRUE(scm.installed) << name;
        EXPECT_EQ(scm.state, 1u) << name;
        EXPECT_EQ(scm.count("DeleteService"), 0u) << name;
        EXPECT_EQ(scm.openHandles(), 0u) << name;
        EXPECT_THROW(io.GetPortByte(0x378), PortError) << "no stale entry points after a failed opening";
    }
    EXPECT_TRUE(loader.traffic.log.empty());
}

TEST_F(TPortIOLifecycle, AccessDeniedManagerIsOpenedWithoutCreateRightsAndInstallThenFails)
{
    services.refuse("OpenSCManager", 5, 0x17);
    services.refuse("CreateService", 5);
    auto io = makeNT();
    io->OpenDriver();
    EXPECT_FALSE(io->ActiveHW());
    EXPECT_EQ(io->LastError(), "DriverInstall: Error #5");
    EXPECT_EQ(services.trace, (Trace{"OpenSCManager 0x17", "OpenSCManager 0x15", "OpenService 0x4", "CreateService 0x10034"}));
    EXPECT_EQ(services.openHandles(), 0u);
    EXPECT_TRUE(loader.loadedPaths.empty());
}

TEST_F(TPortIOLifecycle, ManagerRefusedForAnotherReasonIsNotRetried)
{
    services.refuse("OpenSCManager", 1722, 0x17);
    auto io = makeNT();
    io->OpenDriver();
    EXPECT_FALSE(io->ActiveHW());
    EXPECT_EQ(io->LastError(), "ConnectSCM: Error #1722");
    EXPECT_EQ(services.trace, Trace{"OpenSCManager 0x17"});

    // A later successful opening does not clear the text.
    services.clearRefusals();
    io->OpenDriver();
    EXPECT_TRUE(io->ActiveHW());
    EXPECT_EQ(io->LastError(), "ConnectSCM: Error #1722");
}

TEST_F(TPortIOLifecycle, StartFailures)
{
    {
        // Start pending: neither running nor stopped. The service was there, so it stays.
        FakeServiceControlManager scm;
        scm.installed = true;
        scm.state = 2;
        TPortIO io({&loader, &scm, &nt});
        io.OpenDriver();
        EXPECT_FALSE(io.ActiveHW());
        EXPECT_EQ(io.LastError(), "DriverStart: Error #-1");
        EXPECT_TRUE(scm.installed);
        EXPECT_EQ(scm.openHandles(), 0u);
    }
    {
        // A start refused after installing: the new service is deleted again.
        FakeServiceControlManager scm;
        scm.refuse("StartService", 577);
        TPortIO io({&loader, &scm, &nt});
        io.OpenDriver();
        EXPECT_FALSE(io.ActiveHW());
        EXPECT_EQ(io.LastError(), "DriverStart: Error #577");
        EXPECT_FALSE(scm.installed);
        EXPECT_EQ(scm.count("ControlService"), 0u);
        EXPECT_EQ(scm.openHandles(), 0u);
    }
    {
        // A failure is a failure even when the system has no code for it.
        FakeServiceControlManager scm;
        scm.installed = true;
        scm.refuse("QueryServiceStatus", 0);
        TPortIO io({&loader, &scm, &nt});
        io.OpenDriver();
        EXPECT_FALSE(io.ActiveHW());
        EXPECT_EQ(io.LastError(), "DriverStart: Error #0");
        EXPECT_EQ(scm.openHandles(), 0u);
    }
    EXPECT_TRUE(loader.loadedPaths.empty());
}

TEST_F(TPortIOLifecycle, FailedStopOrRemovalOnCloseKeepsItOpen)
{
    auto io = makeNT();
    io->OpenDriver();
    ASSERT_TRUE(io->ActiveHW());

    services.refuse("ControlService", 1051, 1);
    io->CloseDriver();
    EXPECT_TRUE(io->ActiveHW());
    EXPECT_EQ(io->LastError(), "DriverStop: Error #1051");
    EXPECT_TRUE(loader.loaded);
    EXPECT_EQ(services.openHandles(), 1u) << "the manager stays connected";
    EXPECT_NO_THROW(io->WritePortByte(0x378, 1));

    services.clearRefusals();
    services.refuse("OpenService", 5, 0x10000);
    io->CloseDriver();
    EXPECT_TRUE(io->ActiveHW());
    EXPECT_EQ(io->LastError(), "DriverRemove: Error #5");
    EXPECT_TRUE(loader.loaded);

    // The service is stopped by now: the next close only removes it.
    services.clearRefusals();
    const std::size_t mark = services.trace.size();
    io->CloseDriver();
    EXPECT_FALSE(io->ActiveHW());
    EXPECT_EQ(traceFrom(mark), (Trace{"OpenService 0x10000", "DeleteService"}));
    EXPECT_FALSE(services.installed);
    EXPECT_EQ(services.openHandles(), 0u);
}

TEST_F(TPortIOLifecycle, LibraryThatCannotBeFreedKeepsTheComponentOpen)
{
    FakePlatformInfo linuxPlatform(PlatformFamily::Linux);
    auto io = make(linuxPlatform);
    io->OpenDriver();
    loader.freeSucceeds = false;
    io->CloseDriver();
    EXPECT_TRUE(io->ActiveHW());
    loader.freeSucceeds = true;
    io->CloseDriver();
    EXPECT_FALSE(io->ActiveHW());
}

TEST_F(TPortIOLifecycle, DestructionClosesAnOpenComponent)
{
    {
        auto io = makeNT();
        io->OpenDriver();
        ASSERT_TRUE(io->ActiveHW());
    }
    EXPECT_FALSE(services.installed);
    EXPECT_FALSE(loader.loaded);
    EXPECT_EQ(services.openHandles(), 0u);

    // Even when the service manager refuses the close, nothing stays loaded or connected.
    services.installed = true;
    {
        auto io = makeNT();
        io->OpenDriver();
        services.refuse("ControlService", 1051, 1);
    }
    EXPECT_FALSE(loader.loaded);
    EXPECT_EQ(services.openHandles(), 0u);
}

TEST_F(TPortIOLifecycle, WithoutServiceManagerTheLibraryIsLoadedAlone)
{
    for (const auto family : {PlatformFamily::Windows9x, PlatformFamily::Linux}) {
        FakePlatformInfo platform(family, "");
        auto io = make(platform);
        EXPECT_FALSE(io->IsNT());
        EXPECT_EQ(io->DriverPath(), "");
        io->OpenDriver();
        EXPECT_TRUE(io->ActiveHW());
        io->CloseDriver();
        EXPECT_FALSE(io->ActiveHW());
        EXPECT_FALSE(loader.loaded);
    }
    EXPECT_TRUE(services.trace.empty());
}

TEST_F(TPortIOLifecycle, LibraryThatReportsItsBackendUnusableStaysClosedWithTheReason)
{
    loader.reportUnusable("ppdev: /dev/parport0: Permission denied");
    FakePlatformInfo linuxPlatform(PlatformFamily::Linux, "");
    auto io = make(linuxPlatform);
    io->OpenDriver();
    EXPECT_FALSE(io->ActiveHW());
    EXPECT_EQ(io->LastError(), "ppdev: /dev/parport0: Permission denied");
    EXPECT_FALSE(loader.loaded);
    EXPECT_THROW(io->GetPortByte(0x378), PortError);
}

} // namespace
} // namespace kestrel
