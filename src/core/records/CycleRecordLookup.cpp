#include "core/records/CycleRecordLookup.h"

#include "core/image/ImageLayout.h"

namespace kestrel {

std::optional<CycleRecordRef> findCycleRecord(ConstBytes image, std::string_view dateText)
{
    if (dateText.empty())
        return std::nullopt;
    for (const bool trip : {false, true}) {
        const std::size_t ring = trip ? layout::kTripRing : layout::kCycleRing;
        for (std::size_t slot = 0; slot < layout::kRingSlots; ++slot) {
            const StampBytes stamp = stampAt(image, ring + layout::kRecordSize * slot);
            if (stampText(stamp) == dateText)
                return CycleRecordRef{trip, static_cast<int>(slot), stamp};
        }
    }
    return std::nullopt;
}

} // namespace kestrel
