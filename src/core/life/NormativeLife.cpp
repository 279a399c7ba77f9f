#include "core/life/NormativeLife.h"

#include "core/image/ByteAccess.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/life/DesignDuty.h"

#include <charconv>
#include <cmath>

namespace kestrel {

namespace {

// Years a passport can sensibly name: a crane made before 1900 or after 2099 is a typing error.
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2099;

// Takes 1..`most` digits from the front; nullopt when there are none.
std::optional<int> takeNumber(std::string_view& text, std::size_t most)
{
    std::size_t length = 0;
    while (length < text.size() && length < most && text[length] >= '0' && text[length] <= '9')
        ++length;
    if (length == 0 || (length < text.size() && text[length] >= '0' && text[length] <= '9'))
        return std::nullopt;
    int value = 0;
    std::from_chars(text.data(), text.data() + length, value);
    text.remove_prefix(length);
    return value;
}

bool takeSeparator(std::string_view& text, char& separator)
{
    if (text.empty() || (text.front() != '.' && text.front() != '/' && text.front() != '-'))
        return false;
    if (separator != 0 && text.front() != separator)
        return false;
    separator = text.front();
    text.remove_prefix(1);
    return true;
}

// "г." or "г" (Cyrillic, UTF-8) after the date, with or without a blank.
std::string_view withoutYearWord(std::string_view text)
{
    text = trimmedEntry(text);
    for (std::string_view word : {"\xD0\xB3.", "\xD0\xB3"}) // г. г
        if (text.ends_with(word)) {
            text.remove_suffix(word.size());
            break;
        }
    return trimmedEntry(text);
}

std::optional<DateTime> dateOf(int year, int month, int day)
{
    if (year < kFirstYear || year > kLastYear)
        return std::nullopt;
    try {
        return encodeDateTime(year, month, day, 0, 0);
    } catch (const DateConversionError&) {
        return std::nullopt; // 31.02 names no day
    }
}

// The same day and month `years` later; 29 February becomes 28 February in a common year.
DateTime yearsLater(DateTime start, int years)
{
    const CalendarDate date = decodeDate(start);
    try {
        return encodeDateTime(date.year + years, date.month, date.day, 0, 0);
    } catch (const DateConversionError&) {
        return encodeDateTime(date.year + years, date.month, date.day - 1, 0, 0);
    }
}

} // namespace

std::optional<DateTime> parseCommissioningDate(std::string_view text)
{
    text = withoutYearWord(text);
    std::string_view rest = text;
    char separator = 0;
    const auto first = takeNumber(rest, 4);
    if (!first || !takeSeparator(rest, separator))
        return std::nullopt;
    const auto second = takeNumber(rest, 2);
    if (!second || !takeSeparator(rest, separator))
        return std::nullopt;
    const std::size_t lastLength = rest.size();
    const auto third = takeNumber(rest, 4);
    if (!third || !rest.empty())
        return std::nullopt;
    const std::size_t firstLength = text.find(separator);
    if (firstLength == 4 && separator == '-' && lastLength <= 2)
        return dateOf(*first, *second, *third); // 1990-05-12
    if (firstLength <= 2 && lastLength == 4)
        return dateOf(*third, *second, *first); // 12.05.1990
    return std::nullopt;
}

NormativeLife normativeLife(int years, std::string_view commissioning, int yearOfManufacture, DateTime reading)
{
    NormativeLife life;
    if (years <= 0) {
        life.missing = years == 0 ? "в паспорте крана он не указан" : "его значение в паспорте крана не читается";
        return life;
    }
    life.years = years;
    if (const auto date = parseCommissioningDate(commissioning)) {
        life.basis = NormativeStart::Commissioning;
        life.start = *date;
    } else if (const auto made = dateOf(yearOfManufacture, 1, 1)) {
        life.basis = NormativeStart::Manufacture;
        life.start = *made;
    } else {
        life.missing = "в паспорте крана нет ни даты ввода в эксплуатацию, ни года изготовления";
        return life;
    }
    life.end = yearsLater(*life.start, years);
    if (reading > 0.0 && std::isfinite(reading))
        life.passed = std::floor(reading) >= *life.end;
    else
        life.missing = "дата считывания не читается, истечение не проверено";
    return life;
}

NormativeLife normativeLifeOf(const MemoryImage& image, DateTime reading)
{
    return normativeLife(readI8(image, layout::kServiceLife), fixedText(image, layout::kInServiceDate, 20),
        readI16(image, layout::kCraneYear), reading);
}

} // namespace kestrel
