#include "core/image/TimeStamp.h"

namespace kestrel {

namespace {

enum : std::size_t { kMinute, kHour, kDay, kMonth, kYear };

bool isBcd(std::uint8_t b) { return b < 0xA0 && (b & 0x0F) <= 9; }
int bcdValue(std::uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }

} // namespace

StampBytes stampAt(ConstBytes image, std::size_t offset)
{
    StampBytes s{};
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = image[offset + i];
    return s;
}

bool stampIsValid(const StampBytes& s)
{
    for (auto b : s)
        if (!isBcd(b))
            return false;
    const int day = bcdValue(s[kDay]);
    const int month = bcdValue(s[kMonth]);
    return bcdValue(s[kMinute]) < 60 && bcdValue(s[kHour]) < 24 && day >= 1 && day <= 31 && month >= 1
        && month <= 12;
}

std::string bcdDigits(std::uint8_t byte)
{
    // Nibbles are written as they stand, as the recorder's software does.
    std::string out(2, '0');
    out[0] = static_cast<char>('0' + (byte >> 4));
    out[1] = static_cast<char>('0' + (byte & 0x0F));
    return out;
}

std::string stampText(const StampBytes& s)
{
    if (!stampIsValid(s))
        return {};
    return bcdDigits(s[kDay]) + "." + bcdDigits(s[kMonth]) + ".20" + bcdDigits(s[kYear]) + " " + bcdDigits(s[kHour])
        + ":" + bcdDigits(s[kMinute]) + " ";
}

DateTime stampToDateTime(const StampBytes& s)
{
    if (!stampIsValid(s))
        return 0.0;
    return encodeDateTime(2000 + bcdValue(s[kYear]), bcdValue(s[kMonth]), bcdValue(s[kDay]), bcdValue(s[kHour]),
        bcdValue(s[kMinute]));
}

std::uint8_t packBcd(int value)
{
    int v = value % 100;
    if (v < 0)
        v += 100;
    return static_cast<std::uint8_t>(((v / 10) << 4) | (v % 10));
}

} // namespace kestrel
