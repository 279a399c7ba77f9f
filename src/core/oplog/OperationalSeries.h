#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The nine series of the cycle chart, their look, and the service events drawn as bars.
namespace kestrel {

inline constexpr std::size_t kOperationalSeriesCount = 9;

// Index of each series in the chart and in the check list.
enum class OperationalSeries : std::size_t {
    Load1 = 0,
    Load2 = 1,
    Relay1 = 2,
    Relay2 = 3,
    Sound = 4,
    Service = 5,
    Threshold = 6,
    Relay3 = 7,
    Relay4 = 8,
};

enum class SeriesKind {
    Area,   // filled, value marks when the visible range is short
    Stairs, // filled, step from each point to the next
    Bars,   // one bar per event, coloured per event, its text as label
    Line,
};

struct SeriesLook {
    std::string_view title;
    SeriesKind kind;
    std::uint32_t color; // 0xRRGGBB; for the bars the legend colour
    bool dotted;         // dotted outline
    bool valueMarks;     // value marks (and, for areas and the line, point markers) on short ranges
};

const std::array<SeriesLook, kOperationalSeriesCount>& seriesLooks();
const SeriesLook& seriesLook(OperationalSeries series);

// Event code of a sample (bits 4-6 of its first byte): the text and bar colour of the
// events that are drawn; codes 0 and 4 mean no event.
struct ServiceEvent {
    std::string_view text;
    std::uint32_t color; // 0xRRGGBB
};
std::optional<ServiceEvent> serviceEvent(int code);

} // namespace kestrel
