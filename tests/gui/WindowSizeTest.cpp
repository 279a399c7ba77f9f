// Every window fits a 1366×768 laptop screen less its task bar, and the lists and
// passport fields show their texts whole, in the platform's own font.
#include "core/demo/DemoImage.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/windows/TfIdent.h"
#include "gui/windows/TfMakeGruz.h"
#include "gui/windows/TfNormir.h"
#include "gui/windows/TfOper.h"

#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

constexpr QSize kScreen{1366, 728};

bool fits(const QSize& size) { return size.width() <= kScreen.width() && size.height() <= kScreen.height(); }

QString describe(const QWidget& window, const QSize& size)
{
    return QStringLiteral("%1: %2×%3").arg(window.objectName()).arg(size.width()).arg(size.height());
}

void requireFits(const QWidget& window)
{
    const QSize hint = window.minimumSizeHint().expandedTo(window.minimumSize());
    QVERIFY2(fits(hint), qPrintable(describe(window, hint)));
}

// Every row's text of `column` and the caption fit the column's width.
void requireWholeTexts(const QTreeWidget& list, int column)
{
    const QFontMetrics metrics(list.font());
    const int width = list.columnWidth(column);
    const QString caption = list.headerItem()->text(column);
    QVERIFY2(list.header()->sectionSizeHint(column) <= width, qPrintable(caption));
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        const QString text = list.topLevelItem(row)->text(column);
        QVERIFY2(metrics.horizontalAdvance(text) < width, qPrintable(text));
    }
}

} // namespace

class WindowSizeTest : public QObject {
    Q_OBJECT
private slots:
    void mainWindowAndEveryPageFitTheScreen()
    {
        WindowHarness harness(true);
        harness.open(harness.writeDemo(7));
        TfMain& window = *harness.window;
        requireFits(window);
        auto* pages = requireChild<QTabWidget>(window, "PageControl1");
        for (int index = 0; index < pages->count(); ++index)
            requireFits(*pages->widget(index));

        // On the laptop screen the pages need no scrolling: their contents fit the tab.
        window.resize(kScreen);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int index = 0; index < pages->count(); ++index) {
            pages->setCurrentIndex(index);
            QCoreApplication::processEvents();
            const auto* scroll = pages->widget(index)->findChild<QScrollArea*>();
            QVERIFY(scroll != nullptr);
            const QSize needed = scroll->widget()->minimumSizeHint();
            const QSize room = scroll->viewport()->size();
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                qPrintable(describe(*scroll->widget(), needed) + QStringLiteral(" in ") +
                    describe(*scroll->viewport(), room)));
        }
    }

    void windowsFitTheScreen()
    {
        ScriptedGuiDialogs dialogs;
        const MemoryImage image = makeDemoImage(7);
        TfOper detail(image, StampBytes{0x30, 0x10, 0x15, 0x06, 0x23}, dialogs);
        requireFits(detail);
        TfMakeGruz editor(dialogs);
        requireFits(editor);
        TfNormir normalisation({{"Датчик №1", "200", "1200"}, {"Датчик №2", "10", "900"}, {"Датчик №3", "0", "0"},
                                   {"Датчик №4", "5", "6"}},
            SensorLayout::FourSensors, 25.0F, DisplayLocale::russian(), dialogs);
        requireFits(normalisation);
        TfIdent identification(QStringLiteral("1234567890ABCDEF"));
        requireFits(identification);
    }

    void listsShowWholeTextsAndFieldsTheirBeginning()
    {
        WindowHarness harness(true);
        harness.window->resize(kScreen);
        harness.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(harness.window.get()));
        harness.open(harness.writeDemo(7));
        auto* pages = requireChild<QTabWidget>(*harness.window, "PageControl1");

        const auto* common = requireChild<QTreeWidget>(*harness.window, "lvCommon");
        for (int column = 0; column < common->columnCount(); ++column)
            requireWholeTexts(*common, column);
        QVERIFY(!common->horizontalScrollBar()->isVisible());

        pages->setCurrentWidget(requireChild<QWidget>(*harness.window, "tsTools"));
        auto* calibr = requireChild<QTreeWidget>(*harness.window, "lvCalibr");
        QCoreApplication::processEvents();
        for (int column = 0; column < calibr->columnCount(); ++column)
            requireWholeTexts(*calibr, column);
        QVERIFY(!calibr->horizontalScrollBar()->isVisible());

        for (const char* name : {"eMarka", "eProd", "eOwner", "eRegProd", "eRegSetupName"})
            QCOMPARE(harness.edit(QString::fromUtf8(name))->cursorPosition(), 0);
    }
};

QTEST_MAIN(WindowSizeTest)
#include "WindowSizeTest.moc"
