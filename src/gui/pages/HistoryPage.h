#pragma once

#include "core/archive/ReadingArchive.h"
#include "core/life/HistoryView.h"

#include <QWidget>

#include <memory>

class QCustomPlot;
class QTreeWidget;

namespace Ui {
class HistoryPage;
}

namespace kestrel::gui {

// "История" (tsHistory): the readings of the current recorder kept in the archive, the
// periods between them, the crane's work by month and its design working period.
class HistoryPage : public QWidget {
    Q_OBJECT
public:
    explicit HistoryPage(QWidget* parent = nullptr);
    ~HistoryPage() override;

    void showContent(const HistoryView& content);
    // The design classes the user entered for the crane; `passportGroup` is what the
    // passport says ("" when nothing), shown as the hint of an empty crane group.
    void showDesign(const DesignClasses& design, const std::string& passportGroup);
    DesignClasses design() const;

    QTreeWidget* lvReadings() const;
    QCustomPlot* chart() const;

signals:
    // A reading was double-clicked or Enter was pressed on it.
    void readingChosen(qint64 id);
    // "Сохранить" beside the design classes.
    void designSaveRequested();
    // "Сохранить в Excel…" under the lists.
    void excelSaveRequested();

private:
    void assignHelpContexts();
    void renderChart(const HistoryView& content);

    std::unique_ptr<Ui::HistoryPage> ui_;
};

} // namespace kestrel::gui
