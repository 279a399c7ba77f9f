#include "core/reports/HtmlFragments.h"

namespace kestrel::html {

std::string headerCell(int width)
{
    return "<TH width=\"" + std::to_string(width) + "%\" align=\"center\">";
}

std::string dataCell(int width)
{
    return "<TD width=\"" + std::to_string(width) + "%\" align=\"center\">&nbsp;";
}

std::string leftDataCell(int width)
{
    return "<TD width=\"" + std::to_string(width) + "%\" align=\"left\">&nbsp;";
}

std::string underscores(int count)
{
    return count > 0 ? std::string(static_cast<std::size_t>(count), '_') : std::string();
}

} // namespace kestrel::html
