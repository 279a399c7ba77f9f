#pragma once

#include "core/reports/DocumentLines.h"
#include "core/reports/HtmlEscape.h"
#include "core/reports/HtmlFragments.h"
#include "core/view/MainView.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kestrel::sections {

// Pieces the section writers share; not part of the documents' interface.

// H2 heading "N + title" and the paragraph that follows it.
inline void writeHeading(DocumentLines& lines, const std::string& n, const std::string& title)
{
    lines.push_back(std::string(html::kH2Open) + n + title + std::string(html::kH2Close));
    lines.emplace_back(html::kParagraphOpen);
}

// A label followed by a blank of `count` underscores.
inline std::string blankLine(const std::string& label, int count)
{
    return label + html::underscores(count) + std::string(html::kLineBreak);
}

// One cell line: opening fragment + text + closing tag.
inline std::string cellLine(std::string_view open, std::string_view text)
{
    std::string line;
    line.reserve(open.size() + text.size() + html::kDataCellClose.size());
    line.append(open).append(text).append(html::kDataCellClose);
    return line;
}

// A cell line whose text is copied from the window, escaped on the way.
inline std::string escapedCell(std::string_view open, std::string_view text)
{
    std::string line;
    line.reserve(open.size() + text.size() + html::kDataCellClose.size() + 8);
    line.append(open);
    appendEscapedHtml(line, text);
    line.append(html::kDataCellClose);
    return line;
}

// Sub-item j of a list row; a row built with fewer columns shows an empty cell.
inline const std::string& subItem(const ListRow& row, std::size_t j)
{
    static const std::string empty;
    return j < row.subItems.size() ? row.subItems[j] : empty;
}

// Calls visit(index) for the rows the limit lets through: indices below both the
// row count and the limit whose caption is not empty (an empty row still counts).
template <typename Row, typename Visit>
void forRowsUnderLimit(const std::vector<Row>& rows, int limit, Visit visit)
{
    for (std::size_t i = 0; i < rows.size() && static_cast<long long>(i) < limit; ++i)
        if (!rows[i].caption.empty())
            visit(i);
}

} // namespace kestrel::sections
