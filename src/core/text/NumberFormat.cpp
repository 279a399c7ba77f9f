#include "core/text/NumberFormat.h"

#include <charconv>
#include <cmath>

namespace kestrel {

namespace {

std::string withSeparator(std::string text, char separator)
{
    for (char& ch : text)
        if (ch == '.')
            ch = separator;
    return text;
}

// Decimal digits of a non-negative integer, zero-padded to `width`. to_chars never
// looks at the C runtime locale, which the desktop program sets from the environment.
std::string paddedDigits(int v, int width)
{
    char buf[16];
    const auto result = std::to_chars(buf, buf + sizeof buf, v);
    std::string text(buf, result.ptr);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

std::string twoDigits(int v) { return paddedDigits(v, 2); }

} // namespace

std::string formatFixed(double value, int decimals, const DisplayLocale& locale)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    // to_chars rounds the exact binary value, as printf does, without printf's cost.
    char buf[400];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string text(buf, result.ptr);
    // A negative value that rounds to zero shows without its sign.
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return withSeparator(text, locale.decimalSeparator);
}

std::string formatGeneral(double value, const DisplayLocale& locale)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    if (value == 0.0)
        return "0";
    // 15 significant digits of the exact binary value, rounded: [-]d.dddddddddddddde[+-]XX
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const std::string_view text(buf, static_cast<std::size_t>(written.ptr - buf));
    const auto ePos = text.find('e');
    std::string_view exponentText = text.substr(ePos + 1);
    if (!exponentText.empty() && exponentText.front() == '+')
        exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    std::string mantissa(text.substr(0, ePos));
    const bool negative = mantissa[0] == '-';
    if (negative)
        mantissa.erase(0, 1);
    std::string digits;
    for (char ch : mantissa)
        if (ch != '.')
            digits += ch;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out;
    if (exponent >= 15 || exponent < -5) {
        out.append(digits, 0, 1);
        if (digits.size() > 1)
            out.append(1, '.').append(digits, 1);
        out.append(1, 'E').append(exponent < 0 ? "-" + paddedDigits(-exponent, 1) : paddedDigits(exponent, 1));
    } else if (exponent >= 0) {
        const auto intLen = static_cast<std::size_t>(exponent) + 1;
        out.append(digits, 0, intLen);
        if (digits.size() <= intLen)
            out.append(intLen - digits.size(), '0');
        else
            out.append(1, '.').append(digits, intLen);
    } else {
        out.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
    }
    if (negative)
        out.insert(0, "-");
    return withSeparator(out, locale.decimalSeparator);
}

std::string formatShortDate(DateTime value, const DisplayLocale& locale)
{
    const CalendarDate d = decodeDate(value);
    const std::string& f = locale.shortDateFormat;
    std::string out;
    for (std::size_t i = 0; i < f.size();) {
        const char ch = f[i];
        std::size_t run = 1;
        while (i + run < f.size() && f[i + run] == ch)
            ++run;
        if (ch == 'd') {
            out += paddedDigits(d.day, run >= 2 ? 2 : 1);
        } else if (ch == 'M') {
            out += paddedDigits(d.month, run >= 2 ? 2 : 1);
        } else if (ch == 'y') {
            out += run >= 4 ? paddedDigits(d.year, 4) : twoDigits(d.year % 100);
        } else {
            out.append(run, ch);
        }
        i += run;
    }
    return out;
}

} // namespace kestrel
