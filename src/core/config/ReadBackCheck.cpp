#include "core/config/ReadBackCheck.h"

#include "core/text/PlatformInteger.h"

#include <algorithm>

namespace kestrel {

using config_area::kArea;

ExpectedArea::ExpectedArea() : bytes_(kArea.length, 0) {}

void ExpectedArea::blockWritten(ConstBytes image, config_area::Block block)
{
    const auto source = image.subspan(block.address, block.length);
    std::copy(source.begin(), source.end(), bytes_.begin() + (block.address - kArea.address));
}

std::optional<std::uint16_t> ExpectedArea::firstDifference(ConstBytes readBack) const
{
    const std::size_t count = std::min(readBack.size(), bytes_.size());
    for (std::size_t i = 0; i < count; ++i)
        if (readBack[i] != bytes_[i])
            return static_cast<std::uint16_t>(kArea.address + i);
    if (readBack.size() != bytes_.size())
        return static_cast<std::uint16_t>(kArea.address + count);
    return std::nullopt;
}

std::string readBackDiffersMessage(std::uint16_t address)
{
    return "Проверка записи не прошла: по адресу 0x" + hexText(address, 4) + " в ПСИ не то, что записано!";
}

} // namespace kestrel
