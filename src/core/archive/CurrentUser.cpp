#include "core/archive/CurrentUser.h"

#include <cstdlib>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace kestrel {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string currentUserName()
{
#ifdef _WIN32
    // The environment is in the ANSI code page; the wide call gives the name as UTF-8.
    wchar_t wide[257]{};
    DWORD size = 257;
    if (GetUserNameW(wide, &size) && size > 1) {
        const int length = static_cast<int>(size - 1);
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
        std::string name(static_cast<std::size_t>(bytes), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide, length, name.data(), bytes, nullptr, nullptr);
        return name;
    }
    return environment("USERNAME");
#else
    for (const char* name : {"USER", "LOGNAME"})
        if (std::string value = environment(name); !value.empty())
            return value;
    // A service or a cron job may run without either; the password database still knows.
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name != nullptr)
        return entry->pw_name;
    return {};
#endif
}

} // namespace kestrel
