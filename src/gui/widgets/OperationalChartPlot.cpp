#include "gui/widgets/OperationalChartPlot.h"

#include "gui/widgets/DepthSeries.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrel::gui {

namespace {

// Marks and point markers only help while few seconds are visible; time labels while
// each still has room.
constexpr double kMarkedSpan = 20.0;
constexpr double kLabelledSpan = 60.0;
constexpr double kSpanTolerance = 1e-6;
// The 3D look, as on the distribution chart: a darker extrusion up and right, behind.
constexpr QPointF kDepthOffset(6.0, -6.0);
constexpr double kBarWidth = 0.6;
const QString kDepthLayer = QStringLiteral("depth");
const QString kMarksLayer = QStringLiteral("marks");

QColor colourOf(std::uint32_t rgb)
{
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF));
}

// "Служебный" in the legend: a bar series of its own whose swatch is striped in the
// colours its bars are drawn in, so the legend matches what the chart shows.
class ServiceLegendBars : public QCPBars {
public:
    using QCPBars::QCPBars;
    void setColours(std::vector<QColor> colours) { colours_ = std::move(colours); }
    const std::vector<QColor>& colours() const { return colours_; }

protected:
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override
    {
        if (colours_.empty())
            return;
        painter->setPen(Qt::NoPen);
        const double stripe = rect.width() / static_cast<double>(colours_.size());
        for (std::size_t i = 0; i < colours_.size(); ++i) {
            painter->setBrush(colours_[i]);
            painter->drawRect(
                QRectF(rect.left() + stripe * static_cast<double>(i), rect.top(), stripe, rect.height()));
        }
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(Qt::darkGray));
        painter->drawRect(rect);
    }

private:
    std::vector<QColor> colours_;
};

// The colours of the events that are drawn, in the order of their codes.
std::vector<std::uint32_t> eventColours()
{
    std::vector<std::uint32_t> colours;
    for (int code = 0; code < 8; ++code)
        if (const auto event = serviceEvent(code))
            colours.push_back(event->color);
    return colours;
}

bool hasMarks(std::size_t series)
{
    return seriesLooks()[series].valueMarks;
}

// Point markers go with the value marks on the areas and the line, not on the bars.
bool hasMarkers(std::size_t series)
{
    return hasMarks(series) && seriesLooks()[series].kind != SeriesKind::Bars;
}

QPen outlinePen(const SeriesLook& look)
{
    const QColor colour = colourOf(look.color);
    QPen pen(look.kind == SeriesKind::Line ? colour : colour.darker(150));
    pen.setWidthF(look.kind == SeriesKind::Line ? 2.0 : 1.0);
    if (look.dotted)
        pen.setStyle(Qt::DotLine);
    return pen;
}

// `columnWidth` above 0: the series is denser than the pixel columns and is drawn as one
// vertical line of that width per point instead of a filled polygon.
void styleGraph(QCPGraph& graph, const SeriesLook& look, bool depth, double columnWidth = 0.0)
{
    const QColor colour = colourOf(look.color);
    if (columnWidth > 0.0 && look.kind != SeriesKind::Line) {
        graph.setLineStyle(QCPGraph::lsImpulse);
        graph.setPen(QPen(QBrush(depth ? colour.darker(170) : colour), std::max(1.0, columnWidth + 0.5), Qt::SolidLine,
            Qt::FlatCap));
        graph.setBrush(Qt::NoBrush);
        return;
    }
    graph.setLineStyle(look.kind == SeriesKind::Stairs ? QCPGraph::lsStepLeft : QCPGraph::lsLine);
    QPen pen = outlinePen(look);
    if (depth)
        pen.setColor(pen.color().darker(180));
    graph.setPen(pen);
    if (look.kind != SeriesKind::Line)
        graph.setBrush(depth ? colour.darker(170) : colour);
}

} // namespace

