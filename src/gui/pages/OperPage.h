#pragma once

#include "core/view/MainView.h"

#include <QIcon>
#include <QList>
#include <QWidget>

#include <memory>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class OperPage;
}

namespace kestrel::gui {

// "Оперативные данные" (tsOper): the lists " Рабочие циклы " (lvLast) and
// " Срабатывания ограничителя " (lvStop). Each row draws its state image and its item
// image side by side in the first column; the indices are kept in the roles below.
class OperPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kIconRole = Qt::UserRole;
    static constexpr int kStateIconRole = Qt::UserRole + 1;

    explicit OperPage(QWidget* parent = nullptr);
    ~OperPage() override;

    // The image list ImageState (0 detail, 1 stop, 2 service).
    void setImages(const QList<QIcon>& images);
    void showCycleLists(const std::vector<CycleListRow>& last, const std::vector<CycleListRow>& stop);
    void readInto(std::vector<CycleListRow>& last, std::vector<CycleListRow>& stop) const;

    QTreeWidget* lvLast() const;
    QTreeWidget* lvStop() const;

signals:
    // A row was clicked or Enter was pressed on it: its date and time text.
    void cycleChosen(const QString& dateText);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill(QTreeWidget* list, const std::vector<CycleListRow>& rows);
    static void read(const QTreeWidget* list, std::vector<CycleListRow>& rows);
    void choose(const QTreeWidgetItem* item);

    std::unique_ptr<Ui::OperPage> ui_;
    QList<QIcon> images_;
};

} // namespace kestrel::gui
