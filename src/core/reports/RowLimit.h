#pragma once

#include <string_view>

namespace kestrel {

// The limit used when the entered text is not a number.
inline constexpr int kDefaultRowLimit = 10;

// The row limit the user typed, read by the platform's integer conversion (leading
// blanks, a sign, decimal digits or "$"/"0x"/"x" and hexadecimal digits); anything
// else gives kDefaultRowLimit.
int parseRowLimit(std::string_view text);

} // namespace kestrel
