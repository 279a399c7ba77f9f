// Loads the built libDLPortIO.so as the port component does. Its backend is chosen
// once per process, so each case runs in a child process of its own.
#include "TestBusMaster.h"

#include "core/demo/DemoImage.h"
#include "core/device/port/PortIoEntryPoints.h"
#include "core/image/DataFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#ifdef KESTREL_PORTIO_LIBRARY_PATH
#include <dlfcn.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace kestrel::test {
namespace {

#ifdef KESTREL_PORTIO_LIBRARY_PATH

// Reports the first failed check and ends the child with code 1.
#define CHILD_CHECK(condition)                                                                                  \
    do {                                                                                                        \
        if (!(condition)) {                                                                                     \
            std::fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #condition);                        \
            std::exit(1);                                                                                       \
        }                                                                                                       \
    } while (0)

struct LoadedLibrary {
    explicit LoadedLibrary(const char* deviceSpec)
    {
        if (deviceSpec != nullptr)
            setenv("KESTREL_PORTIO", deviceSpec, 1);
        else
            unsetenv("KESTREL_PORTIO");
        handle = dlopen(KESTREL_PORTIO_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            std::fprintf(stderr, "dlopen: %s\n", dlerror());
            std::exit(2);
        }
        for (std::size_t i = 0; i < kPortIoEntryPointCount; ++i)
            CHILD_CHECK(dlsym(handle, kPortIoEntryPoints[i]) != nullptr);
        read = reinterpret_cast<PortReadUcharFn>(dlsym(handle, kPortIoEntryPoints[kReadPortUchar]));
        write = reinterpret_cast<PortWriteUcharFn>(dlsym(handle, kPortIoEntryPoints[kWritePortUchar]));
        status = reinterpret_cast<PortIoStatusFn>(dlsym(handle, kPortIoStatusEntryPoint));
        CHILD_CHECK(status != nullptr);
    }
    ~LoadedLibrary() { dlclose(handle); }

    void* handle = nullptr;
    PortReadUcharFn read = nullptr;
    PortWriteUcharFn write = nullptr;
    PortIoStatusFn status = nullptr;
};

// The library's byte entry points as a port, for the test master.
class LibraryPort : public PortAccess {
public:
    explicit LibraryPort(const LoadedLibrary& library) : library_(library) {}
    std::uint8_t GetPortByte(std::uint16_t port) override { return library_.read(port); }
    void WritePortByte(std::uint16_t port, std::uint8_t value) override { library_.write(port, value); }

private:
    const LoadedLibrary& library_;
};

void simulatedDeviceFromAFile(const std::string& file)
{
    const MemoryImage stored = makeDemoImage(3);
    saveImage(file, stored);
    {
        LoadedLibrary library(("sim:" + file + ",port=0x278").c_str());
        CHILD_CHECK(library.status() == nullptr);

        // Register round trip on the virtual port, and nothing on LPT1.
        library.write(0x27A, 0x0C);
        CHILD_CHECK(library.read(0x27A) == 0x0C);
        library.write(0x278, 0x0F);
        CHILD_CHECK(library.read(0x278) == 0x0F);
        CHILD_CHECK(library.read(0x279) == 0x78);
        library.write(0x278, 0x20);
        CHILD_CHECK(library.read(0x279) == 0xF8);
        library.write(0x278, 0x00);
        CHILD_CHECK(library.read(0x379) == 0xFF);
        CHILD_CHECK(library.read(0x10279) == 0xFF); // not a 16-bit port

        auto readWord = reinterpret_cast<PortReadUshortFn>(dlsym(library.handle, "DlPortReadPortUshort"));
        CHILD_CHECK(readWord(0x278) == 0x7800);

        // The memory behind the port is the file's, and a written page goes back to the file.
        LibraryPort port(library);
        TestBusMaster master(port, 0x278);
        const auto bytes = master.read(0x0100, 16);
        CHILD_CHECK(std::equal(bytes.begin(), bytes.end(), stored.begin() + 0x0100));
        CHILD_CHECK(master.write(0x0200, {0xDE, 0xAD}));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        CHILD_CHECK(master.addressAcknowledged()); // the write cycle is over
        const MemoryImage saved = readImageFile(file);
        CHILD_CHECK(saved[0x0200] == 0xDE && saved[0x0201] == 0xAD);
        CHILD_CHECK(saved[0x0202] == stored[0x0202]);
    }
    std::exit(0);
}

void withoutASelectionNoDemoAnswers()
{
    {
        // The machine's own ports (none here): nothing to announce at start, and no reader
        // device answers on the bus, let alone a simulated one with a demo crane.
        LoadedLibrary library(nullptr);
        CHILD_CHECK(library.status() == nullptr);
        LibraryPort port(library);
        TestBusMaster master(port, 0x378);
        bool answered = false;
        try {
            answered = master.addressAcknowledged();
        } catch (const std::exception&) {
            // A floating status register reads as SCL held low: nothing is there.
        }
        CHILD_CHECK(!answered);
    }
    std::exit(0);
}

void unusableBackend(const char* selection, const char* reasonMentions)
{
    {
        LoadedLibrary library(selection);
        const char* reason = library.status();
        CHILD_CHECK(reason != nullptr);
        std::fprintf(stderr, "reason: %s\n", reason);
        CHILD_CHECK(std::string(reason).find(reasonMentions) != std::string::npos);
        library.write(0x378, 0x30);
        CHILD_CHECK(library.read(0x378) == 0xFF);
        CHILD_CHECK(library.read(0x379) == 0xFF);
    }
    std::exit(0);
}

TEST(PortIoLibrary, SimulatedDeviceBehindTheTwelveEntryPoints)
{
    TempDir dir;
    EXPECT_EXIT(simulatedDeviceFromAFile(dir.file("reader.bbd")), ::testing::ExitedWithCode(0), "");
}

TEST(PortIoLibrary, UnsetVariableMeansRealPortsNeverTheSimulator)
{
    EXPECT_EXIT(withoutASelectionNoDemoAnswers(), ::testing::ExitedWithCode(0), "");
}

TEST(PortIoLibrary, MissingDeviceGivesAReasonAndAFloatingBus)
{
    EXPECT_EXIT(unusableBackend("ppdev:/dev/nonexistent", "/dev/nonexistent"), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(unusableBackend("sim,nack=2", "nack"), ::testing::ExitedWithCode(0), "");
}

TEST(PortIoLibrary, ASimulatedDeviceWithoutItsFileIsRefusedByName)
{
    // Never the demo memory under the name of a recorder's file, and no file made up.
    TempDir dir;
    const std::string missing = dir.file("mistyped.bbd");
    EXPECT_EXIT(unusableBackend(("sim:" + missing).c_str(), ("файл памяти " + missing + " не найден").c_str()),
        ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EXIT(unusableBackend(("sim:" + dir.path().string()).c_str(), "не является обычным файлом"),
        ::testing::ExitedWithCode(0), "");
}

#endif

} // namespace
} // namespace kestrel::test
