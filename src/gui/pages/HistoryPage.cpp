#include "gui/pages/HistoryPage.h"

#include "gui/app/HelpTopics.h"
#include "gui/widgets/GridLinesDelegate.h"

#include "ui_HistoryPage.h"

#include <QHeaderView>
#include <QColor>
#include <QKeyEvent>
#include <QTreeWidget>
#include <qcustomplot.h>

#include <algorithm>

namespace kestrel::gui {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }
std::string plain(const QLineEdit* edit) { return edit->text().trimmed().toStdString(); }

// Date-times count days from 30 December 1899; the chart's date axis counts seconds from 1970.
constexpr double kUnixEpochDay = 25569.0;
double chartTime(double dateTime) { return (dateTime - kUnixEpochDay) * 86400.0; }

const QColor kCyclesColour(0, 160, 0);
const QColor kShareColour(200, 0, 0);

// Puts the samples on the chart's time axis; returns the highest value, at least `floor`.
template <typename Plottable>
double plotSamples(Plottable& plottable, const std::vector<ChartSample>& samples, double floor)
{
    QVector<double> keys;
    QVector<double> values;
    double highest = floor;
    for (const ChartSample& sample : samples) {
        keys.push_back(chartTime(sample.when));
        values.push_back(sample.value);
        highest = std::max(highest, sample.value);
    }
    plottable.setData(keys, values, true);
    return highest;
}

template <std::size_t N>
void fill(QTreeWidget* list, const std::vector<std::array<std::string, N>>& rows)
{
    list->clear();
    QList<QTreeWidgetItem*> items;
    for (const auto& row : rows) {
        auto* item = new QTreeWidgetItem;
        for (std::size_t column = 0; column < N; ++column) {
            item->setText(static_cast<int>(column), qt(row[column]));
            if (column > 0)
                item->setTextAlignment(static_cast<int>(column), Qt::AlignCenter);
        }
        items.push_back(item);
    }
    list->addTopLevelItems(items);
}

void fitColumns(QTreeWidget* list)
{
    for (int column = 0; column < list->columnCount(); ++column)
        list->resizeColumnToContents(column);
}

} // namespace

HistoryPage::HistoryPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::HistoryPage>())
{
    ui_->setupUi(this);
    ui_->lHistoryNote->setWordWrap(true);
    for (QTreeWidget* list : {ui_->lvReadings, ui_->lvPeriods, ui_->lvLife}) {
        list->setItemDelegate(new GridLinesDelegate(list));
        list->header()->setStretchLastSection(false);
        for (int column = 1; column < list->columnCount(); ++column)
            list->headerItem()->setTextAlignment(column, Qt::AlignCenter);
        fitColumns(list);
    }
    // The figures' captions are read whole; the three columns of values share the rest.
    ui_->lvLife->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    for (int column = 1; column < ui_->lvLife->columnCount(); ++column)
        ui_->lvLife->header()->setSectionResizeMode(column, QHeaderView::Stretch);

    connect(ui_->lvReadings, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr)
            emit readingChosen(item->data(0, Qt::UserRole).toLongLong());
    });
    connect(ui_->bbSaveDesign, &QPushButton::clicked, this, &HistoryPage::designSaveRequested);
    connect(ui_->btnHistoryExcel, &QPushButton::clicked, this, &HistoryPage::excelSaveRequested);

    QCustomPlot* plot = ui_->ChartHistory;
    plot->setBackground(Qt::white);
    plot->setInteractions(QCP::Interactions());
    auto dates = QSharedPointer<QCPAxisTickerDateTime>::create();
    dates->setDateTimeFormat(QStringLiteral("MM.yyyy"));
    dates->setDateTimeSpec(Qt::UTC);
    plot->xAxis->setTicker(dates);
    plot->yAxis->setLabel(QStringLiteral("Циклов в месяц"));
    plot->yAxis2->setVisible(true);
    plot->yAxis2->setLabel(QStringLiteral("Использовано, %"));
    plot->yAxis2->setRange(0.0, 100.0);

    auto* cycles = new QCPBars(plot->xAxis, plot->yAxis);
    cycles->setObjectName(QStringLiteral("monthlyCycles"));
    cycles->setName(QStringLiteral("Циклы за месяц"));
    cycles->setPen(QPen(kCyclesColour.darker(130)));
    cycles->setBrush(kCyclesColour);
    cycles->setWidth(24.0 * 86400.0);
    auto* share = plot->addGraph(plot->xAxis, plot->yAxis2);
    share->setObjectName(QStringLiteral("usedShare"));
    share->setName(QStringLiteral("Использовано расчетного срока службы, %"));
    share->setPen(QPen(kShareColour, 2.0));
    share->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 6.0));
    // The legend sits under the chart, where it hides no bar.
    plot->legend->setVisible(true);
    plot->legend->setFillOrder(QCPLegend::foColumnsFirst);
    plot->legend->setBorderPen(Qt::NoPen);
    plot->axisRect()->insetLayout()->take(plot->legend);
    plot->axisRect()->insetLayout()->simplify();
    auto* below = new QCPLayoutGrid;
    plot->plotLayout()->addElement(1, 0, below);
    plot->plotLayout()->setRowStretchFactor(1, 0.001);
    below->addElement(0, 0, plot->legend);

    assignHelpContexts();
    showContent({});
}

