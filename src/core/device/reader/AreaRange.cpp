#include "core/device/reader/AreaRange.h"

#include "core/text/PlatformInteger.h"

namespace kestrel {

namespace {

std::uint16_t fieldValue(const std::string& text, std::int32_t fallback)
{
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(platformStrToIntDef(text, fallback)) & 0xFFFF);
}

} // namespace

std::optional<AreaRange> readAreaRange(AreaFields& fields, UserInterface& ui)
{
    AreaRange range;
    range.start = fieldValue(fields.eeStart, 0);
    range.size = fieldValue(fields.eeSize, kDeviceMemorySize);
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
