#include "core/reports/RowLimit.h"

#include "core/text/PlatformInteger.h"

namespace kestrel {

std::optional<int> parseRowLimit(std::string_view text)
{
    const auto limit = platformStrToInt(text);
    if (!limit || *limit < 0)
        return std::nullopt;
    return *limit;
}

std::string rowLimitRefusedMessage(std::string_view text)
{
    return "Количество циклов задано неверно: «" + std::string(text) + "».\nВведите целое число не меньше 0.";
}

} // namespace kestrel
