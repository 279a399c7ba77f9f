#include "gui/pages/DistributionPage.h"

#include "core/stats/LoadDistribution.h"
#include "gui/support/PageTestSessions.h"
#include "gui/support/PdfPrinterDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <qcustomplot.h>

#include <cmath>

using namespace kestrel;
using namespace kestrel::gui;

namespace {

QCPGraph* graphNamed(QCustomPlot* plot, const QString& name)
{
    for (int i = 0; i < plot->graphCount(); ++i)
        if (plot->graph(i)->objectName() == name)
            return plot->graph(i);
    return nullptr;
}

QCPGraph* series(QCustomPlot* plot, int k) { return graphNamed(plot, QStringLiteral("series%1").arg(k)); }
QCPGraph* depth(QCustomPlot* plot, int k) { return graphNamed(plot, QStringLiteral("depth%1").arg(k)); }

template <typename T> T* child(const QWidget& page, const char* name)
{
    T* found = page.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("no child %s", name);
    return found;
}

// The page shows exactly what the view holds.
void verifyShows(const DistributionPage& page, const DistributionView& view)
{
    const auto* list = child<QTreeWidget>(page, "lvLoad");
    QCOMPARE(static_cast<std::size_t>(list->topLevelItemCount()), view.lvLoad.size());
    for (std::size_t r = 0; r < view.lvLoad.size(); ++r) {
        const QTreeWidgetItem* item = list->topLevelItem(static_cast<int>(r));
        QCOMPARE(item->text(0).toStdString(), view.lvLoad[r].caption);
        for (std::size_t i = 0; i < view.lvLoad[r].subItems.size(); ++i)
            QCOMPARE(item->text(static_cast<int>(i) + 1).toStdString(), view.lvLoad[r].subItems[i]);
    }

    QCustomPlot* plot = page.chart();
    int inLegend = 0;
    for (int k = 0; k < 3; ++k) {
        QCPGraph* graph = series(plot, k);
        QVERIFY(graph != nullptr);
        const auto& points = view.series[static_cast<std::size_t>(k)];
        QCOMPARE(static_cast<std::size_t>(graph->dataCount()), points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            const auto at = graph->data()->at(static_cast<int>(i));
            QCOMPARE(at->key, points[i].x);
            QCOMPARE(at->value, points[i].y);
        }
        QCOMPARE(graph->visible(), view.shown[static_cast<std::size_t>(k)]);
        inLegend += plot->legend->hasItemWithPlottable(graph) ? 1 : 0;
    }
    QCOMPARE(plot->yAxis->range().lower, 0.0);
    if (view.leftAxisMaximum > 0.0)
        QCOMPARE(plot->yAxis->range().upper, view.leftAxisMaximum);
    QCOMPARE(plot->legend->visible(), view.legendVisible);
    QCOMPARE(inLegend, static_cast<int>(std::count(view.shown.begin(), view.shown.end(), true)));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class DistributionPageTest : public QObject {
    Q_OBJECT

private slots:
    void startsInTheDesignState()
    {
        ScriptedGuiDialogs dialogs;
        DistributionPage page(dialogs);
        QCOMPARE(page.step(), 20);
        QCOMPARE(child<QTreeWidget>(page, "lvLoad")->topLevelItemCount(), 0);
        QCOMPARE(page.chart()->yAxis->range().upper, 353.0);
        QVERIFY(child<QRadioButton>(page, "rbView3DOn")->isChecked());
        QCOMPARE(child<QRadioButton>(page, "rbView3DOn")->text(), QStringLiteral("Вкл. "));
        QCOMPARE(series(page.chart(), 0)->name(), QStringLiteral("Кран      "));
        QCOMPARE(series(page.chart(), 1)->brush().color(), QColor(128, 255, 255));
        QCOMPARE(series(page.chart(), 1)->lineStyle(), QCPGraph::lsStepLeft);
        QCOMPARE(page.chart()->interactions(), QCP::Interactions());
        for (int k = 0; k < 3; ++k)
            QCOMPARE(series(page.chart(), k)->dataCount(), 0);
    }

    void showsTheCoreViewAtEveryStep()
    {
        Session session = test::demoSession(3);
        ScriptedGuiDialogs dialogs;
        DistributionPage page(dialogs);
        for (int step : {1, 5, 10, 20}) {
            DistributionView view = session.view.distribution;
            view.step = step;
            showLoadDistribution(session.stats, view);
            QVERIFY(view.leftAxisMaximum > 0.0);
            page.showDistribution(view);
            QCOMPARE(page.step(), step);
            verifyShows(page, view);

            // The load axis marks zone boundaries only, and not too densely to read.
            page.chart()->replot();
            const QVector<double> ticks = page.chart()->xAxis->tickVector();
            QVERIFY(ticks.size() >= 4);
            QVERIFY(ticks.size() <= 20);
            for (double tick : ticks)
                QCOMPARE(std::fmod(tick, double(step)), 0.0);

            DistributionView back;
            page.readInto(back);
            QCOMPARE(back.lvLoad.size(), view.lvLoad.size());
            for (std::size_t r = 0; r < view.lvLoad.size(); ++r) {
                QCOMPARE(back.lvLoad[r].caption, view.lvLoad[r].caption);
                QCOMPARE(back.lvLoad[r].subItems, view.lvLoad[r].subItems);
            }
        }
    }

    void aStepClickAsksForARebuild()
    {
        ScriptedGuiDialogs dialogs;
        DistributionPage page(dialogs);
        QSignalSpy spy(&page, &DistributionPage::stepChanged);
        child<QRadioButton>(page, "rbStep5")->click();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 5);
        QCOMPARE(page.step(), 5);

        // Showing a rebuilt view selects its step without asking again.
        DistributionView view;
        view.step = 10;
        page.showDistribution(view);
        QCOMPARE(page.step(), 10);
        QCOMPARE(spy.count(), 1);
    }

    void seriesBoxesFollowTheSelectionRules()
    {
        Session session = test::demoSession(5);
        ScriptedGuiDialogs dialogs;
        DistributionPage page(dialogs);
        DistributionView expected = session.view.distribution;
        page.showDistribution(expected);
        QVERIFY(child<QCheckBox>(page, "chbKran")->isChecked());
        QVERIFY(!child<QCheckBox>(page, "chbLeb1")->isChecked());
        verifyShows(page, expected);

        child<QCheckBox>(page, "chbLeb1")->click();
        applySeriesSelection(expected, {true, true, false});
        verifyShows(page, expected);
        QVERIFY(page.chart()->legend->visible());

        child<QCheckBox>(page, "chbKran")->click();
        child<QCheckBox>(page, "chbLeb1")->click();
        applySeriesSelection(expected, {false, false, false});
        verifyShows(page, expected);
        QVERIFY(!page.chart()->legend->visible());

        // A rebuild for a new reading resets the selection to the crane alone.
        child<QCheckBox>(page, "chbLeb2")->click();
        DistributionView rebuilt = session.view.distribution;
        rebuilt.step = 10;
        showLoadDistribution(session.stats, rebuilt);
        page.showDistribution(rebuilt);
        QVERIFY(!child<QCheckBox>(page, "chbLeb2")->isChecked());
        verifyShows(page, rebuilt);
    }

    void aStepClickKeepsTheTickedSeries()
    {
        Session session = test::demoSession(5);
        ScriptedGuiDialogs dialogs;
        DistributionPage page(dialogs);
        // Answered as the main window answers it: the view rebuilt for the step, shown again.
        DistributionView rebuilt;
        connect(&page, &DistributionPage::stepChanged, &page, [&](int step) {
            rebuilt = session.view.distribution;
            rebuilt.step = step;
            showLoadDistribution(session.stats, rebuilt);
            page.showDistribution(rebuilt);
        });
        page.showDistribution(session.view.distribution);
        child<QCheckBox>(page, "chbKran")->click();
        child<QCheckBox>(page, "chbLeb1")->click();
        child<QCheckBox>(page, "chbLeb2")->click();

        child<QRadioButton>(page, "rbStep5")->click();
        QCOMPARE(page.step(), 5);
        QVERIFY(!child<QCheckBox>(page, "chbKran")->isChecked());
        QVERIFY(child<QCheckBox>(page, "chbLeb1")->isChecked());
        QVERIFY(child<QCheckBox>(page, "chbLeb2")->isChecked());
        // The axis and the legend follow the kept ticks over the new zones.
        DistributionView expected = rebuilt;
        applySeriesSelection(expected, {false, true, true});
        verifyShows(page, expected);

        // A view shown later (a new reading) is shown with its own selection: the kept
        // ticks belong to the step click alone.
        page.showDistribution(session.view.distribution);
        QVERIFY(child<QCheckBox>(page, "chbKran")->isChecked());
        QVERIFY(!child<QCheckBox>(page, "chbLeb1")->isChecked());
    }

    void threeDimensionalLookIsSwitchable()
    {
        Session session = test::demoSession(2);
        ScriptedGuiDialogs dialogs;
        DistributionPage page(dialogs);
        DistributionView view = session.view.distribution;
        applySeriesSelection(view, {true, false, true});
        page.showDistribution(view);
        QCustomPlot* plot = page.chart();
        QVERIFY(depth(plot, 0)->visible());
        QVERIFY(!depth(plot, 1)->visible());
        QVERIFY(depth(plot, 2)->visible());
        QVERIFY(!plot->legend->hasItemWithPlottable(depth(plot, 0)));
        // Drawn back to front, each copy just behind its own series: crane, winch 1, winch 2.
        const QList<QCPLayerable*> order = depth(plot, 0)->layer()->children();
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(series(plot, k)->layer(), depth(plot, k)->layer());
            QCOMPARE(order.indexOf(series(plot, k)), order.indexOf(depth(plot, k)) + 1);
        }

        child<QRadioButton>(page, "rbView3DOff")->click();
        for (int k = 0; k < 3; ++k)
            QVERIFY(!depth(plot, k)->visible());
        QVERIFY(series(plot, 0)->visible());

        // The choice survives a rebuild.
        page.showDistribution(view);
        for (int k = 0; k < 3; ++k)
            QVERIFY(!depth(plot, k)->visible());
        child<QRadioButton>(page, "rbView3DOn")->click();
        QVERIFY(depth(plot, 2)->visible());
    }

