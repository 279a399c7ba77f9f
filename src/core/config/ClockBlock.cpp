#include "core/config/ClockBlock.h"

#include "core/config/AccessBlock.h"
#include "core/config/ConfigurationArea.h"
#include "core/config/ConfigurationError.h"
#include "core/config/ConfigurationMessages.h"
#include "core/image/DateTime.h"
#include "core/image/FixedText.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"

namespace kestrel {

using namespace config_area;

void composeClockBlock(MutableBytes image, const ClockSetting& clock, std::string_view operatorName)
{
    putFixedText(image, kClockOperator, layout::kOperatorNameLength, operatorName);
    addOperationFlag(image, kFlagClock);

    const bool timeExists = clock.year >= 1 && clock.year <= 9999 && clock.hour >= 0 && clock.hour < 24 && clock.minute >= 0 && clock.minute < 60
        && clock.second >= 0 && clock.second < 60;
    try {
        if (!timeExists)
            throw DateConversionError("no such time");
        // The pickers can only hold a date that exists; a value from elsewhere is checked here.
        encodeDateTime(clock.year, clock.month, clock.day, clock.hour, clock.minute);
    } catch (const DateConversionError&) {
        throw ConfigurationError(config_text::kClockComposeFailed);
    }
    const std::size_t at = kClock.address;
    image[at] = packBcd(clock.minute);
    image[at + 1] = packBcd(clock.hour);
    image[at + 2] = packBcd(clock.day);
    image[at + 3] = packBcd(clock.month);
    image[at + 4] = packBcd(clock.year % 100);
}

} // namespace kestrel
