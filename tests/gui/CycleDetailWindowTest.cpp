// The cycle detail window "Оперативная информация": opening from the cycle lists, the
// title, check list, paging, "След.", the stamp that is not in the log, saving.
#include "core/image/ByteAccess.h"
#include "core/image/DataFile.h"
#include "core/image/ImageLayout.h"
#include "core/oplog/OperationalChart.h"
#include "core/oplog/OperationalPages.h"
#include "gui/pages/OperPage.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/widgets/OperationalChartPlot.h"
#include "gui/windows/TfOper.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <qcustomplot.h>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

constexpr StampBytes kStampA{0x30, 0x10, 0x15, 0x06, 0x23}; // 15.06.2023 10:30
constexpr StampBytes kStampB{0x45, 0x11, 0x15, 0x06, 0x23}; // 15.06.2023 11:45
constexpr StampBytes kStampC{0x05, 0x12, 0x15, 0x06, 0x23};
const QString kTextA = QStringLiteral("15.06.2023 10:30 ");
const QString kTextB = QStringLiteral("15.06.2023 11:45 ");

// A recorder memory whose operational log is written from its first position on; the
// rest of the log is filled with `filler`.
struct LogImage {
    MemoryImage image{};
    std::size_t position = 0;

    explicit LogImage(std::uint8_t filler = 0xFF)
    {
        std::fill(image.begin() + layout::kOplog, image.end(), filler);
        image[layout::kProgramName] = 'P';
        image[layout::kProgramName + 1] = 'A'; // not the extended program
        writeU16(image, layout::kOplogWritePosition, static_cast<std::uint16_t>(layout::kOplog));
    }
    void put(std::uint8_t b) { image[layout::kOplog + position++] = b; }
    void mark(const StampBytes& stamp)
    {
        put(0xFF);
        for (std::uint8_t b : stamp)
            put(b);
    }
    void samples(int count, std::uint8_t first = 0x00)
    {
        for (int i = 0; i < count; ++i) {
            put(first);
            put(static_cast<std::uint8_t>(40 + i % 50));
        }
    }
};

template <typename T> T* child(const QWidget& window, const char* name) { return requireChild<T>(window, name); }

QString pageLabel(const TfOper& window) { return child<QLabel>(window, "lPage")->text(); }
bool pageButtonsEnabled(const TfOper& window)
{
    const bool prev = child<QPushButton>(window, "bbPrev")->isEnabled();
    const bool next = child<QPushButton>(window, "bbNext")->isEnabled();
    if (prev != next)
        qFatal("the page buttons disagree");
    return prev;
}
QString chartTitle(const TfOper& window)
{
    auto* plot = child<QCustomPlot>(window, "ChartOper");
    for (int i = 0; i < plot->plotLayout()->elementCount(); ++i)
        if (auto* text = qobject_cast<QCPTextElement*>(plot->plotLayout()->elementAt(i)))
            return text->text();
    return {};
}
QList<bool> checkStates(const TfOper& window)
{
    QList<bool> states;
    auto* list = child<QListWidget>(window, "chbShow");
    for (int row = 0; row < list->count(); ++row)
        states.push_back(list->item(row)->checkState() == Qt::Checked);
    return states;
}
int visibleDataPoints(const TfOper& window)
{
    int points = 0;
    auto* plot = child<QCustomPlot>(window, "ChartOper");
    for (int i = 0; i < plot->plottableCount(); ++i)
        points += plot->plottable(i)->interface1D() ? plot->plottable(i)->interface1D()->dataCount() : 0;
    return points;
}

QCPGraph* seriesGraph(const TfOper& window, int series)
{
    return requireChild<QCPGraph>(*child<QCustomPlot>(window, "ChartOper"), qPrintable(QStringLiteral("series%1").arg(series)));
}

