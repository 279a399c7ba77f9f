#pragma once

#include "core/image/DateTime.h"
#include "core/text/DisplayLocale.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace kestrel {

// One cell of an Excel sheet. Numbers and dates are real numbers in the workbook (so a
// user can sort, filter and sum them); `text` is what the program shows for them and
// what a text cell holds.
struct XlsxCell {
    enum class Kind { Empty, Text, Number, Date };
    Kind kind = Kind::Empty;
    std::string text;
    double value = 0.0;    // Number: the value; Date: days since 30 December 1899
    int decimals = 0;      // Number: decimals shown ("0.00" for 2)
    bool withTime = false; // Date: shown as dd.mm.yyyy hh:mm, else dd.mm.yyyy
};

XlsxCell textCell(const std::string& text);
// The number a text shows, with as many decimals as it shows ("12,5" in a Russian locale:
// 12.5 shown as "0.0"). A text that is not a plain number ("—", "Q3", "") stays a text.
XlsxCell numberCell(const std::string& shown, const DisplayLocale& locale);
// A date-time value, with its time of day when the shown text has one ("01.02.2024 10:30").
// A value that names no date Excel can hold (0, before March 1900) leaves the text.
XlsxCell dateCell(DateTime value, const std::string& shown);

// A sheet: a header row (bold, frozen, with an autofilter) and the rows under it.
struct XlsxSheet {
    std::string name; // at most 31 characters, none of []:*?/\ (Excel's rules)
    std::vector<std::string> header;
    std::vector<std::vector<XlsxCell>> rows;
};

struct XlsxWorkbook {
    std::vector<XlsxSheet> sheets;
};

// The workbook could not be written; what() says so in Russian, with the reason.
class XlsxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// False in a build without libxlsxwriter (the Windows cross-build): writeXlsx then refuses.
bool xlsxSupported();

// Column width in characters that fits the longest text of column `column` (the header's
// with room for its filter button), at most kXlsxMaxColumnWidth.
double xlsxColumnWidth(const XlsxSheet& sheet, std::size_t column);
inline constexpr double kXlsxMaxColumnWidth = 80.0;

// Writes the workbook to `path`: first beside it under a temporary name, then renamed
// into place, so that a failed save leaves neither a partial file nor a changed old one.
// Throws XlsxError.
void writeXlsx(const XlsxWorkbook& workbook, const std::string& path);

} // namespace kestrel
