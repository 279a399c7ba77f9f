#pragma once

#include "core/reports/DocumentLines.h"
#include "core/reports/ReportInput.h"

#include <string>

namespace kestrel {

// The sections the documents are assembled from. Each appends its lines and
// computes nothing: it copies what the main window shows. `n` is the section
// number as text ("1" .. "7"); sub-items are numbered from it ("3" → "3.1.").
// `limit` is the largest number of list rows to walk (≤ 0: header rows only).

void writeCraneSection(DocumentLines& lines, const std::string& n, const ReportInput& input);
void writeRecorderSection(DocumentLines& lines, const std::string& n, const ReportInput& input);
void writeStoredSection(DocumentLines& lines, const std::string& n, const ReportInput& input);
void writeCalculatedSection(DocumentLines& lines, const std::string& n, const ReportInput& input);
void writeOperationalSection(DocumentLines& lines, const std::string& n, int limit, const ReportInput& input);
// As the operational section, with empty cells beside the recorded loads for the measured ones.
void writeOperationalFactSection(DocumentLines& lines, const std::string& n, int limit, const ReportInput& input);
void writeConditionsSection(DocumentLines& lines, const std::string& n);
void writeSpecialistSection(DocumentLines& lines, const std::string& n);
void writeConclusion(DocumentLines& lines);
void writeLoadTable(DocumentLines& lines, const ReportInput& input);
void writeTripsTable(DocumentLines& lines, int limit, const ReportInput& input);

} // namespace kestrel
