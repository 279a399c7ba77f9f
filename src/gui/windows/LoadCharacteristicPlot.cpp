#include "gui/windows/LoadCharacteristicPlot.h"

#include <qcustomplot.h>

namespace kestrel::gui {

QCPGraph* setUpLoadCharacteristicPlot(QCustomPlot& plot, const QString& horizontalTitle, const QString& verticalTitle)
{
    plot.setBackground(Qt::white);
    plot.setInteractions(QCP::Interactions());
    plot.legend->setVisible(false);
    plot.xAxis->setLabel(horizontalTitle);
    plot.yAxis->setLabel(verticalTitle);
    QCPGraph* graph = plot.addGraph();
    graph->setPen(QPen(Qt::red));
    graph->setLineStyle(QCPGraph::lsLine);
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCross, 6));
    return graph;
}

void showLoadCharacteristicPoints(QCustomPlot& plot, QCPGraph& graph, const std::vector<LoadChartPoint>& points)
{
    QVector<double> codes;
    QVector<double> loads;
    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    for (const LoadChartPoint& point : points) {
        codes.push_back(point.code);
        loads.push_back(point.load);
        ticker->addTick(point.code, QString::fromStdString(point.label));
    }
    graph.setData(codes, loads, true); // the points come ordered by code
    if (points.empty()) {
        plot.xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
    } else {
        plot.xAxis->setTicker(ticker);
        graph.rescaleAxes();
        plot.xAxis->scaleRange(1.1);
        plot.yAxis->scaleRange(1.1);
    }
    plot.replot();
}

} // namespace kestrel::gui
