#pragma once

#include <string>

namespace kestrel {

enum class PlatformFamily {
    Windows9x, // the port library is loaded alone; LPT ports are listed under HKEY_DYN_DATA
    WindowsNT, // the port library needs its kernel driver, installed as a service
    Linux,     // no service manager; LPT ports are listed by the kernel under /proc
};

// What the port component asks of the operating system.
class PlatformInfo {
public:
    virtual ~PlatformInfo() = default;
    virtual PlatformFamily family() = 0;
    // The Windows system directory (GetSystemDirectoryA); empty where there is none.
    virtual std::string systemDirectory() = 0;

    bool isNT() { return family() == PlatformFamily::WindowsNT; }
};

// GetVersionExA and GetSystemDirectoryA on Windows; Linux elsewhere.
PlatformInfo& systemPlatformInfo();

} // namespace kestrel
