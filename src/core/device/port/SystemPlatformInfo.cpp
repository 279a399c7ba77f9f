#include "core/device/port/PlatformInfo.h"

#include "core/device/WindowsApi.h"

namespace kestrel {

namespace {

#if defined(_WIN32)

class WindowsPlatformInfo : public PlatformInfo {
public:
    PlatformFamily family() override
    {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
        const BOOL known = GetVersionExA(&info);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
        return known && info.dwPlatformId == VER_PLATFORM_WIN32_NT ? PlatformFamily::WindowsNT
                                                                    : PlatformFamily::Windows9x;
    }
    std::string systemDirectory() override
    {
        char buffer[260] = {};
        const UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
        if (length == 0 || length >= sizeof buffer)
            return {};
        return std::string(buffer, length);
    }
};

#else

class LinuxPlatformInfo : public PlatformInfo {
public:
    PlatformFamily family() override { return PlatformFamily::Linux; }
    std::string systemDirectory() override { return {}; }
};

#endif

} // namespace

PlatformInfo& systemPlatformInfo()
{
#if defined(_WIN32)
    static WindowsPlatformInfo info;
#else
    static LinuxPlatformInfo info;
#endif
    return info;
}

} // namespace kestrel
