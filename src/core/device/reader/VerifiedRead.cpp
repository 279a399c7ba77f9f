#include "core/device/reader/VerifiedRead.h"

#include "core/text/PlatformInteger.h"

#include <algorithm>
#include <vector>

namespace kestrel {

std::optional<std::size_t> firstDifference(std::span<const std::uint8_t> first, std::span<const std::uint8_t> second)
{
    const auto [a, b] = std::mismatch(first.begin(), first.end(), second.begin(), second.end());
    if (a == first.end() && b == second.end())
        return std::nullopt;
    return static_cast<std::size_t>(a - first.begin());
}

std::string readingsDifferMessage(std::uint32_t address)
{
    return "Два чтения ПСИ не совпадают: первое различие по адресу 0x" + hexText(address, 4) + "!";
}

bool readDeviceChecked(
    ReaderDeviceTransfer& transfer, std::uint16_t start, std::span<std::uint8_t> buffer, ReadCheck check)
{
    if (!transfer.readDevice(start, buffer))
        return false;
    if (check == ReadCheck::Once)
        return true;
    std::vector<std::uint8_t> second(buffer.size());
    if (!transfer.readDevice(start, second))
        return false;
    const auto difference = firstDifference(buffer, second);
    if (!difference)
        return true;
    UserInterface& ui = transfer.ui();
    ui.showError(kReaderCaption, readingsDifferMessage(static_cast<std::uint32_t>(start + *difference)));
    ui.setStatusText(kReadFailed);
    return false;
}

} // namespace kestrel
