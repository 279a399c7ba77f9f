#pragma once

#include "core/config/LoadCharacteristicChart.h"

#include <QString>

#include <vector>

class QCPGraph;
class QCustomPlot;

namespace kestrel::gui {

// The look both load characteristic charts share: one red line with a cross on each
// point, no legend, a flat white plot without interactions. Returns the line.
QCPGraph* setUpLoadCharacteristicPlot(QCustomPlot& plot, const QString& horizontalTitle, const QString& verticalTitle);

// Draws the points; the horizontal axis names each point by its label (the zone or the
// outreach) at its code, as the titles of the axes say.
void showLoadCharacteristicPoints(QCustomPlot& plot, QCPGraph& graph, const std::vector<LoadChartPoint>& points);

} // namespace kestrel::gui
