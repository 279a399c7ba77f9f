#pragma once

#include "core/fleet/FleetOverview.h"

#include <QWidget>

#include <memory>

class QSortFilterProxyModel;
class QTableView;

namespace Ui {
class FleetPage;
}

namespace kestrel::gui {

class FleetTableModel;

// "Парк кранов" (tsFleet): one row per crane of the archive, sortable by every column,
// cranes near their design limit or not read for a year marked.
class FleetPage : public QWidget {
    Q_OBJECT
public:
    explicit FleetPage(QWidget* parent = nullptr);
    ~FleetPage() override;

    // The rows, and a line naming the source, the counts and what was skipped.
    void showOverview(const FleetOverview& overview, const QString& source);
    // Only a line: the overview could not be built (the rows are cleared).
    void showFailure(const QString& text);

    QTableView* lvFleet() const;

signals:
    void refreshRequested();
    // A crane was double-clicked (or Enter pressed on it): its newest usable reading.
    void readingChosen(qint64 id);

private:
    void choose(const QModelIndex& index);

    std::unique_ptr<Ui::FleetPage> ui_;
    FleetTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
};

} // namespace kestrel::gui
