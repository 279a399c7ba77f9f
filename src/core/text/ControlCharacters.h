#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// C0 controls, DEL and the C1 controls U+0080..U+009F (a terminal takes U+009B as the
// start of a command sequence, just as ESC "[").
bool isControlCharacter(char32_t codePoint);

// The UTF-8 text with every control character, and every byte that does not belong to
// a well-formed UTF-8 sequence, replaced by `replacement`; everything else, Cyrillic
// included, stays byte for byte. Texts from a recorder's memory reach terminals and
// file names through this.
std::string replaceControlCharacters(std::string_view text, std::string_view replacement);

} // namespace kestrel
