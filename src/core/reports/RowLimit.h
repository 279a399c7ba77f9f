#pragma once

#include <string_view>

namespace kestrel {

// The limit used when the entered text is not a number.
inline constexpr int kDefaultRowLimit = 10;

// The row limit the user typed: leading blanks, an optional sign, then decimal
// digits or "$" and hexadecimal digits, the whole text and within 32-bit int
// range; anything else gives kDefaultRowLimit.
int parseRowLimit(std::string_view text);

} // namespace kestrel
