#pragma once

#include "core/image/ByteAccess.h"

#include <string>
#include <string_view>

namespace kestrel {

// Text of a zero-padded cp1251 field, up to its first zero byte, as UTF-8.
std::string fixedText(ConstBytes image, std::size_t offset, std::size_t length);
// The same without trailing blanks: the field as a name to compare or look up by.
std::string fixedTextTrimmed(ConstBytes image, std::size_t offset, std::size_t length);
// Clears the field, then stores at most `length` bytes of the text in cp1251.
void putFixedText(MutableBytes image, std::size_t offset, std::size_t length, std::string_view utf8Text);

} // namespace kestrel
