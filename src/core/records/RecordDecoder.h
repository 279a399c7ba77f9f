#pragma once

#include "core/image/ByteAccess.h"
#include "core/records/CycleRows.h"
#include "core/stats/LoadStatistics.h"

#include <stdexcept>

namespace kestrel {

class DecodingFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Capacities, motor hours, trip count, winch and crane spectra into the blocks, then
// the 64 cycle view rows. Throws DecodingFailure where the values cannot be folded;
// what was set before stays.
void decodeImage(ConstBytes image, StatisticsBlocks& blocks, CycleRows& rows);

// Folds a winch spectrum onto the crane's capacity: bucket d goes to ceil(d * ratio), capped at 169.
void foldIntoCraneSpectrum(const Spectrum& winch, float ratio, std::array<std::int64_t, 170>& crane);

// The state text of a record's flag byte.
std::string stateText(std::uint8_t flags, bool showServiceMode);

} // namespace kestrel
