#include "core/image/Checksum.h"
#include "core/image/Counter24.h"
#include "core/image/DataFile.h"
#include "core/image/ImageCompare.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/pipeline/Pipeline.h"

#include <algorithm>

namespace kestrel {

using namespace layout;

namespace {

void subtractCounters(MemoryImage& current, const MemoryImage& earlier)
{
    for (std::size_t i = 0; i < kSpectrumBuckets; ++i) {
        subtractCounter24(current, kWinch1Spectrum + 3 * i, earlier);
        subtractCounter24(current, kWinch2Spectrum + 3 * i, earlier);
    }
    subtractCounter24(current, kMotorMinutes, earlier);
    subtractCounter24(current, kLimiterTrips, earlier);
}

// A record still in the same slot was already counted at the earlier reading.
void clearKnownRecords(MemoryImage& current, const MemoryImage& earlier, std::size_t ring)
{
    for (std::size_t slot = 0; slot < kRingSlots; ++slot) {
        const auto first = current.begin() + static_cast<long>(ring + kRecordSize * slot);
        const auto other = earlier.begin() + static_cast<long>(ring + kRecordSize * slot);
        if (std::equal(first, first + kRecordSize, other))
            std::fill(first, first + kRecordSize, std::uint8_t{0});
    }
}

// The reading date of an image as a date-time; an impossible date (31 February) is
// refused with a message that says where it is.
DateTime readingDateTime(const MemoryImage& image, const std::string& where)
{
    const StampBytes stamp = stampAt(image, kReadingStamp);
    try {
        return stampToDateTime(stamp);
    } catch (const DateConversionError&) {
        std::string text = stampText(stamp);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        throw DateConversionError(where + " указана несуществующая дата считывания " + text
            + ".\nНачало отчетного периода не изменено.");
    }
}

} // namespace

void subtractEarlierReading(MemoryImage& current, const MemoryImage& earlier)
{
    subtractCounters(current, earlier);
    clearKnownRecords(current, earlier, kCycleRing);
    clearKnownRecords(current, earlier, kTripRing);
}

bool applyPreviousPeriod(Session& s, const std::string& fileName, UserInterface& ui)
{
    const MemoryImage earlier = readImageFile(fileName);
    if (!checksumOk(earlier) && !ui.askYesNo(kChecksumQuestionFile))
        return false;
    return applyPreviousReading(s, earlier, "В файле " + fileName, ui);
}

bool applyPreviousReading(Session& s, const MemoryImage& earlier, const std::string& where, UserInterface& ui)
{
    // A reading of another recorder is refused as such, whatever its dates say.
    if (!identificationEqual(s.image, earlier)) {
        ui.showMessage(kWrongPreviousFileMessage);
        return false;
    }
    const DateTime currentReading = readingDateTime(s.image, "В текущих данных регистратора");
    const DateTime earlierReading = readingDateTime(earlier, where);
    // An absent reading date counts as 0, so an absent current date refuses every earlier reading.
    if (!(currentReading > earlierReading)) {
        ui.showMessage(kWrongPreviousFileMessage);
        return false;
    }

    subtractEarlierReading(s.image, earlier);
    clearDecoded(s);
    s.periodStart = earlierReading;
    if (!processImage(s, ui))
        ui.setStatusText(kProcessedWithErrorsStatus);
    return true;
}

} // namespace kestrel
