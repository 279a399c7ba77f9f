#include "core/config/TypedNumber.h"

#include "core/config/ConfigurationError.h"
#include "core/text/PlatformInteger.h"

#include <charconv>
#include <cmath>

namespace kestrel {

namespace {

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

template <typename Number>
std::optional<Number> parseDecimal(std::string_view text, const DisplayLocale& locale)
{
    text = trimBlanks(text);
    if (text.empty() || text.size() > 64)
        return std::nullopt;
    // The typed separator becomes the point from_chars reads; a point typed under a
    // comma locale is not a separator there, so it stays a refused character.
    std::string normalised;
    for (const char c : text) {
        if (c == locale.decimalSeparator)
            normalised += '.';
        else if (c == '.' || c == ',')
            return std::nullopt;
        else
            normalised += c;
    }
    // from_chars also reads "inf" and "nan"; only digits, a sign, the point and an
    // exponent belong to a typed number.
    for (const char c : normalised)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return std::nullopt;
    std::string_view digits = normalised;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    Number value{};
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::int32_t> parseDecimalInteger(std::string_view text)
{
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<float> parseDecimalFloat(std::string_view text, const DisplayLocale& locale)
{
    return parseDecimal<float>(text, locale);
}

std::optional<double> parseDecimalDouble(std::string_view text, const DisplayLocale& locale)
{
    return parseDecimal<double>(text, locale);
}

std::int32_t convertInteger(std::string_view text)
{
    if (const auto value = platformStrToInt(text))
        return *value;
    throw ConfigurationError(integerConversionMessage(text));
}

std::string integerConversionMessage(std::string_view text)
{
    return "«" + std::string(text) + "» не является целым числом";
}

std::string numberConversionMessage(std::string_view text)
{
    return "«" + std::string(text) + "» не является числом";
}

} // namespace kestrel
