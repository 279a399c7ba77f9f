#include "gui/windows/TfNormir.h"

#include "core/config/NormalisationText.h"
#include "core/text/NumberFormat.h"
#include "gui/app/GuiDialogs.h"
#include "gui/widgets/GridLinesDelegate.h"
#include "gui/widgets/KeyFilters.h"

#include "ui_TfNormir.h"

#include <QFocusEvent>

namespace kestrel::gui {

namespace {

constexpr int kCaptionWidth = 85;
constexpr int kValueWidth = 60;

QString qt(const std::string& text) { return QString::fromStdString(text); }
std::string utf8(const QString& text) { return text.toStdString(); }

} // namespace

struct TfNormir::Ui : ::Ui_TfNormir {};

TfNormir::TfNormir(std::vector<SensorRow> sensors, SensorLayout layout, float craneCapacity,
    const DisplayLocale& locale, GuiDialogs& dialogs, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui>()), sensors_(std::move(sensors)), layout_(layout), locale_(locale),
      dialogs_(dialogs)
{
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const QChar separator = QChar::fromLatin1(locale_.decimalSeparator);
    // Counts are whole numbers; volts need the separator too, or they could not be typed.
    for (QLineEdit* edit : {ui_->eQo, ui_->eQnom}) {
        if (layout_ == SensorLayout::TwoSensors)
            edit->installEventFilter(new DecimalKeyFilter(separator, edit));
        else
            edit->installEventFilter(new DigitKeyFilter(edit));
        edit->installEventFilter(this);
    }
    for (QLineEdit* edit : {ui_->eNom, ui_->eReal})
        edit->installEventFilter(new DecimalKeyFilter(separator, edit));

    QTreeWidget* list = ui_->lvSens;
    list->setItemDelegate(new GridLinesDelegate(list));
    list->setColumnWidth(0, kCaptionWidth);
    list->setColumnWidth(1, kValueWidth);
    list->setColumnWidth(2, kValueWidth);
    for (const SensorRow& sensor : sensors_)
        list->addTopLevelItem(new QTreeWidgetItem(QStringList{qt(sensor.caption), qt(sensor.zero), qt(sensor.nominal)}));

    connect(list, &QTreeWidget::itemSelectionChanged, this, &TfNormir::lvSensSelectItem);
    connect(ui_->sbScale, &QToolButton::clicked, this, &TfNormir::sbScaleClick);
    connect(ui_->bbUpdate, &QPushButton::clicked, this, &TfNormir::bbUpdateClick);
    connect(ui_->bbCancel, &QPushButton::clicked, this, &QDialog::reject);

    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    // The ratio is 1 until the engineer changes one of them.
    const QString capacity = qt(formatFixed(craneCapacity, 2, locale_));
    ui_->eNom->setText(capacity);
    ui_->eReal->setText(capacity);
}

TfNormir::~TfNormir()
{
    // Children lose the focus while they are destroyed: that is no leaving a field.
    ui_->eQo->removeEventFilter(this);
    ui_->eQnom->removeEventFilter(this);
}

bool TfNormir::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == ui_->eQo || watched == ui_->eQnom)) {
        // Only a move to another control of this window leaves the field; a message box
        // or another window taking the focus does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            eQoExit();
    }
    return QDialog::eventFilter(watched, event);
}

int TfNormir::selectedSensor() const
{
    const QList<QTreeWidgetItem*> selected = ui_->lvSens->selectedItems();
    return selected.isEmpty() ? -1 : ui_->lvSens->indexOfTopLevelItem(selected.front());
}

void TfNormir::showSensorFields(int index)
{
    const SensorRow& sensor = sensors_[static_cast<std::size_t>(index)];
    ui_->eSensor->setText(qt(sensor.caption));
    ui_->eQo->setText(qt(sensor.zero));
    ui_->eQnom->setText(qt(sensor.nominal));
}

void TfNormir::lvSensSelectItem()
{
    if (const int index = selectedSensor(); index >= 0)
        showSensorFields(index);
}

void TfNormir::eQoExit()
{
    // With the selection cleared there is no sensor to store into: the list stays.
    const int index = selectedSensor();
    if (index < 0)
        return;
    auto& sensor = sensors_[static_cast<std::size_t>(index)];
    try {
        sensor = storedSensor(sensor, utf8(ui_->eQo->text()), utf8(ui_->eQnom->text()), layout_, locale_);
        QTreeWidgetItem* item = ui_->lvSens->topLevelItem(index);
        item->setText(1, qt(sensor.zero));
        item->setText(2, qt(sensor.nominal));
    } catch (const NormalisationError& error) {
        dialogs_.message(this, qt(error.what()));
    }
    // The fields show what the sensor holds now: the 16-bit value, the volts rounded,
    // or after a refused text the values before it.
    showSensorFields(index);
}

void TfNormir::sbScaleClick()
{
    const auto nominal = scaledNominal(utf8(ui_->eQo->text()), utf8(ui_->eQnom->text()), utf8(ui_->eNom->text()),
        utf8(ui_->eReal->text()), layout_, locale_);
    if (!nominal)
        return;
    ui_->eQnom->setText(qt(*nominal));
    eQoExit();
}

void TfNormir::bbUpdateClick()
{
    confirmed_ = confirmedSensors(sensors_, layout_, locale_);
    accept();
}

} // namespace kestrel::gui
