#include "core/config/ProgramBlock.h"

#include "core/config/AccessBlock.h"
#include "core/config/ConfigurationArea.h"
#include "core/config/ConfigurationError.h"
#include "core/config/ConfigurationMessages.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/records/IdentificationOutput.h"
#include "core/text/PlatformInteger.h"

#include <algorithm>

namespace kestrel {

using namespace layout;

namespace {

constexpr std::size_t kAverTimeIndex = 10;
constexpr int kAverTimeUnitMs = 40;

std::uint16_t low16(std::int32_t value) { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFU); }

std::uint8_t switchByte(const std::array<bool, 5>& switches)
{
    std::uint8_t byte = 0;
    for (std::size_t bit = 0; bit < switches.size(); ++bit)
        if (switches[bit])
            byte = static_cast<std::uint8_t>(byte | (1U << bit));
    return byte;
}

// The value a spin edit holds for its text once it has left the field.
int spinValue(std::string& text, const ThresholdRange& range)
{
    const auto typed = platformStrToInt(text);
    const int value = typed ? std::clamp(*typed, range.minimum, range.maximum) : range.minimum;
    text = std::to_string(value);
    return value;
}

void putThresholds(MutableBytes image, ServicePage& page)
{
    for (std::size_t i = 0; i < kThresholdCount; ++i) {
        int value = spinValue(page.thresholds[i], kThresholdRanges[i]);
        if (i == kAverTimeIndex)
            value /= kAverTimeUnitMs;
        writeU16(image, kThresholds + 2 * i, low16(value));
    }
}

// A cell of sgVylet within what its field of the block holds; the message names the cell.
int gridCell(const ServicePage& page, std::size_t zone, std::size_t column, int highest)
{
    const std::string& typed = page.vylet[zone][column];
    const std::string where = std::string(config_text::kCharacteristicComposeFailed) + "\nЗона "
        + std::to_string(zone + 1) + ", «" + (column == 0 ? "Код датчика" : "Нагрузка, %") + "»: ";
    const auto value = platformStrToInt(typed);
    if (!value && typed.find_first_not_of(" \t") == std::string::npos)
        throw ConfigurationError(where + "значение не введено");
    if (!value)
        throw ConfigurationError(where + "«" + typed + "» не является целым числом");
    if (*value < 0 || *value > highest)
        throw ConfigurationError(where + "значение " + std::to_string(*value) + " вне допустимого диапазона от 0 до "
            + std::to_string(highest));
    return *value;
}

void putLoadCharacteristic(MutableBytes image, const ServicePage& page)
{
    for (std::size_t zone = 0; zone < kLoadCharacteristicZones; ++zone) {
        const std::size_t at = kLoadCharacteristic + 3 * zone;
        writeU16(image, at, static_cast<std::uint16_t>(gridCell(page, zone, 0, 0xFFFF)));
        image[at + 2] = static_cast<std::uint8_t>(gridCell(page, zone, 1, 0xFF));
    }
}

} // namespace

void composeProgramBlock(MutableBytes image, ServicePage& page, std::string_view operatorName)
{
    putFixedText(image, config_area::kProgramOperator, kOperatorNameLength, operatorName);
    addOperationFlag(image, config_area::kFlagProgram);
    image[kSwitches] = switchByte(page.switches);
    putThresholds(image, page);
    putLoadCharacteristic(image, page);
}

} // namespace kestrel
