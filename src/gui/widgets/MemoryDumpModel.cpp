#include "gui/widgets/MemoryDumpModel.h"

namespace kestrel::gui {

MemoryDumpModel::MemoryDumpModel(QObject* parent) : QAbstractTableModel(parent) {}

void MemoryDumpModel::setTable(MemoryDumpTable table)
{
    beginResetModel();
    table_ = std::move(table);
    hasTable_ = true;
    endResetModel();
}

void MemoryDumpModel::clear()
{
    beginResetModel();
    table_ = MemoryDumpTable();
    hasTable_ = false;
    endResetModel();
}

int MemoryDumpModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_.rowCount() - MemoryDumpTable::kFixedRows;
}

int MemoryDumpModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_.columnCount();
}

QVariant MemoryDumpModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(table_.cell(index.row() + MemoryDumpTable::kFixedRows, index.column()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

QVariant MemoryDumpModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return hasTable_ ? QString::fromStdString(table_.cell(0, section)) : QString();
    return {};
}

Qt::ItemFlags MemoryDumpModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace kestrel::gui
