#include "core/device/reader/AreaRange.h"

#include "core/text/PlatformInteger.h"

#include <string_view>

namespace kestrel {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The typed text without the blanks around it: a blank typed after a number is no slip.
std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The field as a 16-bit value; nullopt when it holds text that is not a number.
std::optional<std::uint16_t> fieldValue(const std::string& text, std::uint16_t fallback)
{
    const std::string_view typed = trimmed(text);
    if (typed.empty())
        return fallback;
    const auto value = platformStrToInt(typed);
    if (!value)
        return std::nullopt;
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(*value) & 0xFFFF);
}

void addLine(std::string& message, const char* field, const std::string& text)
{
    if (!message.empty())
        message += '\n';
    message += field;
    message += " задан неверно: «";
    message += text;
    message += "»";
}

} // namespace

std::string areaFieldsError(const AreaFields& fields)
{
    std::string message;
    if (!fieldValue(fields.eeStart, 0))
        addLine(message, "Адрес области", fields.eeStart);
    if (!fieldValue(fields.eeSize, kDeviceMemorySize))
        addLine(message, "Размер области", fields.eeSize);
    return message;
}

std::optional<AreaRange> readAreaRange(AreaFields& fields, UserInterface& ui)
{
    const auto start = fieldValue(fields.eeStart, 0);
    const auto size = fieldValue(fields.eeSize, kDeviceMemorySize);
    if (!start || !size) {
        ui.showMessage(areaFieldsError(fields));
        return std::nullopt;
    }
    AreaRange range{*start, *size};
    const bool startInside = range.start < kDeviceMemorySize;
    if (startInside && range.start + range.size > kDeviceMemorySize)
        range.size = static_cast<std::uint16_t>(kDeviceMemorySize - range.start);
    fields.eeStart = "0x" + hexText(range.start, 4);
    fields.eeSize = "0x" + hexText(range.size, 4);
    if (!startInside) {
        ui.showMessage(kAreaStartOutsideMessage);
        return std::nullopt;
    }
    return range;
}

} // namespace kestrel
