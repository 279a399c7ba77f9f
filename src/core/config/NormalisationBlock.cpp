#include "core/config/NormalisationBlock.h"

#include "core/config/AccessBlock.h"
#include "core/config/ConfigurationArea.h"
#include "core/config/ConfigurationError.h"
#include "core/config/NormalisationText.h"
#include "core/config/SensorField.h"
#include "core/image/ImageLayout.h"
#include "core/text/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kestrel {

namespace {

constexpr std::size_t kSensorFields = 2; // Qo, then Qном

// A count of the two-sensor layout from the text of its list cell.
std::int16_t countFromVolts(
    const std::string& typed, std::int16_t storedCount, const std::string& field, const DisplayLocale& locale)
{
    // Two decimals cannot carry every count back: an untouched cell keeps its count.
    if (typed == formatFixed(storedCount * kVoltsPerSensorCount, 2, locale))
        return storedCount;
    return sensorCountFromVolts(typed, field, locale);
}

std::string sensorField(std::size_t sensor, std::size_t field)
{
    return sensorFieldName("Датчик №" + std::to_string(sensor + 1), field == 0 ? "Qo" : "Qном");
}

} // namespace

void composeNormalisationBlock(MutableBytes image, const CalibrationTexts& calibr, const DisplayLocale& locale)
{
    const std::size_t base = config_area::kNormalisation.address;
    const bool twoSensors = image[layout::kProgramName] == '2';
    // The counts as the list was filled from them, before the block is cleared.
    std::array<std::int16_t, 8> stored{};
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i] = readI16(image, base + 2 * i);

    const auto block = image.subspan(base, config_area::kNormalisation.length);
    std::fill(block.begin(), block.end(), std::uint8_t{0});

    try {
        if (twoSensors) {
            for (std::size_t k = 0; k < 2; ++k)
                for (std::size_t field = 0; field < kSensorFields; ++field) {
                    const std::size_t at = base + 8 * k + 2 * field;
                    writeI16(image, at,
                        countFromVolts(calibr[k][field], stored[(at - base) / 2], sensorField(k, field), locale));
                }
        } else {
            for (std::size_t k = 0; k < calibr.size(); ++k)
                for (std::size_t field = 0; field < kSensorFields; ++field)
                    writeI16(image, base + 4 * k + 2 * field, sensorCountFromText(calibr[k][field], sensorField(k, field)));
        }
    } catch (const NormalisationError& refused) {
        throw ConfigurationError(std::string("Нормировка датчиков не записана.\n") + refused.what());
    }
    addOperationFlag(image, config_area::kFlagNormalisation);
}

} // namespace kestrel
