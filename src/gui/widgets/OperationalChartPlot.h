#pragma once

#include "core/oplog/OperationalChart.h"

#include <QColor>
#include <QMetaObject>
#include <QPointF>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

class QCPAbstractItem;
class QCPBars;
class QCPGraph;
class QCPTextElement;
class QCustomPlot;

namespace kestrel::gui {

// Draws the cycle chart of the operational log on a QCustomPlot: areas and stairs as
// filled graphs, the service events as bars coloured per event, "Порог" as a line, null
// points as gaps. Time-axis labels, value marks and point markers depend on how many
// seconds are visible, so they are laid out again for every visible range.
class OperationalChartPlot {
public:
    explicit OperationalChartPlot(QCustomPlot& plot);
    ~OperationalChartPlot();
    OperationalChartPlot(const OperationalChartPlot&) = delete;
    OperationalChartPlot& operator=(const OperationalChartPlot&) = delete;

    // Every series' points; the series are shown as the chart's check list says. The
    // chart is not copied: it must stay alive until the next setChart or clear.
    void setChart(const OperationalChart& chart);
    // The title line, and a second line (a remark such as why "След." found nothing).
    void setTitle(const QString& title, const QString& remark = {});
    void setSeriesShown(const std::array<bool, kOperationalSeriesCount>& shown);
    void setView3D(bool on);
    // Shows the points [first, end) and draws.
    void showRange(std::size_t first, std::size_t end);
    // After the user zoomed or dragged: marks and labels for the new range, and draw.
    void rangeChangedByUser();
    // Every series empty (the window is closing).
    void clear();

    // The value axis title is readable only while a load series is shown; otherwise it
    // takes the panel's colour and disappears.
    QColor valueTitleColour() const;
    QColor panelColour() const { return panel_; }
    // Marks (value texts and event texts) laid out for the visible range.
    int markCount() const { return static_cast<int>(marks_.size()); }
    bool timeLabelsShown() const;
    // The colours of the "Служебный" legend swatch: those of the event bars drawn.
    std::vector<QColor> serviceLegendColours() const;

private:
    void buildSeries();
    QCPBars* eventBars(std::uint32_t colour);
    // The graphs' points for the visible range: all of them, or the highest of each
    // group when there are more points than pixel columns.
    void feedGraphs(double lower, double upper);
    void layOutRange(double lower, double upper);
    void clearMarks();
    // After the layout: marks that would overlap are stacked above one another.
    void staggerMarks();
    void addMarks(std::size_t series, std::size_t first, std::size_t end);
    void updateLegend();
    void setServiceLegendColours(const std::vector<std::uint32_t>& drawn);

    QCustomPlot& plot_;
    QColor panel_;
    QCPTextElement* title_ = nullptr;
    // One graph per series except "Служебный" (null there), and its darker 3D copy.
    std::array<QCPGraph*, kOperationalSeriesCount> graphs_{};
    std::array<QCPGraph*, kOperationalSeriesCount> depthGraphs_{};
    // "Служебный": one bar series per event colour, with its 3D copy; a data-less bar
    // series stands for it in the legend.
    std::map<std::uint32_t, QCPBars*> bars_;
    std::map<std::uint32_t, QCPBars*> depthBars_;
    QCPBars* serviceLegend_ = nullptr;
    std::vector<QCPAbstractItem*> marks_;
    // The point each mark belongs to (time, value), where it sits unless moved up.
    std::vector<QPointF> markAnchors_;

    const OperationalChart* chart_ = nullptr;
    struct FedRange {
        std::size_t first = 0;
        std::size_t end = 0;
        std::size_t group = 0; // 0: nothing fed yet
    };
    FedRange fedRange_;
    QMetaObject::Connection afterLayout_;
    std::array<bool, kOperationalSeriesCount> shown_{};
    bool view3D_ = true;
};

} // namespace kestrel::gui
