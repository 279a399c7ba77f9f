#include "gui/pages/ToolsPage.h"

#include "core/text/PlatformInteger.h"
#include "core/config/LoadCharacteristicChart.h"
#include "gui/app/GuiDialogs.h"
#include "gui/widgets/GridLinesDelegate.h"
#include "gui/windows/LoadCharacteristicPlot.h"
#include "gui/windows/TfMakeGruz.h"
#include "gui/windows/TfNormir.h"

#include "ui_ToolsPage.h"

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLocale>
#include <QPalette>
#include <QTimer>
#include <qcustomplot.h>

#include <array>

namespace kestrel::gui {

namespace {

constexpr int kSensorCount = 4;
constexpr int kVyletRowHeight = 20;
// The clock pickers show seconds, so they move on each second.
constexpr int kClockTickMs = 1000;

// Widths follow the captions and values in the platform's font, so "Qном - Qо" is not cut.
void fitColumns(QTreeWidget* list)
{
    for (int column = 0; column < list->columnCount(); ++column)
        list->resizeColumnToContents(column);
}

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

} // namespace

struct ToolsPage::Ui : ::Ui_ToolsPage {
    std::array<QCheckBox*, 5> switches{};
    std::array<QSpinBox*, 13> thresholds{};
    QCPGraph* loadGraph = nullptr;
};

ToolsPage::ToolsPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui>())
{
    ui_->setupUi(this);
    ui_->switches = {ui_->chbTest, ui_->chbStop1, ui_->chbStop2, ui_->chbUnload, ui_->chbStopSens};
    ui_->thresholds = {ui_->LowSpeed1, ui_->LowSpeed2, ui_->Stop1, ui_->Stop2, ui_->Stop, ui_->StopMax,
        ui_->UpEnable, ui_->CycleStart, ui_->CycleEnd, ui_->StopUnload, ui_->AverTime, ui_->StopSens, ui_->SensEnable};

    // Before the first load every sensor row reads "0".
    QTreeWidget* calibr = ui_->lvCalibr;
    calibr->setItemDelegate(new GridLinesDelegate(calibr));
    for (int k = 1; k <= kSensorCount; ++k)
        calibr->addTopLevelItem(new QTreeWidgetItem(
            QStringList{QStringLiteral("Датчик №%1").arg(k), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
    fitColumns(calibr);

    // sgVylet: the zone column is fixed, the other two are edited in place.
    QTableWidget* vylet = ui_->sgVylet;
    vylet->verticalHeader()->setDefaultSectionSize(kVyletRowHeight);
    for (int row = 0; row < vylet->rowCount(); ++row)
        for (int column = 0; column < vylet->columnCount(); ++column) {
            auto* cell = new QTableWidgetItem;
            if (column == 0) {
                cell->setFlags(Qt::ItemIsEnabled);
                cell->setBackground(vylet->palette().button());
            }
            vylet->setItem(row, column, cell);
        }
    vylet->resizeColumnsToContents();

    QCustomPlot* plot = ui_->chrGruz;
    plot->setBackground(Qt::white);
    plot->setInteractions(QCP::Interactions());
    plot->legend->setVisible(false);
    plot->xAxis->setLabel(QStringLiteral("№ зоны"));
    plot->yAxis->setLabel(QStringLiteral("Нагрузка, %"));
    ui_->loadGraph = plot->addGraph();
    ui_->loadGraph->setPen(QPen(Qt::red));
    ui_->loadGraph->setLineStyle(QCPGraph::lsLine);
    ui_->loadGraph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCross, 6));

    ui_->RTCDate->setDisplayFormat(QLocale::system().dateFormat(QLocale::LongFormat));
    // Room below the groups, for when the program group shrinks to its version line.
    ui_->rightLayout->addStretch(0);
    // The program pages belong to the program operation: shown only with its box.
    setExtendedOperations(!ui_->chbProgram->isHidden());

    now_ = [] { return QDateTime::currentDateTime(); };
    clockTimer_ = new QTimer(this);
    clockTimer_->setObjectName(QStringLiteral("clockTimer"));
    clockTimer_->setSingleShot(true);
    connect(clockTimer_, &QTimer::timeout, this, &ToolsPage::clockTick);
    connect(ui_->RTCTime, &QDateTimeEdit::dateTimeChanged, this, &ToolsPage::clockPickerChanged);
    connect(ui_->RTCDate, &QDateTimeEdit::dateTimeChanged, this, &ToolsPage::clockPickerChanged);

    setClockEditable(ui_->chbSetRTC->isChecked());
    connect(ui_->chbSetRTC, &QCheckBox::toggled, this, &ToolsPage::setClockEditable);
    connect(ui_->chbProgram, &QCheckBox::toggled, ui_->gbProgram, &QWidget::setEnabled);
    ui_->gbProgram->setEnabled(ui_->chbProgram->isChecked());
    connect(ui_->chbStop1, &QCheckBox::toggled, ui_->Stop1, &QWidget::setEnabled);
    connect(ui_->chbStop2, &QCheckBox::toggled, ui_->Stop2, &QWidget::setEnabled);
    connect(ui_->chbUnload, &QCheckBox::toggled, ui_->StopUnload, &QWidget::setEnabled);
    connect(ui_->chbStopSens, &QCheckBox::toggled, ui_->StopSens, &QWidget::setEnabled);
    connect(ui_->chbStopSens, &QCheckBox::toggled, ui_->SensEnable, &QWidget::setEnabled);
    connect(ui_->chbEditPKR, &QCheckBox::toggled, this, &ToolsPage::editIdentificationToggled);
    connect(vylet, &QTableWidget::itemChanged, this, &ToolsPage::redrawLoadChart);
    connect(ui_->bbMakeGruz, &QPushButton::clicked, this, &ToolsPage::bbMakeGruzClick);
    connect(ui_->chbNormir, &QCheckBox::toggled, this, &ToolsPage::chbNormirTicked);
}

ToolsPage::~ToolsPage() = default;

QPushButton* ToolsPage::changeIdentButton() const { return ui_->bbChangeIdent; }

void ToolsPage::setClockEditable(bool editable)
{
    ui_->gbSetRTC->setEnabled(editable);
    for (QWidget* picker : {static_cast<QWidget*>(ui_->RTCTime), static_cast<QWidget*>(ui_->RTCDate)}) {
        QPalette palette = picker->palette();
        palette.setColor(
            QPalette::Base, QApplication::palette(picker).color(editable ? QPalette::Base : QPalette::Button));
        picker->setPalette(palette);
    }
}

void ToolsPage::setExtendedOperations(bool shown)
{
    for (QCheckBox* box : {ui_->chbProgram, ui_->chbErase}) {
        box->setVisible(shown);
        box->setEnabled(shown);
    }
    ui_->PageCtrlPrg->setVisible(shown);
    // Without its pages the group is one line high; the page's spare room goes below the
    // groups instead of into an empty frame.
    ui_->rightLayout->setStretch(0, shown ? 1 : 0);
    ui_->rightLayout->setStretch(2, shown ? 0 : 1);
}

void ToolsPage::setClock(std::function<QDateTime()> now)
{
    now_ = std::move(now);
}

void ToolsPage::setClockPickers(const QDateTime& now)
{
    settingClock_ = true;
    const QTime time = now.time();
    ui_->RTCTime->setTime(QTime(time.hour(), time.minute(), time.second()));
    ui_->RTCDate->setDate(now.date());
    settingClock_ = false;
}

void ToolsPage::clockTick()
{
    const QDateTime now = now_();
    // Not while the engineer types into a picker, nor once they have set it.
    if (!clockEdited_ && !ui_->RTCTime->hasFocus() && !ui_->RTCDate->hasFocus())
        setClockPickers(now);
    scheduleClockTick(now);
}

void ToolsPage::scheduleClockTick(const QDateTime& now)
{
    // Just after the next whole second, so the seconds shown do not lag behind.
    clockTimer_->start(kClockTickMs - now.time().msec() % kClockTickMs);
}

void ToolsPage::clockPickerChanged()
{
    if (!settingClock_)
        clockEdited_ = true;
}

void ToolsPage::readServicePage(ServicePage& page) const
{
    page.chbSetRTC = ui_->chbSetRTC->isChecked();
    page.chbEditPKR = ui_->chbEditPKR->isChecked();
    page.chbNormir = ui_->chbNormir->isChecked();
    page.chbProgram = ui_->chbProgram->isChecked();
    page.chbErase = ui_->chbErase->isChecked();

    const QDate date = ui_->RTCDate->date();
    const QTime time = ui_->RTCTime->time();
    page.clock = ClockSetting{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};

    const QTreeWidget* calibr = ui_->lvCalibr;
    for (std::size_t k = 0; k < page.calibr.size(); ++k) {
        const QTreeWidgetItem* item = calibr->topLevelItem(static_cast<int>(k));
        page.calibr[k] = item != nullptr
            ? std::array<std::string, 2>{item->text(1).toStdString(), item->text(2).toStdString()}
            : std::array<std::string, 2>{"0", "0"};
    }

    for (std::size_t i = 0; i < ui_->switches.size(); ++i)
        page.switches[i] = ui_->switches[i]->isChecked();
    // The text as the engineer left it: one that is no integer reads as the minimum.
    for (std::size_t i = 0; i < ui_->thresholds.size(); ++i)
        page.thresholds[i] = ui_->thresholds[i]->cleanText().toStdString();
    for (std::size_t row = 0; row < page.vylet.size(); ++row)
        for (std::size_t column = 0; column < page.vylet[row].size(); ++column)
            page.vylet[row][column]
                = ui_->sgVylet->item(static_cast<int>(row), static_cast<int>(column) + 1)->text().toStdString();
}

void ToolsPage::applyWriteBack(const ServicePage& page)
{
    // Only unticking: ticking chbNormir again would open its window.
    const std::pair<QCheckBox*, bool> boxes[] = {{ui_->chbSetRTC, page.chbSetRTC},
        {ui_->chbEditPKR, page.chbEditPKR}, {ui_->chbNormir, page.chbNormir}, {ui_->chbProgram, page.chbProgram},
        {ui_->chbErase, page.chbErase}};
    for (const auto& [box, ticked] : boxes)
        if (!ticked && box->isChecked())
            box->setChecked(false);
}

void ToolsPage::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && ui_->bbChangeIdent->isEnabled()
        && ui_->bbChangeIdent->isVisible()) {
        ui_->bbChangeIdent->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ToolsPage::showEvent(QShowEvent* event)
{
    // Every showing of the page starts from the current time; a window coming back from
    // the task bar is no new showing and keeps what the engineer set.
    const QDateTime now = now_();
    if (!event->spontaneous()) {
        clockEdited_ = false;
        setClockPickers(now);
    }
    scheduleClockTick(now);
    QWidget::showEvent(event);
}

void ToolsPage::hideEvent(QHideEvent* event)
{
    clockTimer_->stop();
    QWidget::hideEvent(event);
}

void ToolsPage::showSettings(const SettingsView& settings, const IdentificationView& identification)
{
    // Programmatic ticks run the enabling rules as a click would.
    for (std::size_t i = 0; i < ui_->switches.size(); ++i)
        ui_->switches[i]->setChecked(settings.switches[i]);
    // Each spin box keeps its value inside its own range.
    for (std::size_t i = 0; i < ui_->thresholds.size(); ++i)
        ui_->thresholds[i]->setValue(settings.thresholds[i]);

    {
        const QSignalBlocker blocker(ui_->sgVylet);
        for (std::size_t zone = 0; zone < settings.vylet.size(); ++zone)
            for (std::size_t column = 0; column < settings.vylet[zone].size(); ++column)
                ui_->sgVylet->item(static_cast<int>(zone), static_cast<int>(column))
                    ->setText(fromUtf8(settings.vylet[zone][column]));
    }
    redrawLoadChart();

    QTreeWidget* calibr = ui_->lvCalibr;
    for (std::size_t k = 0; k < settings.calibr.size(); ++k) {
        const int index = static_cast<int>(k);
        QTreeWidgetItem* item = calibr->topLevelItem(index);
        if (item == nullptr) {
            item = new QTreeWidgetItem;
            calibr->addTopLevelItem(item);
        }
        const ListRow& row = settings.calibr[k];
        item->setText(0, fromUtf8(row.caption));
        for (int column = 1; column < calibr->columnCount(); ++column) {
            const auto sub = static_cast<std::size_t>(column - 1);
            item->setText(column, sub < row.subItems.size() ? fromUtf8(row.subItems[sub]) : QString());
        }
    }
    fitColumns(calibr);

    ui_->lVersion->setText(fromUtf8(identification.lVersion));
    ui_->eChangePassport->setText(fromUtf8(identification.eChangePassport));
    ui_->eChangeRTC->setText(fromUtf8(identification.eChangeRTC));
    ui_->eProgramChange->setText(fromUtf8(identification.eProgramChange));
    for (QLineEdit* edit : {ui_->eChangePassport, ui_->eChangeRTC, ui_->eProgramChange})
        edit->setCursorPosition(0);
}

void ToolsPage::readInto(SettingsView& settings, IdentificationView& identification) const
{
    for (std::size_t i = 0; i < ui_->switches.size(); ++i)
        settings.switches[i] = ui_->switches[i]->isChecked();
    for (std::size_t i = 0; i < ui_->thresholds.size(); ++i)
        settings.thresholds[i] = ui_->thresholds[i]->value();
    for (std::size_t zone = 0; zone < settings.vylet.size(); ++zone)
        for (std::size_t column = 0; column < settings.vylet[zone].size(); ++column)
            settings.vylet[zone][column]
                = ui_->sgVylet->item(static_cast<int>(zone), static_cast<int>(column))->text().toStdString();

    settings.calibr.clear();
    const QTreeWidget* calibr = ui_->lvCalibr;
    for (int i = 0; i < calibr->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = calibr->topLevelItem(i);
        ListRow row{item->text(0).toStdString(), {}};
        for (int column = 1; column < calibr->columnCount(); ++column)
            row.subItems.push_back(item->text(column).toStdString());
        settings.calibr.push_back(std::move(row));
    }

    identification.lVersion = ui_->lVersion->text().toStdString();
    identification.eChangePassport = ui_->eChangePassport->text().toStdString();
    identification.eChangeRTC = ui_->eChangeRTC->text().toStdString();
    identification.eProgramChange = ui_->eProgramChange->text().toStdString();
}

void ToolsPage::redrawLoadChart()
{
    std::vector<VyletRow> rows;
    const QTableWidget* vylet = ui_->sgVylet;
    for (int row = 0; row < vylet->rowCount(); ++row)
        rows.push_back({vylet->item(row, 0)->text().toStdString(), vylet->item(row, 1)->text().toStdString(),
            vylet->item(row, 2)->text().toStdString()});
    const LoadChart chart = serviceLoadChart(rows);
    showLoadCharacteristicPoints(*ui_->chrGruz, *ui_->loadGraph, chart.points);
    if (chart.error && loadEditor_.dialogs != nullptr)
        loadEditor_.dialogs->message(this, QString::fromStdString(*chart.error));
}

void ToolsPage::attachNormalisationEditor(GuiDialogs& dialogs, const Session& session)
{
    normalisationEditor_ = {&dialogs, &session};
}

void ToolsPage::chbNormirTicked(bool checked)
{
    if (!checked || normalisationEditor_.session == nullptr)
        return;
    const Session& session = *normalisationEditor_.session;
    QTreeWidget* calibr = ui_->lvCalibr;
    std::vector<SensorRow> sensors;
    for (int k = 0; k < calibr->topLevelItemCount(); ++k) {
        const QTreeWidgetItem* item = calibr->topLevelItem(k);
        sensors.push_back({item->text(0).toStdString(), item->text(1).toStdString(), item->text(2).toStdString()});
    }
    TfNormir window(std::move(sensors), sensorLayoutOf(session.image), session.stats[kCrane].capacity, session.locale,
        *normalisationEditor_.dialogs, this);
    if (window.exec() != QDialog::Accepted) {
        ui_->chbNormir->setChecked(false);
        return;
    }
    // One row per sensor the window was opened with; Qтек is not a corrected value.
    const auto& rows = window.confirmed();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        QTreeWidgetItem* item = calibr->topLevelItem(static_cast<int>(k));
        item->setText(1, fromUtf8(rows[k].zero));
        item->setText(2, fromUtf8(rows[k].nominal));
        item->setText(3, fromUtf8(rows[k].span));
        item->setText(4, QString());
    }
    fitColumns(calibr);
}

