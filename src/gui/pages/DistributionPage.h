#pragma once

#include "core/view/MainView.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QCustomPlot;

namespace kestrel::gui {

class GuiDialogs;

// "Распределение циклов" (tsRegData): lvLoad, Chart1 with three stepped areas, rgStep,
// the series check boxes, the 3D switch, printing and saving the chart.
class DistributionPage : public QWidget {
    Q_OBJECT
public:
    DistributionPage(GuiDialogs& dialogs, QWidget* parent = nullptr);
    ~DistributionPage() override;

    // Shows lvLoad and Chart1 as the view says (rows, points, shown series, left axis maximum, legend).
    void showDistribution(const DistributionView& view);
    // The step rgStep selects: 1, 5, 10 or 20.
    int step() const;
    // lvLoad as it is shown, for the documents.
    void readInto(DistributionView& view) const;
    // Clears the three series (the window's close event).
    void clearChart();
    QCustomPlot* chart() const;

signals:
    // rgStepClick: the window rebuilds the view for the new step and shows it again. The
    // series the user ticked stay ticked in the view shown in answer.
    void stepChanged(int step);

private:
    void rgStepClick(int step);
    void renderChart();
    void seriesBoxToggled();
    void printChart();
    void saveChart();

    struct Ui;
    std::unique_ptr<Ui> ui_;
    GuiDialogs& dialogs_;
    DistributionView shown_;
    // While a step click is being answered: the ticks to keep over the rebuilt view.
    std::optional<std::array<bool, 3>> keptSelection_;
};

} // namespace kestrel::gui
