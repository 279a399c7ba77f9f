#pragma once

#include "core/text/DisplayLocale.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// Numbers typed into the service page and its editors, read without the C runtime
// locale.

// Decimal digits with an optional leading minus, nothing else; nullopt otherwise
// (empty text, blanks, hexadecimal, overflow of 32 bits).
std::optional<std::int32_t> parseDecimalInteger(std::string_view text);

// A decimal number with `locale`'s separator ("12,5" under a Russian locale), an
// optional exponent, blanks around it allowed; nullopt when it is not one or when it
// is not a finite value of the type.
std::optional<float> parseDecimalFloat(std::string_view text, const DisplayLocale& locale);
std::optional<double> parseDecimalDouble(std::string_view text, const DisplayLocale& locale);

// The integer conversion of a cell or list text (decimal, or hexadecimal after "$"
// or "0x"); a text that does not convert throws ConfigurationError with the
// conversion's own message, integerConversionMessage.
std::int32_t convertInteger(std::string_view text);
// "«abc» не является целым числом"
std::string integerConversionMessage(std::string_view text);
// "«abc» не является числом"
std::string numberConversionMessage(std::string_view text);

} // namespace kestrel
