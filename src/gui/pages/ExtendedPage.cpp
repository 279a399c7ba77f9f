#include "gui/pages/ExtendedPage.h"

#include "core/ui/ScriptedUserInterface.h"
#include "gui/widgets/MemoryDumpModel.h"

#include "ui_ExtendedPage.h"

#include <QHeaderView>

namespace kestrel::gui {

namespace {

constexpr int kByteColumnWidth = 24;
constexpr int kRowHeight = 20;

} // namespace

struct ExtendedPage::Ui : ::Ui_ExtendedPage {
    MemoryDumpModel* model = nullptr;
};

ExtendedPage::ExtendedPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui>())
{
    ui_->setupUi(this);
    ui_->model = new MemoryDumpModel(this);

    QTableView* table = ui_->sgRAM;
    table->setModel(ui_->model);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    // Fixed sizes keep a 2 048-line dump instant: no row or column is measured.
    QHeaderView* columns = table->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setMinimumSectionSize(kByteColumnWidth);
    columns->setDefaultSectionSize(kByteColumnWidth);
    columns->setFixedHeight(kRowHeight);
    QHeaderView* rows = table->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(kRowHeight);
    rows->setDefaultSectionSize(kRowHeight);
    const auto sizeAddressColumn = [table] { table->setColumnWidth(0, MemoryDumpTable::kAddressColumnWidth); };
    connect(ui_->model, &QAbstractItemModel::modelReset, table, sizeAddressColumn);
    sizeAddressColumn();

    connect(ui_->bbGetRAM, &QPushButton::clicked, this, &ExtendedPage::readRequested);
    connect(ui_->bbErase, &QPushButton::clicked, this, &ExtendedPage::eraseRequested);
}

ExtendedPage::~ExtendedPage() = default;

void ExtendedPage::showMemoryDump(std::uint16_t start, std::span<const std::uint8_t> bytes)
{
    ui_->model->setTable(kestrel::showMemoryDump(start, bytes));
}

MemoryDumpModel& ExtendedPage::model() const { return *ui_->model; }

void ExtendedPage::clearMemoryDump() { ui_->model->clear(); }

AreaFields ExtendedPage::areaFields() const
{
    return AreaFields{ui_->eeStart->text().toStdString(), ui_->eeSize->text().toStdString()};
}

void ExtendedPage::setAreaFields(const AreaFields& fields)
{
    ui_->eeStart->setText(QString::fromStdString(fields.eeStart));
    ui_->eeSize->setText(QString::fromStdString(fields.eeSize));
}

void ExtendedPage::showNormalisedAreaFields()
{
    AreaFields fields = areaFields();
    ScriptedUserInterface silent; // the action that follows reports a refusal once
    if (readAreaRange(fields, silent))
        setAreaFields(fields);
}

} // namespace kestrel::gui