// The rows of a cycle list that show the detail icon.
QList<QTreeWidgetItem*> rowsWithDetail(QTreeWidget* list)
{
    QList<QTreeWidgetItem*> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->data(0, OperPage::kStateIconRole).toInt() == 0)
            rows.push_back(list->topLevelItem(i));
    return rows;
}

} // namespace

class CycleDetailWindowTest : public QObject {
    Q_OBJECT

private slots:
    void everyRowWithTheDetailIconOpensItsChart()
    {
        WindowHarness h;
        h.open(h.writeDemo(3));
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.window->findChild<QTabWidget*>("PageControl1")->setCurrentWidget(h.window->findChild<QWidget*>("tsOper"));

        int opened = 0;
        QString rowText;
        h.onCycleDetail = [&](TfOper& window) {
            window.show();
            QVERIFY(window.isModal());
            QCOMPARE(window.windowTitle(), QStringLiteral("Оперативная информация"));
            QVERIFY2(window.chart().found, qPrintable(rowText));
            QVERIFY(window.chart().pointCount() >= 3);
            const QString title = chartTitle(window);
            QVERIFY2(title.startsWith(QStringLiteral("Метка времени: ") + rowText + QStringLiteral("    Длительность: ")),
                qPrintable(title));
            QVERIFY(title.endsWith(QStringLiteral(" с")));
            QCOMPARE(pageLabel(window), QStringLiteral("1:1"));
            QVERIFY(!pageButtonsEnabled(window));
            auto* list = child<QListWidget>(window, "chbShow");
            QCOMPARE(list->count(), 9);
            QCOMPARE(list->item(0)->text(), QStringLiteral("Нагрузка 1"));
            QCOMPARE(list->item(8)->text(), QStringLiteral("Реле 4"));
            for (std::size_t s = 0; s < kOperationalSeriesCount; ++s)
                QCOMPARE(checkStates(window)[static_cast<int>(s)], window.chart().series[s].checked);
            QVERIFY(h.dialogs.callsOf("message").empty());
            ++opened;
        };

        // A click on lvLast, Enter on lvStop, for every row that promises a chart.
        const QList<QTreeWidget*> lists{h.window->operPage().lvLast(), h.window->operPage().lvStop()};
        int expected = 0;
        for (QTreeWidget* list : lists) {
            for (QTreeWidgetItem* row : rowsWithDetail(list)) {
                rowText = row->text(0);
                list->setCurrentItem(row);
                if (list == lists[0])
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
                else
                    QTest::keyClick(list, Qt::Key_Return);
                ++expected;
                QCOMPARE(opened, expected);
            }
        }
        QVERIFY(expected > 4);

        // No row selected: nothing opens.
        lists[1]->setCurrentItem(nullptr);
        lists[1]->clearSelection();
        QTest::keyClick(lists[1], Qt::Key_Return);
        QCOMPARE(h.cycleDetailOpenings, expected);
    }