    void theDepthStandsOnTheAxisAndNothingFloatsAboveEmptyZones()
    {
        ScriptedGuiDialogs dialogs;
        DistributionPage page(dialogs);
        page.resize(1000, 700);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        // Zone 1 holds 40 cycles, zone 2 10, zones 3 to 6 none.
        DistributionView view;
        view.step = 20;
        const auto point = [](double x, double y) { return ChartPoint{x, y, {}}; };
        view.series[0] = {point(0, 0), point(0, 40), point(20, 10), point(40, 0), point(60, 0), point(80, 0),
            point(100, 0), point(120, 0)};
        view.series[1] = {point(0, 0), point(120, 0)};
        view.series[2] = {point(0, 0), point(120, 0)};
        view.shown = {true, false, false};
        view.leftAxisMaximum = 44.0;
        view.legendVisible = false;
        page.showDistribution(view);
        QCustomPlot* plot = page.chart();
        plot->replot();
        const QImage picture = plot->toPixmap().toImage();
        const auto pixel = [&](double key, double pixelsAbove) {
            return picture.pixelColor(qRound(plot->xAxis->coordToPixel(key)),
                qRound(plot->yAxis->coordToPixel(0.0) - pixelsAbove));
        };
        const auto coloured = [](const QColor& colour) { return colour.hsvSaturation() > 60; };

        // Above the zones without cycles there is only the white plot and its grey grid.
        for (double key : {50.0, 70.0, 90.0, 110.0})
            for (int above = 2; above <= 14; ++above)
                QVERIFY2(!coloured(pixel(key, above)),
                    qPrintable(QStringLiteral("%1 at %2 px above the axis").arg(key).arg(above)));
        // The depth is there: above the front of zone 1 and right of its step down.
        const double topOfZone1 = plot->yAxis->coordToPixel(40.0);
        const QColor behind = picture.pixelColor(qRound(plot->xAxis->coordToPixel(10.0)), qRound(topOfZone1 - 5.0));
        QVERIFY(coloured(behind));
        QVERIFY(behind != QColor(0, 255, 0)); // darker than the front

        child<QRadioButton>(page, "rbView3DOff")->click();
        const QImage flat = plot->toPixmap().toImage();
        QVERIFY(!coloured(flat.pixelColor(qRound(plot->xAxis->coordToPixel(10.0)), qRound(topOfZone1 - 5.0))));
    }