OperationalChartPlot::OperationalChartPlot(QCustomPlot& plot) : plot_(plot)
{
    // A panel in the buttons' colour around a white plot area.
    panel_ = plot_.palette().color(QPalette::Button);
    plot_.setBackground(panel_);
    plot_.axisRect()->setBackground(Qt::white);
    plot_.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot_.axisRect()->setRangeDrag(Qt::Horizontal);
    plot_.axisRect()->setRangeZoom(Qt::Horizontal);
    plot_.setNoAntialiasingOnDrag(true);

    plot_.plotLayout()->insertRow(0);
    QFont titleFont = plot_.font();
    titleFont.setBold(true);
    title_ = new QCPTextElement(&plot_, QString(), titleFont);
    plot_.plotLayout()->addElement(0, 0, title_);

    plot_.xAxis->setLabel(QStringLiteral("Время, с"));
    plot_.yAxis->setLabel(QStringLiteral("Нагрузка, %"));
    plot_.xAxis->grid()->setVisible(false);
    plot_.xAxis->setTicker(QSharedPointer<QCPAxisTickerText>::create());

    auto* legendRow = new QCPLayoutGrid;
    plot_.plotLayout()->addElement(2, 0, legendRow);
    legendRow->setMargins(QMargins(5, 0, 5, 5));
    legendRow->addElement(0, 0, plot_.legend);
    plot_.legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot_.legend->setVisible(true);
    plot_.plotLayout()->setRowStretchFactor(2, 0.001);

    plot_.addLayer(kDepthLayer, plot_.layer(QStringLiteral("main")), QCustomPlot::limBelow);
    plot_.addLayer(kMarksLayer, plot_.layer(QStringLiteral("main")), QCustomPlot::limAbove);
    buildSeries();
    setSeriesShown(shown_);
    // A resized chart has another number of pixel columns.
    afterLayout_ = QObject::connect(&plot_, &QCustomPlot::afterLayout, &plot_, [this] {
        feedGraphs(plot_.xAxis->range().lower, plot_.xAxis->range().upper);
        staggerMarks();
    });
}

OperationalChartPlot::~OperationalChartPlot() { QObject::disconnect(afterLayout_); }

void OperationalChartPlot::buildSeries()
{
    const auto& looks = seriesLooks();
    for (std::size_t s = 0; s < kOperationalSeriesCount; ++s) {
        const SeriesLook& look = looks[s];
        if (look.kind == SeriesKind::Bars) {
            auto* legend = new ServiceLegendBars(plot_.xAxis, plot_.yAxis);
            legend->setObjectName(QStringLiteral("series%1").arg(s));
            legend->setName(QString::fromUtf8(look.title.data(), static_cast<qsizetype>(look.title.size())));
            serviceLegend_ = legend;
            setServiceLegendColours({});
            continue;
        }
        auto* depth = new DepthGraph(plot_.xAxis, plot_.yAxis, kDepthOffset);
        depth->setLayer(kDepthLayer);
        depth->removeFromLegend();
        styleGraph(*depth, look, true);
        depthGraphs_[s] = depth;

        QCPGraph* graph = plot_.addGraph(plot_.xAxis, plot_.yAxis);
        graph->setObjectName(QStringLiteral("series%1").arg(s));
        graph->setName(QString::fromUtf8(look.title.data(), static_cast<qsizetype>(look.title.size())));
        styleGraph(*graph, look, false);
        graphs_[s] = graph;
    }
}

QCPBars* OperationalChartPlot::eventBars(std::uint32_t colour)
{
    if (auto found = bars_.find(colour); found != bars_.end())
        return found->second;
    auto* depth = new DepthBars(plot_.xAxis, plot_.yAxis, kDepthOffset);
    depth->setLayer(kDepthLayer);
    depth->removeFromLegend();
    depth->setWidth(kBarWidth);
    depth->setBrush(colourOf(colour).darker(170));
    depth->setPen(QPen(colourOf(colour).darker(250)));
    depthBars_[colour] = depth;

    auto* bars = new QCPBars(plot_.xAxis, plot_.yAxis);
    bars->removeFromLegend();
    bars->setWidth(kBarWidth);
    bars->setBrush(colourOf(colour));
    bars->setPen(QPen(colourOf(colour).darker(150)));
    bars_[colour] = bars;
    return bars;
}

