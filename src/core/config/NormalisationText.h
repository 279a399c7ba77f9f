#pragma once

#include "core/text/DisplayLocale.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrel {

// A normalisation text that does not convert; what() is the Russian message shown.
class NormalisationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A decimal number typed with the locale's separator ("2,50" in Russian, "2.50" in C):
// blanks around it, an optional sign and exponent. The other separator, letters,
// "inf"/"nan" and an empty text do not convert. `field` names the value in the message.
double decimalFromText(std::string_view text, const DisplayLocale& locale, std::string_view field);
// The same, read in single precision.
float singleFromText(std::string_view text, const DisplayLocale& locale, std::string_view field);
// A 32-bit integer as the platform converts typed text.
std::int32_t integerFromText(std::string_view text, std::string_view field);

} // namespace kestrel
