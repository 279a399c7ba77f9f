#include "core/reports/RowLimit.h"

#include <cstdint>
#include <limits>

namespace kestrel {

namespace {

int digitValue(char ch, int base)
{
    int value = -1;
    if (ch >= '0' && ch <= '9')
        value = ch - '0';
    else if (ch >= 'a' && ch <= 'f')
        value = ch - 'a' + 10;
    else if (ch >= 'A' && ch <= 'F')
        value = ch - 'A' + 10;
    return value < base ? value : -1;
}

} // namespace

int parseRowLimit(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    }
    if (i == text.size())
        return kDefaultRowLimit;

    // The magnitude may reach 2^31 for the most negative int.
    const std::int64_t maxMagnitude = static_cast<std::int64_t>(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], base);
        if (digit < 0)
            return kDefaultRowLimit;
        magnitude = magnitude * base + digit;
        if (magnitude > maxMagnitude)
            return kDefaultRowLimit;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

} // namespace kestrel