void OperationalChartPlot::setChart(const OperationalChart& chart)
{
    clearMarks();
    chart_ = &chart;
    fedRange_ = {};

    std::map<std::uint32_t, std::pair<QVector<double>, QVector<double>>> barPoints;
    const SeriesLook& serviceLook = seriesLook(OperationalSeries::Service);
    const auto& servicePoints = chart.at(OperationalSeries::Service).points;
    for (std::size_t i = 0; i < servicePoints.size(); ++i) {
        const OperationalPoint& point = servicePoints[i];
        if (!point.value)
            continue;
        auto& [barKeys, barValues] = barPoints[point.color.value_or(serviceLook.color)];
        barKeys.push_back(static_cast<double>(i));
        barValues.push_back(*point.value);
    }
    for (auto& [colour, bars] : bars_) {
        bars->data()->clear();
        depthBars_[colour]->data()->clear();
    }
    std::vector<std::uint32_t> drawn;
    for (const auto& [colour, data] : barPoints) {
        eventBars(colour)->setData(data.first, data.second, true);
        depthBars_[colour]->setData(data.first, data.second, true);
        drawn.push_back(colour);
    }
    setServiceLegendColours(drawn);

    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    const auto& labelPoints = chart.at(OperationalSeries::Load1).points;
    for (std::size_t i = 0; i < labelPoints.size(); ++i)
        ticker->addTick(static_cast<double>(i), QString::fromStdString(labelPoints[i].label));
    plot_.xAxis->setTicker(ticker);
    plot_.yAxis->setRange(0.0, chart.largestValue + 10.0);

    std::array<bool, kOperationalSeriesCount> shown{};
    for (std::size_t s = 0; s < kOperationalSeriesCount; ++s)
        shown[s] = chart.series[s].checked;
    setSeriesShown(shown);
}

void OperationalChartPlot::setServiceLegendColours(const std::vector<std::uint32_t>& drawn)
{
    // The event colours of this chart's bars; with no bar yet, every event colour.
    std::vector<QColor> colours;
    for (std::uint32_t colour : eventColours())
        if (drawn.empty() || std::find(drawn.begin(), drawn.end(), colour) != drawn.end())
            colours.push_back(colourOf(colour));
    for (std::uint32_t colour : drawn)
        if (std::find(colours.begin(), colours.end(), colourOf(colour)) == colours.end())
            colours.push_back(colourOf(colour)); // a colour that is no event's: still on the bars
    static_cast<ServiceLegendBars*>(serviceLegend_)->setColours(colours);
    serviceLegend_->setBrush(colours.front());
    serviceLegend_->setPen(QPen(colours.front().darker(150)));
}

std::vector<QColor> OperationalChartPlot::serviceLegendColours() const
{
    return static_cast<const ServiceLegendBars*>(serviceLegend_)->colours();
}

void OperationalChartPlot::setTitle(const QString& title, const QString& remark)
{
    title_->setText(remark.isEmpty() ? title : title + QLatin1Char('\n') + remark);
}

void OperationalChartPlot::setSeriesShown(const std::array<bool, kOperationalSeriesCount>& shown)
{
    shown_ = shown;
    for (std::size_t s = 0; s < kOperationalSeriesCount; ++s) {
        if (graphs_[s] == nullptr)
            continue;
        graphs_[s]->setVisible(shown[s]);
        depthGraphs_[s]->setVisible(shown[s] && view3D_);
    }
    const bool service = shown[static_cast<std::size_t>(OperationalSeries::Service)];
    for (auto& [colour, bars] : bars_) {
        bars->setVisible(service);
        depthBars_[colour]->setVisible(service && view3D_);
    }
    serviceLegend_->setVisible(service);
    updateLegend();

    const bool loadShown = shown[static_cast<std::size_t>(OperationalSeries::Load1)]
        || shown[static_cast<std::size_t>(OperationalSeries::Load2)];
    plot_.yAxis->setLabelColor(loadShown ? QColor(Qt::black) : panel_);
    if (chart_ != nullptr)
        layOutRange(plot_.xAxis->range().lower, plot_.xAxis->range().upper);
}

void OperationalChartPlot::updateLegend()
{
    // The legend lists the series shown, in the check list's order.
    plot_.legend->clearItems();
    for (std::size_t s = 0; s < kOperationalSeriesCount; ++s) {
        if (!shown_[s])
            continue;
        QCPAbstractPlottable* plottable = graphs_[s] != nullptr ? static_cast<QCPAbstractPlottable*>(graphs_[s])
                                                                : static_cast<QCPAbstractPlottable*>(serviceLegend_);
        plottable->addToLegend();
    }
}

void OperationalChartPlot::setView3D(bool on)
{
    view3D_ = on;
    setSeriesShown(shown_);
    plot_.replot();
}

void OperationalChartPlot::showRange(std::size_t first, std::size_t end)
{
    const double lower = static_cast<double>(first) - 0.5;
    const double upper = static_cast<double>(std::max(end, first + 1)) - 0.5;
    plot_.xAxis->setRange(lower, upper);
    layOutRange(lower, upper);
    plot_.replot();
}

void OperationalChartPlot::rangeChangedByUser()
{
    layOutRange(plot_.xAxis->range().lower, plot_.xAxis->range().upper);
}

