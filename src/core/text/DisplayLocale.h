#pragma once

#include <string>

namespace kestrel {

// What the user's locale decides about the texts the window shows.
struct DisplayLocale {
    char decimalSeparator = '.';
    // Short date pattern with d, dd, M, MM, yy, yyyy and literal separators ("dd.MM.yyyy").
    std::string shortDateFormat = "dd.MM.yyyy";

    static DisplayLocale russian();
    static DisplayLocale c();
    // By a locale name such as "ru_RU.UTF-8", "de_DE", "en_US", "C".
    static DisplayLocale fromName(const std::string& name);
    // From the process environment, as the C library reads it: the separator from
    // LC_ALL, LC_NUMERIC, LANG; the short date from LC_ALL, LC_TIME, LANG.
    static DisplayLocale system();
};

} // namespace kestrel
