#pragma once

#include "core/image/ByteAccess.h"
#include "core/text/DisplayLocale.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// How the recorder keeps its sensors: four sensors in converter counts, or (program
// names beginning with "2") two sensors shown in volts.
enum class SensorLayout { FourSensors, TwoSensors };

// By the first character of the program name in the image.
SensorLayout sensorLayoutOf(ConstBytes image);

// A sensor as the normalisation window edits it: caption, Qo and Qном texts.
struct SensorRow {
    std::string caption;
    std::string zero;
    std::string nominal;
};

// A sensor row of lvCalibr after confirming: Qo, Qном and the span Qном − Qo
// (Qтек is left empty).
struct ConfirmedSensor {
    std::string zero;
    std::string nominal;
    std::string span;
};

// eQo and eQnom as stored into the selected sensor when leaving either field: four
// sensors keep the low 16 bits of the integer, signed, in decimal; two sensors keep the
// volts as "0.00". Throws NormalisationError naming the field that does not convert.
SensorRow storedSensor(
    const SensorRow& sensor, std::string_view zeroText, std::string_view nominalText, SensorLayout layout,
    const DisplayLocale& locale);

// sbScale: Qном' = Qo + (Qном − Qo) · nominal / real, all in single precision; the new
// eQnom text ("0.00" for two sensors, truncated toward zero for four). nullopt when any
// text does not convert, the real value is 0 or the result is out of range: then nothing
// changes and nothing is said.
std::optional<std::string> scaledNominal(std::string_view zeroText, std::string_view nominalText,
    std::string_view nominalValueText, std::string_view realValueText, SensorLayout layout,
    const DisplayLocale& locale);

// "Ввод": the lvCalibr rows for the edited sensors, in order. A sensor whose texts do
// not convert ends the list there, so its row and the later ones stay as they were.
std::vector<ConfirmedSensor> confirmedSensors(
    const std::vector<SensorRow>& sensors, SensorLayout layout, const DisplayLocale& locale);

} // namespace kestrel