void OperationalChartPlot::feedGraphs(double lower, double upper)
{
    if (chart_ == nullptr)
        return;
    const std::size_t count = chart_->pointCount();
    const auto first = static_cast<std::size_t>(std::clamp(std::ceil(lower), 0.0, static_cast<double>(count)));
    const auto end = static_cast<std::size_t>(std::clamp(std::floor(upper) + 1.0, 0.0, static_cast<double>(count)));
    // A filled polygon with thousands of spikes per pixel column costs the painter seconds:
    // more points than columns are drawn as the highest of each group, which is what
    // a filled area of that width shows anyway.
    const auto columns = static_cast<std::size_t>(std::max(plot_.axisRect()->width(), 100));
    const std::size_t group = end - first > columns ? (end - first + columns - 1) / columns : 1;
    const FedRange wanted{group == 1 ? 0 : first, group == 1 ? count : end, group};
    if (wanted.first == fedRange_.first && wanted.end == fedRange_.end && wanted.group == fedRange_.group)
        return;
    fedRange_ = wanted;
    // Filling a polygon of one vertex per pixel column costs the painter a pass over all
    // its edges on every pixel row; a vertical line per column draws the same area at once.
    const double columnWidth = static_cast<double>(plot_.axisRect()->width()) * static_cast<double>(group)
        / static_cast<double>(std::max<std::size_t>(end - first, 1));
    for (std::size_t s = 0; s < kOperationalSeriesCount; ++s) {
        if (graphs_[s] == nullptr || seriesLooks()[s].kind == SeriesKind::Line)
            continue;
        styleGraph(*graphs_[s], seriesLooks()[s], false, group > 1 ? columnWidth : 0.0);
        styleGraph(*depthGraphs_[s], seriesLooks()[s], true, group > 1 ? columnWidth : 0.0);
    }

    const std::size_t size = (wanted.end - wanted.first + group - 1) / group;
    QVector<double> keys(static_cast<qsizetype>(size));
    QVector<double> values(static_cast<qsizetype>(size));
    for (std::size_t s = 0; s < kOperationalSeriesCount; ++s) {
        if (graphs_[s] == nullptr)
            continue;
        const auto& points = chart_->series[s].points;
        const std::size_t available = std::min(wanted.end, points.size());
        for (std::size_t k = 0; k < size; ++k) {
            const std::size_t from = wanted.first + k * group;
            double highest = std::numeric_limits<double>::quiet_NaN();
            for (std::size_t i = from; i < std::min(from + group, available); ++i)
                if (points[i].value && !(*points[i].value <= highest))
                    highest = *points[i].value;
            keys[static_cast<qsizetype>(k)] = static_cast<double>(from);
            values[static_cast<qsizetype>(k)] = highest;
        }
        graphs_[s]->setData(keys, values, true);
        depthGraphs_[s]->setData(keys, values, true);
    }
}

void OperationalChartPlot::layOutRange(double lower, double upper)
{
    feedGraphs(lower, upper);

    const double span = upper - lower;
    const bool marked = span <= kMarkedSpan + kSpanTolerance;
    const bool labelled = span <= kLabelledSpan + kSpanTolerance;

    for (std::size_t s = 0; s < kOperationalSeriesCount; ++s) {
        if (graphs_[s] != nullptr && hasMarkers(s))
            graphs_[s]->setScatterStyle(
                marked ? QCPScatterStyle(QCPScatterStyle::ssCircle, 5) : QCPScatterStyle(QCPScatterStyle::ssNone));
    }
    plot_.xAxis->setTicks(labelled);
    plot_.xAxis->setTickLabels(labelled);
    // A minute of labels side by side would run into each other: upright they fit.
    plot_.xAxis->setTickLabelRotation(marked ? 0.0 : -90.0);
    plot_.xAxis->grid()->setVisible(labelled);

    clearMarks();
    if (!marked || chart_ == nullptr)
        return;
    const std::size_t count = chart_->pointCount();
    const auto first = static_cast<std::size_t>(std::clamp(std::ceil(lower), 0.0, static_cast<double>(count)));
    const auto end = static_cast<std::size_t>(std::clamp(std::floor(upper) + 1.0, 0.0, static_cast<double>(count)));
    for (std::size_t s = 0; s < kOperationalSeriesCount; ++s)
        if (shown_[s] && hasMarks(s))
            addMarks(s, first, end);
}

