#include "gui/pages/FleetPage.h"

#include "gui/widgets/FleetTableModel.h"
#include "ui_FleetPage.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSortFilterProxyModel>

namespace kestrel::gui {

FleetPage::FleetPage(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::FleetPage>())
{
    ui_->setupUi(this);
    model_ = new FleetTableModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(FleetTableModel::kSortRole);
    sorted_->setSortLocaleAware(true);
    ui_->lvFleet->setModel(sorted_);
    ui_->lvFleet->verticalHeader()->setVisible(false);
    ui_->lvFleet->verticalHeader()->setDefaultSectionSize(ui_->lvFleet->fontMetrics().height() + 6);
    ui_->lvFleet->horizontalHeader()->setStretchLastSection(true);
    ui_->lvFleet->sortByColumn(kFleetCraneType, Qt::AscendingOrder);
    connect(ui_->btnFleetRefresh, &QPushButton::clicked, this, &FleetPage::refreshRequested);
    // Double-click and Enter both arrive as activated.
    connect(ui_->lvFleet, &QTableView::activated, this, &FleetPage::choose);
}

FleetPage::~FleetPage() = default;

QTableView* FleetPage::lvFleet() const { return ui_->lvFleet; }

void FleetPage::showOverview(const FleetOverview& overview, const QString& source)
{
    model_->setRows(overview.rows);
    std::size_t near = 0;
    std::size_t overdue = 0;
    for (const FleetRow& row : overview.rows) {
        near += row.nearLimit ? 1 : 0;
        overdue += row.overdue ? 1 : 0;
    }
    QString text = QStringLiteral("%1: кранов %2, считываний %3; срок службы использован на 90 % и более: %4; "
                                  "не считывались больше года: %5.")
                       .arg(source)
                       .arg(overview.rows.size())
                       .arg(overview.readings)
                       .arg(near)
                       .arg(overdue);
    if (!overview.note.empty())
        text += QLatin1Char('\n') + QString::fromStdString(overview.note);
    ui_->lFleetSource->setText(text);
    ui_->lvFleet->resizeColumnsToContents();
    // A long verdict or owner must not push the other columns off a laptop's screen (the
    // whole text is in the cell's tool tip).
    for (int column = 0; column < model_->columnCount(); ++column)
        ui_->lvFleet->setColumnWidth(column,
            std::min(ui_->lvFleet->columnWidth(column), column == kFleetOwner ? 220 : 300));
}

void FleetPage::showFailure(const QString& text)
{
    model_->setRows({});
    ui_->lFleetSource->setText(text);
}

void FleetPage::choose(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const qint64 id = sorted_->data(index, FleetTableModel::kReadingIdRole).toLongLong();
    if (id > 0)
        emit readingChosen(id);
}

} // namespace kestrel::gui
