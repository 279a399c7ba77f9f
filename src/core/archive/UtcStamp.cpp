#include "core/archive/UtcStamp.h"

namespace kestrel {

namespace {

std::string twoDigits(unsigned value)
{
    return std::string{static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

} // namespace

std::string utcStamp(std::chrono::sys_seconds when)
{
    using namespace std::chrono;
    const auto day = floor<days>(when);
    const year_month_day date{day};
    const hh_mm_ss time{when - day};
    return std::to_string(static_cast<int>(date.year())) + "-" + twoDigits(static_cast<unsigned>(date.month())) + "-"
        + twoDigits(static_cast<unsigned>(date.day())) + "T" + twoDigits(static_cast<unsigned>(time.hours().count()))
        + ":" + twoDigits(static_cast<unsigned>(time.minutes().count())) + ":"
        + twoDigits(static_cast<unsigned>(time.seconds().count())) + "Z";
}

std::string utcStampNow()
{
    return utcStamp(std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));
}

} // namespace kestrel
