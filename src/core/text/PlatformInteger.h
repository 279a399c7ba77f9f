#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// The platform's integer conversion of typed text: leading blanks, an optional sign,
// then decimal digits or hexadecimal digits after "0x", "0X", "$", "x" or "X".
// A 32-bit result; hexadecimal up to FFFFFFFF wraps into the negative numbers.
// Anything else (empty text, stray characters, overflow) does not convert.
std::optional<std::int32_t> platformStrToInt(std::string_view text);
std::int32_t platformStrToIntDef(std::string_view text, std::int32_t fallback);

// A port or memory address as upper-case hexadecimal with at least `digits` digits.
std::string hexText(std::uint32_t value, int digits);

} // namespace kestrel
