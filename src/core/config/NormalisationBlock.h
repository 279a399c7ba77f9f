#pragma once

#include "core/config/ServicePage.h"
#include "core/image/ByteAccess.h"
#include "core/text/DisplayLocale.h"

#include <array>
#include <string>

namespace kestrel {

using CalibrationTexts = std::array<std::array<std::string, 2>, 4>;

// Volts of the two-sensor layout per converter count: 5 V over 1024 counts.
inline constexpr double kVoltsPerSensorCount = 0.0048828125;

// The normalisation block at 0x6D0 from the "Qo" and "Qном" texts of lvCalibr, and
// the normalisation flag. Four-sensor layout: sensor k at 0x6D0 + 4·k, integer texts
// within the signed 16-bit field. Two-sensor layout (program name beginning with "2"): sensors 0 and 1
// at 0x6D0 + 8·k, the texts in volts turned back into counts (volts × 204.8 rounded
// to the nearest integer), except that a text still showing exactly what the list
// showed for the stored count keeps that count. A text that does not convert, or a
// value the field cannot hold, throws ConfigurationError naming the sensor and the value.
void composeNormalisationBlock(MutableBytes image, const CalibrationTexts& calibr, const DisplayLocale& locale);

} // namespace kestrel
