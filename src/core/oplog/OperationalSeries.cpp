#include "core/oplog/OperationalSeries.h"

namespace kestrel {

const std::array<SeriesLook, kOperationalSeriesCount>& seriesLooks()
{
    static const std::array<SeriesLook, kOperationalSeriesCount> looks{{
        {"Нагрузка 1", SeriesKind::Area, 0x00FFFF, false, true},
        {"Нагрузка 2", SeriesKind::Area, 0x0000FF, false, true},
        {"Реле 1", SeriesKind::Stairs, 0x00FF00, false, false},
        {"Реле 2", SeriesKind::Stairs, 0x008000, false, false},
        {"Звук", SeriesKind::Stairs, 0xFFFF00, true, false},
        {"Служебный", SeriesKind::Bars, 0xFF8040, false, true},
        {"Порог", SeriesKind::Line, 0xFF0080, false, true},
        {"Реле 3", SeriesKind::Stairs, 0x808000, true, false},
        {"Реле 4", SeriesKind::Stairs, 0x408080, true, false},
    }};
    return looks;
}

const SeriesLook& seriesLook(OperationalSeries series) { return seriesLooks()[static_cast<std::size_t>(series)]; }

std::optional<ServiceEvent> serviceEvent(int code)
{
    switch (code) {
    case 1: return ServiceEvent{"вкл", 0x008000};
    case 2: return ServiceEvent{"выкл", 0x800000};
    case 3: return ServiceEvent{"обр", 0xFF0000};
    case 5: return ServiceEvent{"мин", 0x808000};
    case 6: return ServiceEvent{"макс", 0xFF00FF};
    case 7: return ServiceEvent{"рез", 0x008080};
    default: return std::nullopt;
    }
}

} // namespace kestrel