HistoryPage::~HistoryPage() = default;

void HistoryPage::assignHelpContexts()
{
    // F1 walks up from the focused control: each group answers with its own topic.
    setProperty(kHelpContextProperty, kHelpHistory);
    const std::pair<QWidget*, int> controls[] = {{ui_->gbReadings, kHelpArchive}, {ui_->gbPeriods, kHelpArchive},
        {ui_->gbHistoryChart, kHelpHistory}, {ui_->gbLife, kHelpDesignLife}, {ui_->lLifeVerdict, kHelpLifeVerdicts}};
    for (const auto& [control, context] : controls)
        control->setProperty(kHelpContextProperty, context);
}

QTreeWidget* HistoryPage::lvReadings() const { return ui_->lvReadings; }

QCustomPlot* HistoryPage::chart() const { return ui_->ChartHistory; }

void HistoryPage::showContent(const HistoryView& content)
{
    ui_->lHistoryNote->setText(qt(content.note));
    ui_->lHistoryNote->setVisible(!content.note.empty());

    QTreeWidget* readings = ui_->lvReadings;
    readings->clear();
    QList<QTreeWidgetItem*> items;
    for (const HistoryView::Reading& reading : content.readings) {
        auto* item = new QTreeWidgetItem;
        for (std::size_t column = 0; column < reading.texts.size(); ++column) {
            item->setText(static_cast<int>(column), qt(reading.texts[column]));
            if (column > 0)
                item->setTextAlignment(static_cast<int>(column), Qt::AlignCenter);
        }
        item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(reading.id));
        if (reading.damaged || reading.dutyUnknown) {
            // Set apart from the good ones: it counts in nothing the page shows.
            for (int column = 0; column < item->columnCount(); ++column) {
                item->setToolTip(column, qt(reading.toolTip));
                item->setForeground(column, QColor(0xb0, 0x00, 0x00));
            }
        }
        items.push_back(item);
    }
    readings->addTopLevelItems(items);
    fill(ui_->lvPeriods, content.periods);
    fill(ui_->lvLife, content.life);
    ui_->lNormativeLife->setText(qt(content.normativeLife));
    ui_->lNormativeLife->setVisible(!content.normativeLife.empty());
    ui_->lLifeVerdict->setText(qt(content.verdict));
    ui_->lLifeVerdict->setVisible(!content.verdict.empty());
    // An examination due or a period exhausted must not read like the other lines.
    ui_->lLifeVerdict->setStyleSheet(content.verdictAttention ? QStringLiteral("color: #b00000; font-weight: bold;")
                                                              : QString());
    for (QTreeWidget* list : {ui_->lvReadings, ui_->lvPeriods})
        fitColumns(list);
    // The workbook holds the two lists; without a reading it would be headers only.
    ui_->btnHistoryExcel->setEnabled(!content.readings.empty());
    renderChart(content);
}

void HistoryPage::renderChart(const HistoryView& content)
{
    QCustomPlot* plot = ui_->ChartHistory;
    auto* cycles = qobject_cast<QCPBars*>(plot->plottable(0));
    QCPGraph* share = plot->graph(0);

    const double highest = plotSamples(*cycles, content.monthlyCycles, 0.0);
    const double highestShare = plotSamples(*share, content.usedShare, 100.0);

    bool found = false;
    QCPRange range = cycles->getKeyRange(found);
    bool shareFound = false;
    const QCPRange shareRange = share->getKeyRange(shareFound);
    if (shareFound)
        range = found ? QCPRange(std::min(range.lower, shareRange.lower), std::max(range.upper, shareRange.upper))
                      : shareRange;
    if (found || shareFound) {
        const double margin = 31.0 * 86400.0;
        plot->xAxis->setRange(range.lower - margin, range.upper + margin);
    } else {
        plot->xAxis->setRange(chartTime(kUnixEpochDay + 20000.0), chartTime(kUnixEpochDay + 20365.0));
    }
    plot->yAxis->setRange(0.0, highest > 0.0 ? highest * 1.15 : 1.0);
    plot->yAxis2->setRange(0.0, highestShare * 1.1);
    plot->replot();
}

void HistoryPage::showDesign(const DesignClasses& design, const std::string& passportGroup)
{
    ui_->eDesignGroup->setText(qt(design.craneGroup));
    ui_->eDesignGroup->setPlaceholderText(qt(passportGroup));
    ui_->eDesignGroup->setToolTip(passportGroup.empty()
            ? QStringLiteral("Расчетная группа режима крана, например A5 (в паспорте крана не указана)")
            : QStringLiteral("Расчетная группа режима крана, например A5. В паспорте крана: %1; введенная "
                             "группа (или классы) заменяет ее, пустое поле — группа из паспорта")
                  .arg(qt(passportGroup)));
    ui_->eDesignClasses->setText(qt(design.craneDesign));
    ui_->eWinch1Group->setText(qt(design.winch1Group));
    ui_->eWinch2Group->setText(qt(design.winch2Group));
}

DesignClasses HistoryPage::design() const
{
    return {plain(ui_->eDesignGroup), plain(ui_->eDesignClasses), plain(ui_->eWinch1Group), plain(ui_->eWinch2Group)};
}

} // namespace kestrel::gui
