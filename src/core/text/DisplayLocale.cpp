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

namespace {

// The locale name the environment gives one category, as the C library reads it:
// LC_ALL overrides the category's own variable, LANG is the default.
std::string categoryLocaleName(const char* category)
{
    for (const char* var : {"LC_ALL", category, "LANG"}) {
        const char* v = std::getenv(var);
        if (v != nullptr && *v != '\0')
            return v;
    }
    return "C";
}

} // namespace

DisplayLocale DisplayLocale::system()
{
    DisplayLocale result;
    result.decimalSeparator = fromName(categoryLocaleName("LC_NUMERIC")).decimalSeparator;
    result.shortDateFormat = fromName(categoryLocaleName("LC_TIME")).shortDateFormat;
    return result;
}

} // namespace kestrel
