#pragma once

#include "core/fleet/FleetOverview.h"

#include <QAbstractTableModel>

namespace kestrel::gui {

// The rows of the fleet overview for a QTableView. The sort role gives numbers as
// numbers and dates as days, so that the view's sorting orders them as such; rows
// without a figure sort before all others.
class FleetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kSortRole = Qt::UserRole + 1;
    static constexpr int kReadingIdRole = Qt::UserRole + 2;

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<FleetRow> rows);
    const std::vector<FleetRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<FleetRow> rows_;
};

} // namespace kestrel::gui
