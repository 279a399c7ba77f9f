#include "gui/windows/TfMakeGruz.h"

#include "gui/app/GuiDialogs.h"
#include "gui/widgets/KeyFilters.h"
#include "gui/windows/LoadCharacteristicPlot.h"

#include "ui_TfMakeGruz.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <variant>

namespace kestrel::gui {

namespace {

using Editor = LoadCharacteristicEditor;

QString qt(const std::string& text) { return QString::fromStdString(text); }

// The outreach cells take "." and "," as the locale's separator, as the number edits do.
class OutreachDelegate : public QStyledItemDelegate {
public:
    explicit OutreachDelegate(QObject* parent) : QStyledItemDelegate(parent) {}
    void setSeparator(QChar separator) { separator_ = separator; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor != nullptr && index.column() == Editor::Outreach)
            editor->installEventFilter(new DecimalKeyFilter(separator_, editor));
        return editor;
    }

private:
    QChar separator_ = u'.';
};

} // namespace

TfMakeGruz::TfMakeGruz(GuiDialogs& dialogs, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TfMakeGruz>()), dialogs_(dialogs)
{
    ui_->setupUi(this);
    QTableWidget* grid = ui_->sgMakeGruz;
    grid->setItemDelegate(new OutreachDelegate(grid));
    for (int row = 0; row < Editor::kRows; ++row)
        for (int column = 0; column < Editor::kColumns; ++column) {
            auto* cell = new QTableWidgetItem;
            // The zone number is not edited: nothing reads it back.
            if (column == Editor::Zone)
                cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            grid->setItem(row, column, cell);
        }
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    graph_ = setUpLoadCharacteristicPlot(
        *ui_->chrGruz, QStringLiteral("Вылет, м"), QStringLiteral("Допустимая нагрузка, %"));

    connect(ui_->bbCalc, &QPushButton::clicked, this, &TfMakeGruz::bbCalcClick);
    connect(ui_->bbClear, &QPushButton::clicked, this, &TfMakeGruz::bbClearClick);
    connect(ui_->bbOk, &QPushButton::clicked, this, &TfMakeGruz::bbOkClick);
    connect(ui_->bbCancel, &QPushButton::clicked, this, &TfMakeGruz::bbCancelClick);
    connect(grid, &QTableWidget::itemChanged, this, &TfMakeGruz::sgMakeGruzSetEditText);
}

TfMakeGruz::~TfMakeGruz() = default;

void TfMakeGruz::setDisplayLocale(const DisplayLocale& locale)
{
    editor_.setLocale(locale);
    static_cast<OutreachDelegate*>(ui_->sgMakeGruz->itemDelegate())
        ->setSeparator(QChar::fromLatin1(locale.decimalSeparator));
}

void TfMakeGruz::FormShow(std::span<const CodeAndLoad> vylet, ConstBytes image)
{
    confirmed_.reset();
    editor_.open(vylet, image);
    showGrid();
    redrawChart();
    ui_->sgMakeGruz->setCurrentCell(0, Editor::Outreach);
}

void TfMakeGruz::bbCalcClick()
{
    const int row = ui_->sgMakeGruz->currentRow();
    if (row < 0)
        return;
    if (const auto message = editor_.interpolateRow(row)) {
        dialogs_.message(this, qt(*message));
        return;
    }
    showGrid();
    redrawChart();
}

void TfMakeGruz::bbClearClick()
{
    editor_.clear();
    showGrid();
    redrawChart();
}

void TfMakeGruz::bbOkClick()
{
    const auto result = editor_.confirm();
    if (const auto* message = std::get_if<std::string>(&result)) {
        // The window stays open so that the outreach entered so far is not lost.
        dialogs_.message(this, qt(*message));
        return;
    }
    confirmed_ = std::get<Confirmed>(result);
    accept();
}

void TfMakeGruz::bbCancelClick() { reject(); }

void TfMakeGruz::sgMakeGruzSetEditText(QTableWidgetItem* item)
{
    editor_.setCell(item->row(), item->column(), item->text().toStdString());
    redrawChart();
}

void TfMakeGruz::showGrid()
{
    const QSignalBlocker blocker(ui_->sgMakeGruz);
    for (int row = 0; row < Editor::kRows; ++row)
        for (int column = 0; column < Editor::kColumns; ++column)
            ui_->sgMakeGruz->item(row, column)->setText(qt(editor_.cell(row, column)));
}

void TfMakeGruz::redrawChart() { showLoadCharacteristicPoints(*ui_->chrGruz, *graph_, editor_.chartPoints()); }

} // namespace kestrel::gui
