#include "core/image/FixedText.h"

#include "core/text/Cp1251.h"

#include <algorithm>

namespace kestrel {

std::string fixedText(ConstBytes image, std::size_t offset, std::size_t length)
{
    const auto field = image.subspan(offset, length);
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    const std::string raw(field.begin(), end);
    return cp1251ToUtf8(raw);
}

std::string fixedTextTrimmed(ConstBytes image, std::size_t offset, std::size_t length)
{
    std::string text = fixedText(image, offset, length);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

void putFixedText(MutableBytes image, std::size_t offset, std::size_t length, std::string_view utf8Text)
{
    auto field = image.subspan(offset, length);
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    const std::string bytes = utf8ToCp1251(utf8Text);
    std::copy_n(bytes.begin(), std::min(bytes.size(), length), field.begin());
}

} // namespace kestrel
