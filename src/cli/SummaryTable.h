#pragma once

#include "core/export/FleetSummaryWorkbook.h"
#include "core/text/DisplayLocale.h"

#include <string>
#include <vector>

namespace kestrel::cli {

// The lines `summary` prints, computed once for every output: the text table, CSV, or
// the workbook (writeFleetSummaryWorkbook).
struct SummaryTable {
    std::vector<FleetSummaryLine> lines;
    bool anyRead = false; // at least one file's bytes were read
};

// One line per data file named, a folder giving its *.bbd files sorted by name; each file
// runs through the program's own pipeline steps. Control characters in texts become "?".
SummaryTable summaryTable(const std::vector<std::string>& arguments, const DisplayLocale& locale);

} // namespace kestrel::cli
