#include "core/reports/HtmlFragments.h"

#include <algorithm>
#include <array>

namespace kestrel::html {

namespace {

// Cell openings for widths 0..100 %, built once: the documents use a handful of
// widths thousands of times.
using CellTable = std::array<std::string, 101>;

CellTable buildCells(const char* prefix, const char* suffix)
{
    CellTable t;
    for (std::size_t w = 0; w < t.size(); ++w)
        t[w] = prefix + std::to_string(w) + suffix;
    return t;
}

std::size_t percent(int width) { return static_cast<std::size_t>(std::clamp(width, 0, 100)); }

} // namespace

const std::string& headerCell(int width)
{
    static const CellTable table = buildCells("<TH width=\"", "%\" align=\"center\">");
    return table[percent(width)];
}

const std::string& dataCell(int width)
{
    static const CellTable table = buildCells("<TD width=\"", "%\" align=\"center\">&nbsp;");
    return table[percent(width)];
}

const std::string& leftDataCell(int width)
{
    static const CellTable table = buildCells("<TD width=\"", "%\" align=\"left\">&nbsp;");
    return table[percent(width)];
}

std::string underscores(int count)
{
    return count > 0 ? std::string(static_cast<std::size_t>(count), '_') : std::string();
}

} // namespace kestrel::html
