#include "core/text/Cp1251.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace kestrel {

namespace {

// Unicode code points of bytes 0x80..0xBF; 0xC0..0xFF map to U+0410..U+044F.
constexpr std::array<char32_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C,
    0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A,
    0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9,
    0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char32_t decodeByte(unsigned char b)
{
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return 0x0410 + (b - 0xC0);
    return kHigh[b - 0x80];
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

const std::unordered_map<char32_t, unsigned char>& encodeTable()
{
    static const auto table = [] {
        std::unordered_map<char32_t, unsigned char> t;
        for (int b = 0x80; b <= 0xFF; ++b)
            t.emplace(decodeByte(static_cast<unsigned char>(b)), static_cast<unsigned char>(b));
        return t;
    }();
    return table;
}

// Reads one code point; malformed sequences yield U+FFFD and consume one byte.
char32_t nextCodePoint(std::string_view s, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        c = lead & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto cont = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((cont & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (cont & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return c;
}

} // namespace

std::string cp1251ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes)
        appendUtf8(out, decodeByte(static_cast<unsigned char>(ch)));
    return out;
}

void appendCp1251(std::string& out, std::string_view text)
{
    // One output byte never needs more than one input byte, so the output is
    // written in place and trimmed at the end.
    const std::size_t start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    const auto& table = encodeTable();
    for (std::size_t i = 0; i < text.size();) {
        // Eight ASCII bytes at a time: HTML lines are mostly markup.
        std::uint64_t word;
        while (i + 8 <= text.size() && (std::memcpy(&word, text.data() + i, 8), (word & 0x8080808080808080ULL) == 0)) {
            std::memcpy(dst, &word, 8);
            dst += 8;
            i += 8;
        }
        if (i >= text.size())
            break;
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            *dst++ = static_cast<char>(lead);
            ++i;
            continue;
        }
        if ((lead == 0xD0 || lead == 0xD1) && i + 1 < text.size()) {
            // А..я in UTF-8 is D0 90 .. D1 8F: decoded here without the general path.
            const auto next = static_cast<unsigned char>(text[i + 1]);
            const char32_t letter = (static_cast<char32_t>(lead & 0x1F) << 6) | (next & 0x3F);
            if ((next & 0xC0) == 0x80 && letter >= 0x0410 && letter <= 0x044F) {
                *dst++ = static_cast<char>(0xC0 + (letter - 0x0410));
                i += 2;
                continue;
            }
        }
        const char32_t c = nextCodePoint(text, i);
        if (c >= 0x0410 && c <= 0x044F) { // А..я, most of every text
            *dst++ = static_cast<char>(0xC0 + (c - 0x0410));
        } else if (auto it = table.find(c); it != table.end()) {
            *dst++ = static_cast<char>(it->second);
        } else {
            *dst++ = '?';
        }
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

std::string utf8ToCp1251(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    appendCp1251(out, text);
    return out;
}

} // namespace kestrel
