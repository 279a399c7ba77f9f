#include "gui/pages/DistributionPage.h"

#include "core/stats/LoadDistribution.h"
#include "gui/app/FileFilter.h"
#include "gui/app/GuiDialogs.h"
#include "gui/widgets/ChartOutput.h"
#include "gui/widgets/DepthSeries.h"
#include "gui/widgets/GridLinesDelegate.h"

#include "ui_DistributionPage.h"

#include <QButtonGroup>
#include <QHeaderView>
#include <QPrinter>
#include <qcustomplot.h>

#include <algorithm>
#include <array>

namespace kestrel::gui {

namespace {

const std::array<QString, 3> kSeriesTitles = {
    QStringLiteral("Кран      "), QStringLiteral("Лебедка №1"), QStringLiteral("Лебедка №2")};
const std::array<QColor, 3> kSeriesColours = {QColor(0, 255, 0), QColor(128, 255, 255), QColor(0, 0, 255)};
constexpr std::array<int, 5> kLoadColumnWidths = {30, 140, 120, 120, 120};
// The 3D look: every series is extruded up and to the right, darker, behind itself.
constexpr QPointF kDepthOffset(10.0, -10.0);
// A chart without points shows loads up to this much.
constexpr double kEmptyBottomAxisMaximum = 120.0;

void setSeriesData(QCPGraph* graph, const std::vector<ChartPoint>& points)
{
    QVector<double> keys;
    QVector<double> values;
    keys.reserve(static_cast<qsizetype>(points.size()));
    values.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& point : points) {
        keys.push_back(point.x);
        values.push_back(point.y);
    }
    graph->setData(keys, values, true); // the core keeps X ascending
}

} // namespace

struct DistributionPage::Ui : ::Ui_DistributionPage {
    std::array<QCPGraph*, 3> series{};
    std::array<QCPGraph*, 3> depth{};
    std::array<QCheckBox*, 3> boxes{};
    QButtonGroup* steps = nullptr;
    QSharedPointer<QCPAxisTickerFixed> loadTicker{new QCPAxisTickerFixed};
    // Kept between prints, as the user set it up in the print dialog.
    std::unique_ptr<QPrinter> printer;

    bool view3D() const { return rbView3DOn->isChecked(); }
};

DistributionPage::DistributionPage(GuiDialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui>()), dialogs_(dialogs)
{
    ui_->setupUi(this);

    QTreeWidget* list = ui_->lvLoad;
    list->setItemDelegate(new GridLinesDelegate(list));
    list->header()->setStretchLastSection(false);
    for (int column = 0; column < static_cast<int>(kLoadColumnWidths.size()); ++column) {
        list->setColumnWidth(column, kLoadColumnWidths[static_cast<std::size_t>(column)]);
        if (column > 0)
            list->headerItem()->setTextAlignment(column, Qt::AlignCenter);
    }

    ui_->steps = new QButtonGroup(this);
    ui_->steps->addButton(ui_->rbStep1, 1);
    ui_->steps->addButton(ui_->rbStep5, 5);
    ui_->steps->addButton(ui_->rbStep10, 10);
    ui_->steps->addButton(ui_->rbStep20, 20);
    connect(ui_->steps, &QButtonGroup::idClicked, this, &DistributionPage::rgStepClick);

    ui_->boxes = {ui_->chbKran, ui_->chbLeb1, ui_->chbLeb2};
    for (QCheckBox* box : ui_->boxes)
        connect(box, &QCheckBox::toggled, this, &DistributionPage::seriesBoxToggled);
    connect(ui_->rbView3DOn, &QRadioButton::toggled, this, &DistributionPage::renderChart);
    connect(ui_->bbPrintImage, &QPushButton::clicked, this, &DistributionPage::printChart);
    connect(ui_->bbSaveImage, &QPushButton::clicked, this, &DistributionPage::saveChart);

    QCustomPlot* plot = ui_->Chart1;
    plot->setBackground(Qt::white);
    plot->setInteractions(QCP::Interactions());
    plot->plotLayout()->insertRow(0);
    QFont titleFont = font();
    titleFont.setBold(true);
    plot->plotLayout()->addElement(0, 0,
        new QCPTextElement(plot, QStringLiteral("График распределения регистрируемых циклов работы крана"), titleFont));
    plot->xAxis->setLabel(QStringLiteral("Нагрузка, %"));
    ui_->loadTicker->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
    ui_->loadTicker->setTickCount(12);
    plot->xAxis->setTicker(ui_->loadTicker);
    plot->yAxis->setLabel(QStringLiteral("Количество циклов"));

    auto* legendRow = new QCPLayoutGrid;
    plot->plotLayout()->addElement(2, 0, legendRow);
    legendRow->setMargins(QMargins(5, 0, 5, 5));
    legendRow->addElement(0, 0, plot->legend);
    plot->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot->plotLayout()->setRowStretchFactor(2, 0.001);

    // Each series is drawn right after its own depth copy, the crane at the back and the
    // smaller winch series in front: every copy shows as its series' top and side, none
    // is buried under another series' face.
    for (std::size_t k = 0; k < ui_->series.size(); ++k) {
        auto* depth = new DepthGraph(plot->xAxis, plot->yAxis, kDepthOffset);
        depth->setObjectName(QStringLiteral("depth%1").arg(k));
        depth->removeFromLegend();
        depth->setLineStyle(QCPGraph::lsStepLeft);
        depth->setPen(QPen(kSeriesColours[k].darker(220)));
        depth->setBrush(kSeriesColours[k].darker(170));
        ui_->depth[k] = depth;

        QCPGraph* graph = plot->addGraph(plot->xAxis, plot->yAxis);
        graph->setObjectName(QStringLiteral("series%1").arg(k));
        graph->setName(kSeriesTitles[k]);
        graph->setLineStyle(QCPGraph::lsStepLeft);
        graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
        graph->setPen(QPen(kSeriesColours[k].darker(130)));
        graph->setBrush(kSeriesColours[k]);
        ui_->series[k] = graph;
    }

    showDistribution(shown_); // the design-time state: empty series, left axis up to 353
}