void ToolsPage::attachLoadCharacteristicEditor(
    GuiDialogs& dialogs, const MemoryImage& image, const DisplayLocale& locale)
{
    loadEditor_.dialogs = &dialogs;
    loadEditor_.image = &image;
    loadEditor_.locale = &locale;
    if (loadEditor_.window == nullptr)
        loadEditor_.window = new TfMakeGruz(dialogs, this);
}

void ToolsPage::bbMakeGruzClick()
{
    TfMakeGruz* editor = loadEditor_.window;
    if (editor == nullptr)
        return;
    QTableWidget* vylet = ui_->sgVylet;
    std::vector<TfMakeGruz::CodeAndLoad> zones;
    for (int row = 0; row < vylet->rowCount(); ++row)
        zones.push_back({vylet->item(row, 1)->text().toStdString(), vylet->item(row, 2)->text().toStdString()});
    editor->setDisplayLocale(*loadEditor_.locale);
    editor->FormShow(zones, *loadEditor_.image);
    if (editor->exec() == QDialog::Accepted && editor->confirmed()) {
        // Zones 12..15 are not in the editor and keep their cells.
        const QSignalBlocker blocker(vylet);
        const TfMakeGruz::Confirmed& confirmed = *editor->confirmed();
        for (std::size_t zone = 0; zone < confirmed.size(); ++zone)
            for (std::size_t column = 0; column < confirmed[zone].size(); ++column)
                vylet->item(static_cast<int>(zone), static_cast<int>(column) + 1)
                    ->setText(fromUtf8(confirmed[zone][column]));
    }
    redrawLoadChart();
}

} // namespace kestrel::gui
