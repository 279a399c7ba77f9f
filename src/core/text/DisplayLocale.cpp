#include "core/text/DisplayLocale.h"

#include <cstdlib>

namespace kestrel {

DisplayLocale DisplayLocale::russian() { return {',', "dd.MM.yyyy"}; }

DisplayLocale DisplayLocale::c() { return {'.', "dd.MM.yyyy"}; }

DisplayLocale DisplayLocale::fromName(const std::string& name)
{
    const std::string lang = name.substr(0, name.find_first_of("_.@"));
    if (lang == "ru" || lang == "uk" || lang == "be" || lang == "kk" || lang == "de" || lang == "pl")
        return russian();
    if (name.rfind("en_US", 0) == 0)
        return {'.', "M/d/yyyy"};
    if (name.rfind("en_GB", 0) == 0 || lang == "fr" || lang == "es" || lang == "it")
        return {lang == "en" ? '.' : ',', "dd/MM/yyyy"};
    return c();
}

DisplayLocale DisplayLocale::system()
{
    for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* v = std::getenv(var);
        if (v != nullptr && *v != '\0')
            return fromName(v);
    }
    return c();
}

} // namespace kestrel