DistributionPage::~DistributionPage() = default;

void DistributionPage::rgStepClick(int step)
{
    // Another zone width is another look at the same cycles: what the user chose to
    // compare stays chosen. Only a new reading starts again from the crane alone.
    keptSelection_ = shown_.shown;
    emit stepChanged(step);
    keptSelection_.reset();
}

void DistributionPage::showDistribution(const DistributionView& view)
{
    shown_ = view;
    if (keptSelection_)
        applySeriesSelection(shown_, *keptSelection_);

    if (QAbstractButton* stepButton = ui_->steps->button(view.step)) {
        const QSignalBlocker blocker(ui_->steps);
        stepButton->setChecked(true);
    }
    for (std::size_t k = 0; k < ui_->boxes.size(); ++k) {
        const QSignalBlocker blocker(ui_->boxes[k]);
        ui_->boxes[k]->setChecked(shown_.shown[k]);
    }

    QTreeWidget* list = ui_->lvLoad;
    list->clear();
    QList<QTreeWidgetItem*> items;
    for (const ListRow& row : view.lvLoad) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(row.caption));
        for (std::size_t i = 0; i < row.subItems.size(); ++i) {
            const int column = static_cast<int>(i) + 1;
            item->setText(column, QString::fromStdString(row.subItems[i]));
            item->setTextAlignment(column, Qt::AlignCenter);
        }
        items.push_back(item);
    }
    list->addTopLevelItems(items);

    renderChart();
}

int DistributionPage::step() const { return ui_->steps->checkedId(); }

void DistributionPage::readInto(DistributionView& view) const
{
    view.lvLoad.clear();
    const QTreeWidget* list = ui_->lvLoad;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        ListRow row{item->text(0).toStdString(), {}};
        for (int column = 1; column < list->columnCount(); ++column)
            row.subItems.push_back(item->text(column).toStdString());
        view.lvLoad.push_back(std::move(row));
    }
}

void DistributionPage::clearChart()
{
    for (auto& series : shown_.series)
        series.clear();
    renderChart();
}

QCustomPlot* DistributionPage::chart() const { return ui_->Chart1; }

void DistributionPage::seriesBoxToggled()
{
    std::array<bool, 3> shown{};
    for (std::size_t k = 0; k < shown.size(); ++k)
        shown[k] = ui_->boxes[k]->isChecked();
    applySeriesSelection(shown_, shown);
    renderChart();
}

void DistributionPage::renderChart()
{
    QCustomPlot* plot = ui_->Chart1;
    double rightmost = 0.0;
    for (std::size_t k = 0; k < ui_->series.size(); ++k) {
        const auto& points = shown_.series[k];
        setSeriesData(ui_->series[k], points);
        setSeriesData(ui_->depth[k], points);
        for (const ChartPoint& point : points)
            rightmost = std::max(rightmost, point.x);

        ui_->series[k]->setVisible(shown_.shown[k]);
        ui_->depth[k]->setVisible(shown_.shown[k] && ui_->view3D());
        if (shown_.shown[k])
            ui_->series[k]->addToLegend();
        else
            ui_->series[k]->removeFromLegend();
    }

    plot->xAxis->setRange(0.0, rightmost > 0.0 ? rightmost : kEmptyBottomAxisMaximum);
    // Load ticks fall on zone boundaries: multiples of the step, thinned out when dense.
    ui_->loadTicker->setTickStep(shown_.step > 0 ? shown_.step : kEmptyBottomAxisMaximum);
    // A zero-height axis cannot be drawn (all counts 0): show 0..1 instead.
    plot->yAxis->setRange(0.0, shown_.leftAxisMaximum > 0.0 ? shown_.leftAxisMaximum : 1.0);
    plot->legend->setVisible(shown_.legendVisible);
    plot->replot();
}

void DistributionPage::printChart()
{
    kestrel::gui::printChart(this, *ui_->Chart1, ui_->printer, dialogs_);
}

void DistributionPage::saveChart()
{
    saveChartAsBitmap(this, *ui_->Chart1, dialogs_);
}

} // namespace kestrel::gui