void OperationalChartPlot::addMarks(std::size_t series, std::size_t first, std::size_t end)
{
    const bool bars = seriesLooks()[series].kind == SeriesKind::Bars;
    const auto& points = chart_->series[series].points;
    QFont font = plot_.font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    for (std::size_t i = first; i < std::min(end, points.size()); ++i) {
        const OperationalPoint& point = points[i];
        if (!point.value)
            continue;
        // A zero load on the base line says nothing the area does not.
        if (!bars && *point.value == 0.0)
            continue;
        auto* mark = new QCPItemText(&plot_);
        mark->setLayer(kMarksLayer);
        mark->setClipToAxisRect(true);
        mark->position->setCoords(static_cast<double>(i), *point.value);
        mark->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        mark->setText(bars ? QString::fromStdString(point.label) : QString::number(std::llround(*point.value)));
        mark->setFont(font);
        mark->setPadding(QMargins(2, 0, 2, 0));
        mark->setBrush(QColor(255, 255, 225));
        mark->setPen(QPen(Qt::gray));
        mark->setSelectable(false);
        marks_.push_back(mark);
        markAnchors_.emplace_back(static_cast<double>(i), *point.value);
    }
}

void OperationalChartPlot::clearMarks()
{
    for (QCPAbstractItem* mark : marks_)
        plot_.removeItem(mark);
    marks_.clear();
    markAnchors_.clear();
}

void OperationalChartPlot::staggerMarks()
{
    // Each mark sits on its point; where it would cover a mark already placed (the event
    // text and a small load at the cycle start share a second and nearly a height), it
    // moves up just above that one. The lowest marks are placed first, so the order
    // from bottom to top stays that of the points.
    const QCPAxis* keyAxis = plot_.xAxis;
    const QCPAxis* valueAxis = plot_.yAxis;
    std::vector<std::size_t> order(marks_.size());
    std::vector<QRectF> boxes(marks_.size());
    for (std::size_t m = 0; m < marks_.size(); ++m) {
        order[m] = m;
        const auto* mark = static_cast<const QCPItemText*>(marks_[m]);
        const QFontMetricsF metrics(mark->font());
        const QMargins padding = mark->padding();
        const double width = metrics.horizontalAdvance(mark->text()) + padding.left() + padding.right() + 2.0;
        const double height = metrics.height() + padding.top() + padding.bottom() + 2.0;
        const double x = keyAxis->coordToPixel(markAnchors_[m].x());
        const double bottom = valueAxis->coordToPixel(markAnchors_[m].y());
        if (!std::isfinite(x) || !std::isfinite(bottom))
            return; // no layout yet: nothing to compare
        boxes[m] = QRectF(x - width / 2.0, bottom - height, width, height);
    }
    std::stable_sort(order.begin(), order.end(), [&boxes](std::size_t a, std::size_t b) {
        return boxes[a].bottom() > boxes[b].bottom();
    });
    constexpr double kGap = 1.0;
    std::vector<QRectF> placed;
    placed.reserve(marks_.size());
    for (std::size_t m : order) {
        QRectF box = boxes[m];
        // Each move puts the box above one more of the placed ones: at most that many moves.
        for (std::size_t moves = 0; moves <= placed.size(); ++moves) {
            const auto hit = std::find_if(placed.begin(), placed.end(), [&box](const QRectF& other) {
                return box.intersects(other.adjusted(-kGap, -kGap, kGap, kGap));
            });
            if (hit == placed.end())
                break;
            box.moveBottom(hit->top() - kGap);
        }
        placed.push_back(box);
        static_cast<QCPItemText*>(marks_[m])->position->setCoords(
            markAnchors_[m].x(), valueAxis->pixelToCoord(box.bottom()));
    }
}

void OperationalChartPlot::clear()
{
    clearMarks();
    chart_ = nullptr;
    fedRange_ = {};
    for (std::size_t s = 0; s < kOperationalSeriesCount; ++s) {
        if (graphs_[s] == nullptr)
            continue;
        graphs_[s]->data()->clear();
        depthGraphs_[s]->data()->clear();
    }
    for (auto& [colour, bars] : bars_) {
        bars->data()->clear();
        depthBars_[colour]->data()->clear();
    }
    plot_.xAxis->setTicker(QSharedPointer<QCPAxisTickerText>::create());
    plot_.replot();
}

QColor OperationalChartPlot::valueTitleColour() const { return plot_.yAxis->labelColor(); }

bool OperationalChartPlot::timeLabelsShown() const { return plot_.xAxis->tickLabels(); }

} // namespace kestrel::gui
