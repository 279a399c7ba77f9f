// "Парк кранов": a row per crane of the archive, sorted as numbers and dates, marked
// rows, and a double-click opening the crane's newest reading.
#include "core/fleet/FleetOverview.h"
#include "gui/app/FleetController.h"
#include "gui/app/HelpTopics.h"
#include "gui/app/TfMain.h"
#include "gui/pages/FleetPage.h"
#include "gui/widgets/FleetTableModel.h"
#include "support/GuiTestSupport.h"

#include "core/fleet/FleetSample.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

QTableView* table(const WindowHarness& h) { return requireChild<QTableView>(*h.window, "lvFleet"); }

void showFleet(const WindowHarness& h)
{
    auto* tabs = requireChild<QTabWidget>(*h.window, "PageControl1");
    tabs->setCurrentWidget(requireChild<QWidget>(*h.window, "tsFleet"));
}

// Opens two readings of three cranes each: six stored readings.
void openCranes(WindowHarness& h)
{
    for (std::uint32_t crane : {4u, 12u, 7u}) {
        const auto readings = kestrel::test::fleetSampleCrane(crane, 2);
        for (std::size_t k = 0; k < readings.size(); ++k)
            h.open(h.writeImage(readings[k], QStringLiteral("c%1-%2.bbd").arg(crane).arg(k)));
    }
}

QString cell(QTableView* view, int row, std::size_t column)
{
    return view->model()->index(row, static_cast<int>(column)).data().toString();
}

} // namespace

class FleetPageTest : public QObject {
    Q_OBJECT

private slots:
    void aRowPerCraneSortedAsNumbers()
    {
        WindowHarness h;
        QCOMPARE(requireChild<QTabWidget>(*h.window, "PageControl1")->tabText(
                     requireChild<QTabWidget>(*h.window, "PageControl1")->indexOf(requireChild<QWidget>(*h.window, "tsFleet"))),
            QStringLiteral("Парк кранов"));
        openCranes(h);
        showFleet(h);
        QTableView* view = table(h);
        QCOMPARE(view->model()->rowCount(), 3);
        QVERIFY(requireChild<QLabel>(*h.window, "lFleetSource")->text().contains(QStringLiteral("кранов 3, считываний 6")));

        view->sortByColumn(static_cast<int>(kFleetCycles), Qt::AscendingOrder);
        for (int row = 1; row < 3; ++row)
            QVERIFY(cell(view, row - 1, kFleetCycles).toLongLong() <= cell(view, row, kFleetCycles).toLongLong());
        view->sortByColumn(static_cast<int>(kFleetUsed), Qt::DescendingOrder);
        for (int row = 1; row < 3; ++row)
            QVERIFY(view->model()->index(row - 1, kFleetUsed).data(FleetTableModel::kSortRole).toDouble()
                >= view->model()->index(row, kFleetUsed).data(FleetTableModel::kSortRole).toDouble());
    }

    void markedRowsSayWhyAndDoubleClickOpensTheNewestReading()
    {
        WindowHarness h;
        openCranes(h);
        // Days count to a fixed day two years after every sample reading.
        h.window->fleet().setToday([] { return QDate(2040, 1, 1); });
        showFleet(h);
        h.window->fleet().refresh();
        QTableView* view = table(h);
        QCOMPARE(view->model()->rowCount(), 3);
        const QModelIndex first = view->model()->index(0, 0);
        QVERIFY(first.data(Qt::ToolTipRole).toString().contains(QStringLiteral("больше года")));
        QVERIFY(first.data(Qt::BackgroundRole).isValid());
        QVERIFY(cell(view, 0, kFleetMarks).contains(QString::fromUtf8(kFleetMarkOverdue)));

        // The crane shown last was the third opened; open the first row's crane instead.
        const QString crane = cell(view, 0, kFleetCraneNumber);
        // What a double-click or Enter on the row gives the view.
        emit view->activated(view->model()->index(0, static_cast<int>(kFleetCraneNumber)));
        QCOMPARE(h.edit(QStringLiteral("eNumber"))->text().trimmed(), crane);
        QCOMPARE(requireChild<QTabWidget>(*h.window, "PageControl1")->currentWidget()->objectName(),
            QStringLiteral("tsMain"));
    }

    void aNewReadingShowsUpWhileThePageIsOpen()
    {
        WindowHarness h;
        showFleet(h);
        QCOMPARE(table(h)->model()->rowCount(), 0);
        h.open(h.writeImage(kestrel::test::fleetSampleCrane(21, 1).back(), QStringLiteral("one.bbd")));
        showFleet(h);
        QCOMPARE(table(h)->model()->rowCount(), 1);
        requireChild<QPushButton>(*h.window, "btnFleetRefresh")->click();
        QCOMPARE(table(h)->model()->rowCount(), 1);
    }

    void f1OnThePageAndOnTheSyncButtonOpenTheirTopics()
    {
        WindowHarness h;
        QCOMPARE(requireChild<QWidget>(*h.window, "tsFleet")->property(kHelpContextProperty).toInt(), kHelpFleet);
        QCOMPARE(requireChild<QWidget>(*h.window, "tbSync")->property(kHelpContextProperty).toInt(), kHelpTeamServer);
        const QString help = QFileInfo(QStringLiteral(KESTREL_GUI_PATH)).dir().filePath(QStringLiteral("help"));
        for (int context : {kHelpFleet, kHelpTeamServer})
            QVERIFY(helpTopicFile(help, context).endsWith(QStringLiteral("context-%1.html").arg(context)));
    }
};

QTEST_MAIN(FleetPageTest)
#include "FleetPageTest.moc"
