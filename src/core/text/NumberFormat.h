#pragma once

#include "core/image/DateTime.h"
#include "core/text/DisplayLocale.h"

#include <string>

namespace kestrel {

// "0.00" / "0.0": the exact binary value rounded to `decimals` places, locale separator.
std::string formatFixed(double value, int decimals, const DisplayLocale& locale);

// General float format: the value widened to double, at most 15 significant digits,
// trailing zeros removed; exponent form for very large or very small magnitudes.
std::string formatGeneral(double value, const DisplayLocale& locale);

// Date part of a date-time value in the locale's short date format; throws DateConversionError.
std::string formatShortDate(DateTime value, const DisplayLocale& locale);

} // namespace kestrel
