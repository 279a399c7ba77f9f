#include "gui/widgets/FleetTableModel.h"

#include <QBrush>
#include <QColor>

namespace kestrel::gui {

namespace {

QVariant sortValue(const FleetRow& row, std::size_t column)
{
    switch (column) {
    case kFleetLastReading:
        return row.newestId != 0 && row.lastReading > 0.0 ? QVariant(row.lastReading) : QVariant(-1.0e9);
    case kFleetDaysSince:
        return row.daysSince ? QVariant(*row.daysSince) : QVariant(-1.0e9);
    case kFleetCycles:
        return row.newestId != 0 ? QVariant(static_cast<qlonglong>(row.cycles)) : QVariant(-1.0e9);
    case kFleetUsed:
        return row.usedPercent ? QVariant(*row.usedPercent) : QVariant(-1.0e9);
    default:
        return QString::fromStdString(row.texts[column]);
    }
}

} // namespace

void FleetTableModel::setRows(std::vector<FleetRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int FleetTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FleetTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(kFleetColumnCount);
}

QVariant FleetTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const FleetRow& row = rows_[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    const bool marked = row.nearLimit || row.overdue || row.damaged > 0;
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(row.texts[column]);
    case kSortRole:
        return sortValue(row, column);
    case kReadingIdRole:
        return static_cast<qlonglong>(row.newestId);
    case Qt::ToolTipRole: {
        // The whole text of a cell a narrow column cuts, then why the row is marked.
        QString tip = column == kFleetOwner || column == kFleetVerdict ? QString::fromStdString(row.texts[column])
                                                                         : QString();
        if (marked)
            tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + QString::fromStdString(row.attention);
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    case Qt::BackgroundRole:
        // A crane near its design limit outweighs one only read too long ago.
        if (row.nearLimit)
            return QBrush(QColor(255, 205, 205));
        if (row.overdue || row.damaged > 0)
            return QBrush(QColor(255, 240, 190));
        return {};
    case Qt::TextAlignmentRole:
        if (column == kFleetDaysSince || column == kFleetCycles || column == kFleetUsed)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant FleetTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return QString::fromUtf8(kFleetHeader[static_cast<std::size_t>(section)]);
}

} // namespace kestrel::gui
