#pragma once

#include "core/reports/DocumentLines.h"
#include "core/reports/ReportInput.h"

#include <string>

namespace kestrel {

// The documents. Each appends the whole page, frame included, for the full
// title (shown in the browser's title bar) and the row limit. A writer that
// fails part-way throws and leaves the lines it appended so far.

void writeJournal(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input);
void writeProtocol1(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input);
void writeProtocol2(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input);
void writeProtocol3(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input);
void writeProtocol4(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input);
// "Оценка расчетного срока службы крана": the figures of input.life (the limit is not used).
void writeLifeAssessment(DocumentLines& lines, const std::string& fullTitle, int limit, const ReportInput& input);

// The journal's blank table stops here however large the limit: its rows are
// for handwriting, and a mistyped limit must not exhaust memory.
inline constexpr int kMaxJournalBlankRows = 1000;

} // namespace kestrel
