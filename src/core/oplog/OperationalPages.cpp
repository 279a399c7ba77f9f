#include "core/oplog/OperationalPages.h"

#include <algorithm>

namespace kestrel {

std::string_view pageChoiceTitle(PageChoice choice)
{
    switch (choice) {
    case PageChoice::TwentySeconds: return "20 секунд";
    case PageChoice::OneMinute: return "1 минута";
    case PageChoice::WholeCycle: break;
    }
    return "Цикл";
}

std::size_t pointsPerPage(PageChoice choice)
{
    switch (choice) {
    case PageChoice::TwentySeconds: return 20;
    case PageChoice::OneMinute: return 60;
    case PageChoice::WholeCycle: break;
    }
    return 0;
}

int pageCount(PageChoice choice, std::size_t pointCount)
{
    const std::size_t perPage = pointsPerPage(choice);
    if (perPage == 0 || pointCount == 0)
        return 1;
    return static_cast<int>((pointCount + perPage - 1) / perPage);
}

PageRange pageRange(PageChoice choice, std::size_t pointCount, int page)
{
    const std::size_t perPage = pointsPerPage(choice);
    if (perPage == 0)
        return {0, pointCount};
    const int clamped = std::clamp(page, 1, pageCount(choice, pointCount));
    const std::size_t first = static_cast<std::size_t>(clamped - 1) * perPage;
    return {first, std::min(first + perPage, pointCount)};
}

std::string pageLabel(int page, int pages) { return std::to_string(page) + ":" + std::to_string(pages); }

} // namespace kestrel
