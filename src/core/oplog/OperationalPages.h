#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Paging of the cycle chart: "20 секунд", "1 минута" or the whole cycle on one page.
namespace kestrel {

enum class PageChoice {
    TwentySeconds = 0,
    OneMinute = 1,
    WholeCycle = 2, // the default
};

inline constexpr std::array<PageChoice, 3> kPageChoices{
    PageChoice::TwentySeconds, PageChoice::OneMinute, PageChoice::WholeCycle};

std::string_view pageChoiceTitle(PageChoice choice);

// Points shown on one page; 0 for the whole cycle.
std::size_t pointsPerPage(PageChoice choice);

// Number of pages for a chart of `pointCount` points per series; never below 1.
int pageCount(PageChoice choice, std::size_t pointCount);

// The points [first, end) shown on page `page` (1-based, clamped to 1..pageCount).
// Point index equals the time-axis value, so these are also the visible time range.
struct PageRange {
    std::size_t first = 0;
    std::size_t end = 0;
};
PageRange pageRange(PageChoice choice, std::size_t pointCount, int page);

// The page label: "page:pages", e.g. "1:3".
std::string pageLabel(int page, int pages);

} // namespace kestrel
