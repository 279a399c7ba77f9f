#include "gui/windows/TfOper.h"

#include "gui/app/FileFilter.h"
#include "gui/app/GuiDialogs.h"
#include "gui/app/HelpTopics.h"
#include "gui/widgets/ChartOutput.h"
#include "gui/widgets/OperationalChartPlot.h"

#include "ui_TfOper.h"

#include <QButtonGroup>
#include <QPrinter>
#include <QShortcut>
#include <qcustomplot.h>

namespace kestrel::gui {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

} // namespace

struct TfOper::Ui : ::Ui_TfOper {
    QButtonGroup* pages = nullptr;
};

TfOper::TfOper(const MemoryImage& image, const StampBytes& stamp, GuiDialogs& dialogs, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui>()), dialogs_(dialogs), image_(image)
{
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    ui_->pages = new QButtonGroup(this);
    ui_->pages->addButton(ui_->rbPage20s, static_cast<int>(PageChoice::TwentySeconds));
    ui_->pages->addButton(ui_->rbPage1min, static_cast<int>(PageChoice::OneMinute));
    ui_->pages->addButton(ui_->rbPageCycle, static_cast<int>(PageChoice::WholeCycle));

    plot_ = std::make_unique<OperationalChartPlot>(*ui_->ChartOper);
    plot_->setView3D(ui_->rbView3DOn->isChecked());

    connect(ui_->chbShow, &QListWidget::itemChanged, this, &TfOper::chbShowClickCheck);
    connect(ui_->pages, &QButtonGroup::idClicked, this, &TfOper::rgPagesClick);
    connect(ui_->bbPrev, &QPushButton::clicked, this, &TfOper::bbPrevClick);
    connect(ui_->bbNext, &QPushButton::clicked, this, &TfOper::bbNextClick);
    connect(ui_->BitBtn6, &QPushButton::clicked, this, &TfOper::BitBtn6Click);
    connect(ui_->rbView3DOn, &QRadioButton::toggled, this, [this](bool on) { plot_->setView3D(on); });
    connect(ui_->bbPrint, &QPushButton::clicked, this, &TfOper::bbPrintClick);
    connect(ui_->bbSave, &QPushButton::clicked, this, &TfOper::bbSaveClick);
    connect(ui_->bbExit, &QPushButton::clicked, this, &QDialog::reject);
    // Zooming with the wheel or dragging the time axis: marks and labels follow the range.
    connect(ui_->ChartOper->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
        if (!settingRange_)
            plot_->rangeChangedByUser();
    });
    // A double click undoes the zoom: the page again.
    connect(ui_->ChartOper, &QCustomPlot::mouseDoubleClick, this, [this] { redrawPage(); });

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this,
        [this] { dialogs_.showHelp(this, property(kHelpContextProperty).toInt()); });

    chart_ = showOperationalSection(image_, stamp);
    showChart();
}

TfOper::~TfOper() = default;

PageChoice TfOper::pageChoice() const { return static_cast<PageChoice>(ui_->pages->checkedId()); }

int TfOper::pages() const { return pageCount(pageChoice(), chart_.pointCount()); }

void TfOper::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!firstShow_)
        return;
    firstShow_ = false;
    if (!chart_.found)
        dialogs_.message(this, qt(chart_.message));
}

void TfOper::showChart()
{
    {
        const QSignalBlocker blocker(ui_->chbShow);
        ui_->chbShow->clear();
        for (const ChartSeries& series : chart_.series) {
            auto* item = new QListWidgetItem(qt(series.title), ui_->chbShow);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(series.checked ? Qt::Checked : Qt::Unchecked);
        }
    }
    plot_->setChart(chart_);
    plot_->setTitle(qt(chart_.title), remark_);
    page_ = 1;
    redrawPage();
}

void TfOper::chbShowClickCheck(QListWidgetItem*)
{
    std::array<bool, kOperationalSeriesCount> shown{};
    for (int row = 0; row < ui_->chbShow->count() && row < static_cast<int>(shown.size()); ++row)
        shown[static_cast<std::size_t>(row)] = ui_->chbShow->item(row)->checkState() == Qt::Checked;
    plot_->setSeriesShown(shown);
    ui_->ChartOper->replot();
}

void TfOper::rgPagesClick()
{
    page_ = 1;
    redrawPage();
}

void TfOper::bbPrevClick()
{
    if (page_ > 1) {
        --page_;
        redrawPage();
    }
}

void TfOper::bbNextClick()
{
    if (page_ < pages()) {
        ++page_;
        redrawPage();
    }
}

void TfOper::redrawPage()
{
    page_ = std::clamp(page_, 1, pages());
    updatePageControls();
    const PageRange range = pageRange(pageChoice(), chart_.pointCount(), page_);
    settingRange_ = true;
    plot_->showRange(range.first, range.end);
    settingRange_ = false;
}

void TfOper::updatePageControls()
{
    const int count = pages();
    ui_->lPage->setText(qt(pageLabel(page_, count)));
    ui_->bbPrev->setEnabled(count >= 2);
    ui_->bbNext->setEnabled(count >= 2);
}

void TfOper::BitBtn6Click()
{
    NextSectionResult next = showNextOperationalSection(image_, chart_);
    if (!next.found) {
        // The chart shown stays; the window says why nothing changed and stays usable.
        remark_ = qt(next.message);
        plot_->setTitle(qt(chart_.title), remark_);
        ui_->ChartOper->replot();
        return;
    }
    remark_.clear();
    chart_ = std::move(next.chart);
    showChart();
}

void TfOper::bbPrintClick()
{
    printChart(this, *ui_->ChartOper, printer_, dialogs_);
}

void TfOper::bbSaveClick()
{
    saveChartAsBitmap(this, *ui_->ChartOper, dialogs_);
}

void TfOper::done(int result)
{
    // Closing empties the chart before the window goes.
    plot_->clear();
    QDialog::done(result);
}

} // namespace kestrel::gui
