#include "core/config/NormalisationText.h"

#include "core/text/PlatformInteger.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace kestrel {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

[[noreturn]] void refuse(std::string_view text, std::string_view field, std::string_view what)
{
    const std::string prefix = field.empty() ? std::string() : std::string(field) + ": ";
    if (trimmed(text).empty())
        throw NormalisationError(prefix + "значение не введено");
    throw NormalisationError(prefix + "«" + std::string(text) + "» не является " + std::string(what));
}

// The text with the locale's separator turned into the "." from_chars reads; nullopt
// for characters no decimal number of this locale has.
std::optional<std::string> portableDecimal(std::string_view text, char separator)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch >= '0' && ch <= '9')
            result += ch;
        else if (ch == separator)
            result += '.';
        else if (ch == '+' || ch == '-') {
            // from_chars takes no "+" of its own.
            if (i != 0 && text[i - 1] != 'e' && text[i - 1] != 'E')
                return std::nullopt;
            if (ch == '-')
                result += ch;
        } else if (ch == 'e' || ch == 'E')
            result += 'e';
        else
            return std::nullopt;
    }
    return result;
}

template <typename Number> Number decimalAs(std::string_view text, const DisplayLocale& locale, std::string_view field)
{
    const auto portable = portableDecimal(trimmed(text), locale.decimalSeparator);
    if (portable && !portable->empty()) {
        Number value{};
        const char* const end = portable->data() + portable->size();
        const auto [stop, error] = std::from_chars(portable->data(), end, value, std::chars_format::general);
        if (error == std::errc() && stop == end && std::isfinite(value))
            return value;
    }
    refuse(text, field, "числом");
}

} // namespace

double decimalFromText(std::string_view text, const DisplayLocale& locale, std::string_view field)
{
    return decimalAs<double>(text, locale, field);
}

float singleFromText(std::string_view text, const DisplayLocale& locale, std::string_view field)
{
    return decimalAs<float>(text, locale, field);
}

std::int32_t integerFromText(std::string_view text, std::string_view field)
{
    if (const auto value = platformStrToInt(text))
        return *value;
    refuse(text, field, "целым числом");
}

} // namespace kestrel
