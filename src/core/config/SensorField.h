#pragma once

#include "core/text/DisplayLocale.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// The recorder keeps each Qo and Qном in a signed 16-bit field: what it cannot hold is
// refused in words, never wrapped into another value.

// A count typed as an integer. Throws NormalisationError: "<field>: «abc» не является
// целым числом" or "<field>: значение 99999 вне допустимого диапазона от -32768 до 32767".
std::int16_t sensorCountFromText(std::string_view text, std::string_view field);

// A count of the two-sensor layout from volts typed with the locale's separator: the
// nearest count of 5/1024 V. Throws NormalisationError naming the field and the range in volts.
std::int16_t sensorCountFromVolts(std::string_view text, std::string_view field, const DisplayLocale& locale);

// "Датчик №2, Qном": where a sensor value is, for messages.
std::string sensorFieldName(std::string_view sensorCaption, std::string_view valueName);

} // namespace kestrel