    void theMainWindowRunsItModally()
    {
        ScriptedGuiDialogs dialogs;
        FakeClock clock;
        QTemporaryDir work;
        TfMain::Options options;
        options.dialogs = &dialogs;
        options.clock = &clock;
        options.workFolder = work.path();
        options.archivePath = work.filePath(QStringLiteral("archive.sqlite"));
        options.locale = DisplayLocale::russian();
        TfMain window(options);
        LogImage log;
        log.mark(kStampA);
        log.samples(3);
        log.mark(kStampB);
        // Working cycle slot 0 carries stamp A.
        std::copy(kStampA.begin(), kStampA.end(), log.image.begin() + layout::kCycleRing);
        const QString file = work.filePath(QStringLiteral("log.bbd"));
        saveImage(QFile::encodeName(file).toStdString(), log.image);
        dialogs.questionAnswers.push_back(true); // go on despite the checksum
        window.loadFromFile(file);

        QString seen;
        QTimer::singleShot(0, &window, [&seen] {
            auto* detail = qobject_cast<TfOper*>(QApplication::activeModalWidget());
            if (detail == nullptr)
                qFatal("the cycle detail window is not open");
            seen = chartTitle(*detail);
            child<QPushButton>(*detail, "bbExit")->click();
        });
        window.openCycleDetail(kTextA);
        QCOMPARE(seen, QStringLiteral("Метка времени: 15.06.2023 10:30     Длительность: 0 мин 4 с"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void pagesOfTwentySecondsOneMinuteAndTheCycle()
    {
        ScriptedGuiDialogs dialogs;
        LogImage log;
        log.mark(kStampA);
        log.samples(43); // with the closing two points: 45 points
        log.mark(kStampB);
        TfOper window(log.image, kStampA, dialogs);
        window.show();
        QCOMPARE(window.chart().pointCount(), std::size_t{45});
        QCOMPARE(pageLabel(window), QStringLiteral("1:1"));
        QVERIFY(!pageButtonsEnabled(window));
        // The whole cycle of 45 seconds: time labels, but no marks.
        QVERIFY(window.plot().timeLabelsShown());
        QCOMPARE(window.plot().markCount(), 0);

        child<QRadioButton>(window, "rbPage20s")->click();
        QCOMPARE(pageLabel(window), QStringLiteral("1:3"));
        QVERIFY(pageButtonsEnabled(window));
        QVERIFY(window.plot().markCount() > 0);
        auto* axis = child<QCustomPlot>(window, "ChartOper")->xAxis;
        QCOMPARE(axis->range().lower, -0.5);
        QCOMPARE(axis->range().upper, 19.5);

        child<QPushButton>(window, "bbNext")->click();
        child<QPushButton>(window, "bbNext")->click();
        QCOMPARE(pageLabel(window), QStringLiteral("3:3"));
        child<QPushButton>(window, "bbNext")->click(); // no page 4
        QCOMPARE(pageLabel(window), QStringLiteral("3:3"));
        QCOMPARE(axis->range().lower, 39.5);
        child<QPushButton>(window, "bbPrev")->click();
        QCOMPARE(pageLabel(window), QStringLiteral("2:3"));

        child<QRadioButton>(window, "rbPage1min")->click();
        QCOMPARE(pageLabel(window), QStringLiteral("1:1"));
        QVERIFY(!pageButtonsEnabled(window));
        QCOMPARE(window.plot().markCount(), 0);
    }

    void longCycleHidesTimeLabels()
    {
        ScriptedGuiDialogs dialogs;
        LogImage log;
        log.mark(kStampA);
        log.samples(70);
        log.mark(kStampB);
        TfOper window(log.image, kStampA, dialogs);
        window.show();
        QVERIFY(!window.plot().timeLabelsShown());
        child<QRadioButton>(window, "rbPage1min")->click();
        QCOMPARE(pageLabel(window), QStringLiteral("1:2"));
        QVERIFY(window.plot().timeLabelsShown());
    }

    void checkListSwitchesSeriesAndTheValueTitle()
    {
        ScriptedGuiDialogs dialogs;
        LogImage log;
        log.mark(kStampA);
        log.put(0x1B); // winch 2, relay 1, sound, event "вкл"
        log.put(60);
        log.samples(2, 0x03); // winch 2, relay 1
        log.mark(kStampB);
        TfOper window(log.image, kStampA, dialogs);
        window.show();
        // Нагрузка 2, Реле 2, Звук, Служебный; nothing of a non-extended program.
        QCOMPARE(checkStates(window), QList<bool>({false, true, false, true, true, true, false, false, false}));
        QCOMPARE(window.plot().valueTitleColour(), QColor(Qt::black));
        auto* plot = child<QCustomPlot>(window, "ChartOper");
        QVERIFY(seriesGraph(window, 1)->visible());
        QVERIFY(!seriesGraph(window, 0)->visible());
        QCOMPARE(plot->legend->itemCount(), 4);

        auto* list = child<QListWidget>(window, "chbShow");
        list->item(1)->setCheckState(Qt::Unchecked);
        QVERIFY(!seriesGraph(window, 1)->visible());
        QCOMPARE(plot->legend->itemCount(), 3);
        QCOMPARE(window.plot().valueTitleColour(), window.plot().panelColour());
        list->item(0)->setCheckState(Qt::Checked);
        QVERIFY(seriesGraph(window, 0)->visible());
        QCOMPARE(window.plot().valueTitleColour(), QColor(Qt::black));

        // The "вкл" bar carries its text as a mark while the range is short.
        bool barMarked = false;
        for (int i = 0; i < plot->itemCount(); ++i)
            if (auto* text = qobject_cast<QCPItemText*>(plot->item(i)))
                barMarked = barMarked || text->text() == QStringLiteral("вкл");
        QVERIFY(barMarked);
    }

    void eventsAtTheCycleStartAreReadableAndTheLegendShowsTheirColours()
    {
        ScriptedGuiDialogs dialogs;
        LogImage log;
        log.mark(kStampA);
        // A small load with an event in the first two seconds, then the lift.
        log.put(0x10); // winch 1, "вкл"
        log.put(2);
        log.put(0x60); // winch 1, "макс"
        log.put(4);
        log.samples(8);
        log.mark(kStampB);
        TfOper window(log.image, kStampA, dialogs);
        window.resize(900, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        child<QRadioButton>(window, "rbPage20s")->click();
        auto* plot = child<QCustomPlot>(window, "ChartOper");
        plot->replot();

        QList<QRectF> boxes;
        QStringList texts;
        for (int i = 0; i < plot->itemCount(); ++i)
            if (auto* text = qobject_cast<QCPItemText*>(plot->item(i))) {
                boxes.push_back(QRectF(text->topLeft->pixelPosition(), text->bottomRight->pixelPosition()));
                texts.push_back(text->text());
            }
        QVERIFY(texts.contains(QStringLiteral("вкл")));
        QVERIFY(texts.contains(QStringLiteral("2")));
        for (int a = 0; a < boxes.size(); ++a)
            for (int b = a + 1; b < boxes.size(); ++b)
                QVERIFY2(!boxes[a].intersects(boxes[b]), qPrintable(texts[a] + QStringLiteral(" / ") + texts[b]));
        // Still readable on its own second: a moved mark stays above its point.
        for (int a = 0; a < boxes.size(); ++a)
            QVERIFY(boxes[a].top() >= plot->axisRect()->top() - 1);

        // The legend swatch of "Служебный" is drawn in the colours of the bars, not in a colour of its own.
        const std::vector<QColor> expected{QColor(0x00, 0x80, 0x00), QColor(0xFF, 0x00, 0xFF)};
        QCOMPARE(window.plot().serviceLegendColours(), expected);
        QCPPlottableLegendItem* service = nullptr;
        for (int i = 0; i < plot->legend->itemCount(); ++i)
            if (auto* item = qobject_cast<QCPPlottableLegendItem*>(plot->legend->item(i)))
                if (item->plottable()->name() == QStringLiteral("Служебный"))
                    service = item;
        QVERIFY(service != nullptr);
        const QImage picture = plot->toPixmap().toImage();
        const QRect swatch = service->rect();
        int green = 0;
        int magenta = 0;
        int orange = 0;
        for (int y = swatch.top(); y <= swatch.bottom(); ++y)
            for (int x = swatch.left(); x <= swatch.right(); ++x) {
                const QColor pixel = picture.pixelColor(x, y);
                green += pixel == expected[0] ? 1 : 0;
                magenta += pixel == expected[1] ? 1 : 0;
                orange += pixel == QColor(0xFF, 0x80, 0x40) ? 1 : 0;
            }
        QVERIFY(green > 10);
        QVERIFY(magenta > 10);
        QCOMPARE(orange, 0);
    }

    void nextSectionAndGivingUp()
    {
        ScriptedGuiDialogs dialogs;
        LogImage log;
        log.mark(kStampA);
        log.samples(3);
        log.mark(kStampB);
        log.samples(5);
        log.mark(kStampC);
        log.samples(1);
        TfOper window(log.image, kStampA, dialogs);
        window.show();
        QCOMPARE(window.chart().pointCount(), std::size_t{5});
        child<QPushButton>(window, "BitBtn6")->click();
        QVERIFY(chartTitle(window).startsWith(QStringLiteral("Метка времени: ") + kTextB));
        QCOMPARE(window.chart().pointCount(), std::size_t{7});
        QVERIFY(window.remark().isEmpty());

        // A log without one valid stamp: the window says so and stays as it was.
        LogImage broken(0x00);
        for (int i = 0; i < 40; ++i) {
            broken.put(0xFF);
            for (std::uint8_t b : {0x99, 0x99, 0x99, 0x99, 0x99})
                broken.put(b);
            broken.samples(3);
        }
        TfOper empty(broken.image, kStampA, dialogs);
        empty.show();
        child<QPushButton>(empty, "BitBtn6")->click();
        QCOMPARE(empty.remark(), QString::fromUtf8(kNoNextSectionMessage.data(),
                                     static_cast<qsizetype>(kNoNextSectionMessage.size())));
        QVERIFY(chartTitle(empty).contains(empty.remark()));
        QVERIFY(empty.isVisible());
        child<QRadioButton>(empty, "rbPage20s")->click();
        QCOMPARE(pageLabel(empty), QStringLiteral("1:1"));
    }

    void stampNotInTheLogLeavesTheWindowEmpty()
    {
        ScriptedGuiDialogs dialogs;
        LogImage log;
        log.mark(kStampB);
        log.samples(3);
        log.mark(kStampC);
        TfOper window(log.image, kStampA, dialogs);
        QVERIFY(dialogs.calls.empty()); // said when shown, over the window
        window.show();
        QCOMPARE(dialogs.kinds(), QStringList({"message"}));
        QCOMPARE(dialogs.calls[0].text,
            QStringLiteral("Записей с меткой времени <") + kTextA + QStringLiteral("> в оперативной памяти не найдено!"));
        QVERIFY(window.isVisible());
        QCOMPARE(visibleDataPoints(window), 0);
        QCOMPARE(checkStates(window), QList<bool>(9, false));
        QCOMPARE(pageLabel(window), QStringLiteral("1:1"));
    }

    void savesPrintsAndHelps()
    {
        ScriptedGuiDialogs dialogs;
        QTemporaryDir folder;
        LogImage log;
        log.mark(kStampA);
        log.samples(10);
        log.mark(kStampB);
        TfOper window(log.image, kStampA, dialogs);
        window.show();
        const QString file = folder.filePath(QStringLiteral("график.bmp"));
        dialogs.saveAnswers.push_back(file);
        child<QPushButton>(window, "bbSave")->click();
        const auto saves = dialogs.callsOf("save");
        QCOMPARE(saves.size(), std::size_t{1});
        QCOMPARE(saves[0].caption, QStringLiteral("Сохранение графика"));
        QCOMPARE(saves[0].file.defaultSuffix, QStringLiteral("bmp"));
        QCOMPARE(saves[0].file.filter, QStringLiteral("Рисунок BMP (*.bmp)"));
        QVERIFY(saves[0].file.confirmOverwrite);
        QVERIFY(fileBytes(file).startsWith("BM"));

        // Printing cancelled in the dialog prints nothing and says nothing.
        child<QPushButton>(window, "bbPrint")->click();
        QCOMPARE(dialogs.kinds().last(), QStringLiteral("printer"));

        // F1: the window's own help topic.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F1);
        const auto help = dialogs.callsOf("help");
        QCOMPARE(help.size(), std::size_t{1});
        QCOMPARE(help[0].context, 7);
    }
};

QTEST_MAIN(CycleDetailWindowTest)
#include "CycleDetailWindowTest.moc"
