#pragma once

#include "core/device/reader/MemoryDumpTable.h"

#include <QAbstractTableModel>

namespace kestrel::gui {

// sgRAM's model over a MemoryDumpTable. The table's row 0 (the offsets "00".."0F") is
// the horizontal header, so it stays in view while the lines scroll; model row r is
// table row r + 1. Read-only; a new table replaces the old one at once (a reset).
// Until a table is set, and again after clear(), it shows one empty line and no
// captions, so an empty table does not look like a reading.
class MemoryDumpModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MemoryDumpModel(QObject* parent = nullptr);

    void setTable(MemoryDumpTable table);
    void clear();
    bool hasTable() const { return hasTable_; }
    const MemoryDumpTable& table() const { return table_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    MemoryDumpTable table_;
    bool hasTable_ = false;
};

} // namespace kestrel::gui
