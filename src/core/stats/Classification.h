#pragma once

#include "core/image/DateTime.h"
#include "core/stats/LoadStatistics.h"

#include <cstdint>
#include <stdexcept>

namespace kestrel {

// The text the main window shows when the classification fails.
inline constexpr const char* kClassificationFailureMessage = "Ошибка при обработке данных!\nПроверьте введенные значения.";

// An arithmetic failure of the classification (zero elapsed time, a value that no integer holds).
// what() is kClassificationFailureMessage.
class ArithmeticFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Computes every remaining field of the three blocks from their spectra and capacities.
// Steps run in a fixed order: sums, masses, coefficients, load classes, projected cycles,
// usage classes and groups. On a failure the fields of the steps already done keep their
// new values, the failing step and those after it change nothing, and ArithmeticFailure
// is thrown. Motor hours and limiter trips are not touched.
void classify(StatisticsBlocks& blocks, DateTime periodStart, DateTime periodEnd, int serviceLifeYears);

// The two halves of classify, for a caller that must fetch the period's end between them
// (converting the reading date is the first thing the usage half needs, and may fail):
// sums, masses, coefficients and load classes; then projected cycles, usage classes and groups.
void classifyLoads(StatisticsBlocks& blocks);
void classifyUsage(StatisticsBlocks& blocks, DateTime periodStart, DateTime periodEnd, int serviceLifeYears);

int loadClassOf(float coefficient);
int usageClassOf(std::int64_t projectedCycles);
int groupOf(int loadClass, int usageClass);

} // namespace kestrel
