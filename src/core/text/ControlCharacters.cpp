#include "core/text/ControlCharacters.h"

#include <cstdint>

namespace kestrel {

namespace {

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at `at` and its code point; 0 when malformed
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::size_t decodeAt(std::string_view s, std::size_t at, char32_t& codePoint)
{
    const auto b0 = static_cast<unsigned char>(s[at]);
    if (b0 < 0x80) {
        codePoint = b0;
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        codePoint = b0 & 0x1Fu;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        codePoint = b0 & 0x0Fu;
        if (b0 == 0xE0)
            low = 0xA0;
        else if (b0 == 0xED)
            high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        codePoint = b0 & 0x07u;
        if (b0 == 0xF0)
            low = 0x90;
        else if (b0 == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > s.size())
        return 0;
    const auto b1 = static_cast<unsigned char>(s[at + 1]);
    if (b1 < low || b1 > high)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[at + k]);
        if (!isContinuation(b))
            return 0;
        codePoint = (codePoint << 6) | (b & 0x3Fu);
    }
    return length;
}

} // namespace

bool isControlCharacter(char32_t codePoint)
{
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

std::string replaceControlCharacters(std::string_view text, std::string_view replacement)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t codePoint = 0;
        const std::size_t length = decodeAt(text, at, codePoint);
        if (length == 0 || isControlCharacter(codePoint)) {
            out += replacement;
            at += length == 0 ? 1 : length;
        } else {
            out.append(text, at, length);
            at += length;
        }
    }
    return out;
}

} // namespace kestrel
