#pragma once

#include "core/image/DateTime.h"
#include "core/stats/LoadStatistics.h"

#include <stdexcept>

namespace kestrel {

// An arithmetic failure of the classification (zero elapsed time, a value that no integer holds).
class ArithmeticFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Computes every remaining field of the three blocks from their spectra and capacities.
// Steps run in a fixed order; on a failure the fields of the steps already done keep
// their new values and ArithmeticFailure is thrown.
void classify(StatisticsBlocks& blocks, DateTime periodStart, DateTime periodEnd, int serviceLifeYears);

int loadClassOf(float coefficient);
int usageClassOf(std::int64_t projectedCycles);
int groupOf(int loadClass, int usageClass);

} // namespace kestrel
