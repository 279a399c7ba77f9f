#include "core/image/DateTime.h"

#include <chrono>
#include <cmath>
#include <string>

namespace kestrel {

namespace {

constexpr std::chrono::sys_days kEpoch{std::chrono::year{1899} / std::chrono::December / 30};

// Largest day number that still names a year below 10000 (31 December 9999).
constexpr double kMaxDay = 2958465.0;
// 1 January 0001.
constexpr double kMinDay = -693593.0;

} // namespace

DateTime encodeDateTime(int year, int month, int day, int hour, int minute)
{
    using namespace std::chrono;
    const year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
        std::chrono::day{static_cast<unsigned>(day)}};
    if (month < 1 || month > 12 || day < 1 || day > 31 || !ymd.ok())
        throw DateConversionError("Несуществующая дата: день " + std::to_string(day) + ", месяц " + std::to_string(month)
            + ", год " + std::to_string(year) + ".");
    const double days = static_cast<double>((sys_days{ymd} - kEpoch).count());
    return days + (hour * 60.0 + minute) / 1440.0;
}

CalendarDate decodeDate(DateTime value)
{
    using namespace std::chrono;
    if (!std::isfinite(value) || value < kMinDay || value >= kMaxDay + 1.0)
        throw DateConversionError("Дата вне допустимого диапазона (годы от 1 до 9999).");
    const auto whole = static_cast<long>(std::trunc(value));
    const year_month_day ymd{kEpoch + days{whole}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
        static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

} // namespace kestrel
