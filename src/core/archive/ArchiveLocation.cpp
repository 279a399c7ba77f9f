#include "core/archive/ArchiveLocation.h"

#include <cstdlib>

namespace kestrel {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string defaultArchivePath()
{
#ifdef _WIN32
    const std::string local = environment("LOCALAPPDATA");
    return local.empty() ? std::string() : local + "\\Kestrel\\archive.sqlite";
#else
    const std::string data = environment("XDG_DATA_HOME");
    if (!data.empty() && data.front() == '/')
        return data + "/kestrel/archive.sqlite";
    const std::string home = environment("HOME");
    return home.empty() ? std::string() : home + "/.local/share/kestrel/archive.sqlite";
#endif
}

} // namespace kestrel