    void clearChartEmptiesTheSeries()
    {
        Session session = test::demoSession(1);
        ScriptedGuiDialogs dialogs;
        DistributionPage page(dialogs);
        page.showDistribution(session.view.distribution);
        page.clearChart();
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(series(page.chart(), k)->dataCount(), 0);
            QCOMPARE(depth(page.chart(), k)->dataCount(), 0);
        }
    }

    void printsOneLandscapePageAndRestoresTheOrientation()
    {
        QTemporaryDir dir;
        test::PdfPrinterDialogs dialogs;
        dialogs.pdfPath = dir.filePath(QStringLiteral("chart.pdf"));
        DistributionPage page(dialogs);
        page.showDistribution(test::demoSession(1).view.distribution);

        // Cancelled: nothing printed.
        child<QPushButton>(page, "bbPrintImage")->click();
        QCOMPARE(dialogs.kinds(), QStringList{QStringLiteral("printer")});
        QVERIFY(!QFile::exists(dialogs.pdfPath));

        dialogs.printerAnswers.push_back(true);
        child<QPushButton>(page, "bbPrintImage")->click();
        const QByteArray pdf = readAll(dialogs.pdfPath);
        QVERIFY(pdf.startsWith("%PDF"));
        const QRegularExpression mediaBox(QStringLiteral("/MediaBox \\[\\s*0 0 ([0-9.]+) ([0-9.]+)\\s*\\]"));
        int pages = 0;
        auto it = mediaBox.globalMatch(QString::fromLatin1(pdf));
        while (it.hasNext()) {
            const auto match = it.next();
            QVERIFY(match.captured(1).toDouble() > match.captured(2).toDouble()); // landscape
            ++pages;
        }
        QCOMPARE(pages, 1);
        QVERIFY(dialogs.lastPrinter != nullptr);
        QCOMPARE(dialogs.lastPrinter->pageLayout().orientation(), QPageLayout::Portrait);
        QVERIFY(dialogs.callsOf(QStringLiteral("message")).empty());
    }

    void aFailedPrintIsReportedAndStillRestoresTheOrientation()
    {
        QTemporaryDir dir;
        test::PdfPrinterDialogs dialogs;
        dialogs.pdfPath = dir.filePath(QStringLiteral("missing/folder/chart.pdf"));
        dialogs.printerAnswers.push_back(true);
        DistributionPage page(dialogs);
        child<QPushButton>(page, "bbPrintImage")->click();
        QCOMPARE(dialogs.lastPrinter->pageLayout().orientation(), QPageLayout::Portrait);
        QCOMPARE(dialogs.callsOf(QStringLiteral("message")).size(), std::size_t{1});
    }

    void savesTheChartAsABitmapOfItsOnScreenSize()
    {
        QTemporaryDir dir;
        ScriptedGuiDialogs dialogs;
        DistributionPage page(dialogs);
        page.resize(1000, 700);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.showDistribution(test::demoSession(4).view.distribution);

        const QString path = dir.filePath(QStringLiteral("chart.bmp"));
        dialogs.saveAnswers.push_back(path);
        child<QPushButton>(page, "bbSaveImage")->click();

        const auto saves = dialogs.callsOf(QStringLiteral("save"));
        QCOMPARE(saves.size(), std::size_t{1});
        QCOMPARE(saves[0].file.title, QStringLiteral("Сохранение графика"));
        QCOMPARE(saves[0].file.filter, QStringLiteral("Рисунок BMP (*.bmp)"));
        QCOMPARE(saves[0].file.defaultSuffix, QStringLiteral("bmp"));
        QVERIFY(saves[0].file.confirmOverwrite);

        QVERIFY(readAll(path).startsWith("BM"));
        const QImage image(path, "BMP");
        QCOMPARE(image.size(), page.chart()->size());
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));

        // Cancelled: no file.
        const QString other = dir.filePath(QStringLiteral("other.bmp"));
        child<QPushButton>(page, "bbSaveImage")->click();
        QVERIFY(!QFile::exists(other));
    }
};

QTEST_MAIN(DistributionPageTest)
#include "DistributionPageTest.moc"
