#include "core/config/SensorField.h"

#include "core/config/NormalisationBlock.h"
#include "core/config/NormalisationText.h"
#include "core/text/NumberFormat.h"

#include <cmath>
#include <limits>

namespace kestrel {

namespace {

constexpr std::int32_t kLowest = std::numeric_limits<std::int16_t>::min();
constexpr std::int32_t kHighest = std::numeric_limits<std::int16_t>::max();

[[noreturn]] void outOfRange(std::string_view field, std::string_view value, std::string_view lowest,
    std::string_view highest)
{
    throw NormalisationError(std::string(field) + ": значение " + std::string(value)
        + " вне допустимого диапазона от " + std::string(lowest) + " до " + std::string(highest));
}

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

} // namespace

std::int16_t sensorCountFromText(std::string_view text, std::string_view field)
{
    const std::int32_t value = integerFromText(text, field);
    if (value < kLowest || value > kHighest)
        outOfRange(field, std::to_string(value), std::to_string(kLowest), std::to_string(kHighest));
    return static_cast<std::int16_t>(value);
}

std::int16_t sensorCountFromVolts(std::string_view text, std::string_view field, const DisplayLocale& locale)
{
    const double volts = decimalFromText(text, locale, field);
    const double count = std::round(volts / kVoltsPerSensorCount);
    if (count < kLowest || count > kHighest) {
        // The range as two-decimal volts that still round to a count the field holds.
        const double lowest = kLowest * kVoltsPerSensorCount;
        const double highest = std::floor(kHighest * kVoltsPerSensorCount * 100.0) / 100.0;
        outOfRange(field, trimmed(text) + " В", formatFixed(lowest, 2, locale), formatFixed(highest, 2, locale) + " В");
    }
    return static_cast<std::int16_t>(count);
}

std::string sensorFieldName(std::string_view sensorCaption, std::string_view valueName)
{
    return sensorCaption.empty() ? std::string(valueName) : std::string(sensorCaption) + ", " + std::string(valueName);
}

} // namespace kestrel
