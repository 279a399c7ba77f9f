#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// The row limit the user typed, read by the platform's integer conversion (leading
// blanks, a sign, decimal digits or "$"/"0x"/"x" and hexadecimal digits); nullopt for a
// text that is no number or a negative one (a slip must not pass for a limit).
std::optional<int> parseRowLimit(std::string_view text);

// "Количество циклов задано неверно: «abc».\nВведите целое число не меньше 0."
std::string rowLimitRefusedMessage(std::string_view text);

} // namespace kestrel
