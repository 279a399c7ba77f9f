#include "core/config/Normalisation.h"

#include "core/config/NormalisationText.h"
#include "core/config/SensorField.h"
#include "core/image/ImageLayout.h"
#include "core/text/NumberFormat.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace kestrel {

namespace {

constexpr std::string_view kZeroField = "Qо";
constexpr std::string_view kNominalField = "Qном";

// The recorder keeps 16-bit counts: a value beyond them is refused, naming the field.
std::string storedText(std::string_view text, SensorLayout layout, const DisplayLocale& locale, std::string_view field)
{
    if (layout == SensorLayout::TwoSensors) {
        sensorCountFromVolts(text, field, locale);
        return formatFixed(decimalFromText(text, locale, field), 2, locale);
    }
    return std::to_string(sensorCountFromText(text, field));
}

} // namespace

SensorLayout sensorLayoutOf(ConstBytes image)
{
    return image.size() > layout::kProgramName && image[layout::kProgramName] == '2' ? SensorLayout::TwoSensors
                                                                                     : SensorLayout::FourSensors;
}

SensorRow storedSensor(const SensorRow& sensor, std::string_view zeroText, std::string_view nominalText,
    SensorLayout layout, const DisplayLocale& locale)
{
    return {sensor.caption, storedText(zeroText, layout, locale, sensorFieldName(sensor.caption, kZeroField)),
        storedText(nominalText, layout, locale, sensorFieldName(sensor.caption, kNominalField))};
}

std::optional<std::string> scaledNominal(std::string_view zeroText, std::string_view nominalText,
    std::string_view nominalValueText, std::string_view realValueText, SensorLayout layout,
    const DisplayLocale& locale)
{
    try {
        const double real = decimalFromText(realValueText, locale, {});
        if (real == 0.0)
            return std::nullopt;
        const double quotient = decimalFromText(nominalValueText, locale, {}) / real;
        // A quotient beyond single precision has no float to be kept in.
        if (!(std::fabs(quotient) <= std::numeric_limits<float>::max()))
            return std::nullopt;
        const auto ratio = static_cast<float>(quotient);
        const float zero = singleFromText(zeroText, locale, {});
        const float nominal = singleFromText(nominalText, locale, {});
        const float scaled = zero + (nominal - zero) * ratio;
        if (!std::isfinite(scaled))
            return std::nullopt;
        if (layout == SensorLayout::TwoSensors)
            return formatFixed(scaled, 2, locale);
        const float whole = std::trunc(scaled);
        // Beyond 32 bits no integer can be shown; converting it would be undefined.
        if (whole < -2147483648.0F || whole >= 2147483648.0F)
            return std::nullopt;
        return std::to_string(static_cast<std::int32_t>(whole));
    } catch (const NormalisationError&) {
        return std::nullopt;
    }
}

std::vector<ConfirmedSensor> confirmedSensors(
    const std::vector<SensorRow>& sensors, SensorLayout layout, const DisplayLocale& locale)
{
    std::vector<ConfirmedSensor> rows;
    try {
        for (const SensorRow& sensor : sensors) {
            std::string span;
            if (layout == SensorLayout::TwoSensors)
                span = formatFixed(decimalFromText(sensor.nominal, locale, kNominalField)
                        - decimalFromText(sensor.zero, locale, kZeroField),
                    2, locale);
            else
                span = std::to_string(sensorCountFromText(sensor.nominal, kNominalField)
                    - sensorCountFromText(sensor.zero, kZeroField));
            rows.push_back({sensor.zero, sensor.nominal, std::move(span)});
        }
    } catch (const NormalisationError&) {
        // The rows before the failing sensor are confirmed; the rest keep what they had.
    }
    return rows;
}

} // namespace kestrel
