#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrel {

// One point of a load characteristic chart: the sensor code across, the allowed load
// up, and the text that names the point on the horizontal axis (zone or outreach).
struct LoadChartPoint {
    std::int32_t code = 0;
    std::int32_t load = 0;
    std::string label;
};

// The points of a chart in ascending order of code, and, for the service page, the
// message of the cell that stopped the redraw.
struct LoadChart {
    std::vector<LoadChartPoint> points;
    std::optional<std::string> error;
};

// A row of sgVylet as shown: "№ зоны", "Код датчика", "Нагрузка, %".
using VyletRow = std::array<std::string, 3>;

// The service page chart: zones with code 0 are left out; a code or load that is no
// integer stops the redraw at its row with a message naming the text, and the points
// found before it stay.
LoadChart serviceLoadChart(std::span<const VyletRow> rows);

// The text of a cell that is no integer as the window reports it.
std::string notIntegerMessage(const std::string& text);

// Orders the points by code; points with equal codes keep their row order.
void sortByCode(std::vector<LoadChartPoint>& points);

} // namespace kestrel
