#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

// Date-time values as the recorder's files and the documents count them:
// days since 30 December 1899, the time of day as the fraction.
using DateTime = double;

class DateConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws DateConversionError when the date does not exist.
DateTime encodeDateTime(int year, int month, int day, int hour, int minute);

struct CalendarDate {
    int year;
    int month;
    int day;
};

// Date part of a value (its whole days, truncated towards zero); throws for years outside 1..9999.
CalendarDate decodeDate(DateTime value);

} // namespace kestrel
