#include "core/text/PlatformInteger.h"

#include <algorithm>

namespace kestrel {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::optional<std::int32_t> platformStrToInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;

    // Unsigned magnitude; the limits keep it inside 32 bits at every step.
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = hex ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * (hex ? 16u : 10u) + static_cast<unsigned>(digit);
        if (magnitude > 0xFFFFFFFFu)
            return std::nullopt;
    }

    std::uint32_t bits = 0;
    if (hex) {
        bits = static_cast<std::uint32_t>(magnitude);
    } else {
        if (magnitude > (negative ? 0x80000000u : 0x7FFFFFFFu))
            return std::nullopt;
        bits = static_cast<std::uint32_t>(magnitude);
    }
    if (negative)
        bits = 0u - bits;
    // Two's complement reinterpretation, well defined since C++20.
    return static_cast<std::int32_t>(bits);
}

std::int32_t platformStrToIntDef(std::string_view text, std::int32_t fallback)
{
    return platformStrToInt(text).value_or(fallback);
}

std::string hexText(std::uint32_t value, int digits)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char buffer[8];
    int n = 0;
    do {
        buffer[n++] = kDigits[value & 0xFu];
        value >>= 4;
    } while (value != 0);
    std::string text(static_cast<std::size_t>(std::max(digits, n) - n), '0');
    while (n > 0)
        text += buffer[--n];
    return text;
}

} // namespace kestrel
