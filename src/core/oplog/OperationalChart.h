#pragma once

#include "core/image/ByteAccess.h"
#include "core/image/TimeStamp.h"
#include "core/oplog/OperationalSeries.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The chart of one cycle's section of the operational log, built the way the cycle detail
// window shows it. The window (QCustomPlot) and `kestrel-cli oplog` only draw or print it.
namespace kestrel {

struct OperationalPoint {
    std::optional<double> value;        // empty: a null point, drawn as a gap
    std::string label;                  // time-axis label, or the event text on a bar
    std::optional<std::uint32_t> color; // 0xRRGGBB, only on the event bars of "Служебный"
};

struct ChartSeries {
    std::string title;
    bool checked = false; // check-list state: the series is shown exactly when checked
    std::vector<OperationalPoint> points;
};

struct OperationalChart {
    StampBytes stamp{};
    bool found = false;
    // When not found: "Записей с меткой времени <…> в оперативной памяти не найдено!"; else empty.
    std::string message;

    // In the order of OperationalSeries; every series has the same number of points and
    // point index i sits at time-axis value i. Values are after the scaling step.
    std::array<ChartSeries, kOperationalSeriesCount> series;

    // "Метка времени: dd.MM.yyyy hh:mm     Длительность: M мин S с"; empty when not found.
    std::string title;
    int durationSeconds = 0;
    // Largest value of all points of all series after scaling; the value axis runs to largest + 10.
    double largestValue = 0.0;

    // Log position (0..30 463) where the show stopped: at the stamp of the following
    // section, where "След." starts looking.
    std::size_t stopPosition = 0;

    std::size_t pointCount() const { return series[0].points.size(); }
    // The time-axis labels are the labels of "Нагрузка 1" (at(OperationalSeries::Load1)).
    const ChartSeries& at(OperationalSeries s) const { return series[static_cast<std::size_t>(s)]; }
};

// Opening from a list row: the section is searched for from the recorder's write position.
OperationalChart showOperationalSection(ConstBytes image, const StampBytes& stamp);

// After "След.": the section of `stamp` begins at log position `start` (just past its stamp).
OperationalChart showOperationalSectionAt(ConstBytes image, const StampBytes& stamp, std::size_t start);

// "След.": from where `current` stopped, the next section with a valid stamp, shown.
// Gives up after one full pass over the log; then `found` is false, `message` says why and
// the chart shown so far stays as it is.
struct NextSectionResult {
    bool found = false;
    std::string message;
    OperationalChart chart;
};
NextSectionResult showNextOperationalSection(ConstBytes image, const OperationalChart& current);

inline constexpr std::string_view kNoNextSectionMessage =
    "В оперативной памяти нет следующего цикла с правильной меткой времени.";

} // namespace kestrel
