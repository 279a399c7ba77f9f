#pragma once

#include "core/device/port/LibraryLoader.h"
#include "core/device/port/PlatformInfo.h"
#include "core/device/port/PortIoEntryPoints.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kestrel::test {

// The ports behind the fake library: registers that keep what is written, and a log
// of every access ("R8 0x379", "W8 0x37A=0x0D", "R16 ...", ...).
struct PortTraffic {
    std::map<std::uint32_t, std::uint32_t> registers;
    std::vector<std::string> log;

    void note(const char* kind, std::uint32_t port)
    {
        char text[48];
        std::snprintf(text, sizeof text, "%s 0x%X", kind, port);
        log.emplace_back(text);
    }
    void note(const char* kind, std::uint32_t port, std::uint32_t value)
    {
        char text[64];
        std::snprintf(text, sizeof text, "%s 0x%X=0x%X", kind, port, value);
        log.emplace_back(text);
    }
    std::uint32_t read(std::uint32_t port) const
    {
        const auto it = registers.find(port);
        return it == registers.end() ? 0 : it->second;
    }
};

namespace fakeport {

// The entry points are plain functions, so they reach the test's ports through this.
inline PortTraffic* traffic = nullptr;
inline std::string statusReason;
inline std::map<std::uint32_t, std::string> lostPorts;

inline std::uint8_t KESTREL_PORTIO_CALL readUchar(std::uint32_t port)
{
    traffic->note("R8", port);
    return static_cast<std::uint8_t>(traffic->read(port));
}
inline std::uint16_t KESTREL_PORTIO_CALL readUshort(std::uint32_t port)
{
    traffic->note("R16", port);
    return static_cast<std::uint16_t>(traffic->read(port));
}
inline std::uint32_t KESTREL_PORTIO_CALL readUlong(std::uint32_t port)
{
    traffic->note("R32", port);
    return traffic->read(port);
}
inline void KESTREL_PORTIO_CALL writeUchar(std::uint32_t port, std::uint8_t value)
{
    traffic->note("W8", port, value);
    traffic->registers[port] = value;
}
inline void KESTREL_PORTIO_CALL writeUshort(std::uint32_t port, std::uint16_t value)
{
    traffic->note("W16", port, value);
    traffic->registers[port] = value;
}
inline void KESTREL_PORTIO_CALL writeUlong(std::uint32_t port, std::uint32_t value)
{
    traffic->note("W32", port, value);
    traffic->registers[port] = value;
}
inline void neverCalled() {}
inline const char* status() { return statusReason.empty() ? nullptr : statusReason.c_str(); }
inline const char* portStatus(std::uint32_t port)
{
    const auto it = lostPorts.find(port);
    return it == lostPorts.end() ? nullptr : it->second.c_str();
}

} // namespace fakeport

// A loader whose one library exports recording entry points; the library can be
// missing, lack any export, refuse to be freed, or report its backend unusable.
class FakeLibraryLoader : public LibraryLoader {
public:
    PortTraffic traffic;
    bool libraryPresent = true;
    std::set<std::string> missingExports;
    bool freeSucceeds = true;
    std::vector<std::string> loadedPaths;
    int frees = 0;
    bool loaded = false;
    // What the system would say about a library that could not be loaded.
    std::string loadFailure;

    FakeLibraryLoader()
    {
        fakeport::traffic = &traffic;
        fakeport::statusReason.clear();
        fakeport::lostPorts.clear();
    }
    ~FakeLibraryLoader() override
    {
        fakeport::traffic = nullptr;
        fakeport::statusReason.clear();
        fakeport::lostPorts.clear();
    }
    FakeLibraryLoader(const FakeLibraryLoader&) = delete;
    FakeLibraryLoader& operator=(const FakeLibraryLoader&) = delete;

    // Makes the library export KestrelPortIoStatus returning this reason.
    void reportUnusable(std::string reason) { fakeport::statusReason = std::move(reason); }
    // Makes KestrelPortIoPortStatus report the port lost; it then reads 0xFF.
    void losePort(std::uint32_t port, std::string reason)
    {
        fakeport::lostPorts[port] = std::move(reason);
        traffic.registers[port] = 0xFF;
    }

    Handle load(const std::string& path) override
    {
        loadedPaths.push_back(path);
        if (!libraryPresent)
            return nullptr;
        loaded = true;
        return &library_;
    }
    Symbol resolve(Handle library, const std::string& name) override
    {
        if (library != &library_ || !loaded || missingExports.count(name) != 0)
            return nullptr;
        static const std::map<std::string, Symbol> exports = {
            {"DlPortReadPortUchar", reinterpret_cast<Symbol>(&fakeport::readUchar)},
            {"DlPortReadPortUshort", reinterpret_cast<Symbol>(&fakeport::readUshort)},
            {"DlPortReadPortUlong", reinterpret_cast<Symbol>(&fakeport::readUlong)},
            {"DlPortWritePortUchar", reinterpret_cast<Symbol>(&fakeport::writeUchar)},
            {"DlPortWritePortUshort", reinterpret_cast<Symbol>(&fakeport::writeUshort)},
            {"DlPortWritePortUlong", reinterpret_cast<Symbol>(&fakeport::writeUlong)},
            {"DlPortReadPortBufferUchar", &fakeport::neverCalled},
            {"DlPortReadPortBufferUshort", &fakeport::neverCalled},
            {"DlPortReadPortBufferUlong", &fakeport::neverCalled},
            {"DlPortWritePortBufferUchar", &fakeport::neverCalled},
            {"DlPortWritePortBufferUshort", &fakeport::neverCalled},
            {"DlPortWritePortBufferUlong", &fakeport::neverCalled},
        };
        if (name == kPortIoPortStatusEntryPoint)
            return reinterpret_cast<Symbol>(&fakeport::portStatus);
        if (name == kPortIoStatusEntryPoint)
            return fakeport::statusReason.empty() ? nullptr : reinterpret_cast<Symbol>(&fakeport::status);
        const auto it = exports.find(name);
        return it == exports.end() ? nullptr : it->second;
    }
    std::string lastFailure() override { return libraryPresent ? std::string() : loadFailure; }
    bool free(Handle library) override
    {
        ++frees;
        if (library != &library_ || !loaded || !freeSucceeds)
            return false;
        loaded = false;
        return true;
    }

private:
    char library_ = 0;
};

class FakePlatformInfo : public PlatformInfo {
public:
    explicit FakePlatformInfo(PlatformFamily family, std::string systemDirectory = "C:\\WINDOWS\\system32")
        : family_(family), systemDirectory_(std::move(systemDirectory))
    {
    }
    PlatformFamily family() override { return family_; }
    std::string systemDirectory() override { return systemDirectory_; }

private:
    PlatformFamily family_;
    std::string systemDirectory_;
};

} // namespace kestrel::test
