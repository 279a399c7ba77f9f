#include "core/oplog/TimeLabel.h"

namespace kestrel {

std::string timeLabel(int seconds)
{
    if (seconds < 60)
        return std::to_string(seconds);
    if (seconds % 60 != 0)
        return std::to_string(seconds % 60);
    return std::to_string(seconds / 60) + "мин";
}

} // namespace kestrel
