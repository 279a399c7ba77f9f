#pragma once

#include <string>

namespace kestrel {

// Time-axis label of a second of the chart: the second itself below one minute, then the
// second within its minute, and at each whole minute the minutes followed by "мин"
// (…, 58, 59, "1мин", 1, 2, …).
std::string timeLabel(int seconds);

} // namespace kestrel
