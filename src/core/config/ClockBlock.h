#pragma once

#include "core/config/ServicePage.h"
#include "core/image/ByteAccess.h"

#include <string_view>

namespace kestrel {

// The clock block at 0x60B: minute, hour, day, month and year modulo 100 in packed
// BCD (the seconds are not kept), then the operator name in 32 bytes. Sets the clock
// flag. A date or time that does not exist throws ConfigurationError with
// "Ошибка при формировании блока данных часов!".
void composeClockBlock(MutableBytes image, const ClockSetting& clock, std::string_view operatorName);

} // namespace kestrel
