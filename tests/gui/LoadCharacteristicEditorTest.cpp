#include "gui/pages/ToolsPage.h"

#include "core/image/ByteAccess.h"
#include "gui/app/ScriptedGuiDialogs.h"
#include "gui/app/SystemDisplayLocale.h"
#include "gui/windows/TfMakeGruz.h"

#include "gui/support/GuiTestSupport.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

#include <functional>

using namespace kestrel;
using namespace kestrel::gui;
using kestrel::gui::test::requireChild;

namespace {


// The service page with the load characteristic editor attached, its zones filled with
// codes 1000 + 10·z and loads 90 − z, and the anchor codes 900 and 3000 in the image.
struct Fixture {
    ScriptedGuiDialogs dialogs;
    MemoryImage image{};
    DisplayLocale locale = systemDisplayLocale();
    ToolsPage page;

    Fixture()
    {
        writeI16(image, 0x6D8, 900);
        writeI16(image, 0x6DA, 3000);
        page.attachLoadCharacteristicEditor(dialogs, image, locale);
        // The program settings, "Редактор" among them, take input with their box ticked.
        requireChild<QCheckBox>(page, "chbProgram")->setChecked(true);
        QTableWidget* vylet = grid();
        for (int zone = 0; zone < 16; ++zone) {
            vylet->item(zone, 0)->setText(QString::number(zone));
            vylet->item(zone, 1)->setText(QString::number(1000 + 10 * zone));
            vylet->item(zone, 2)->setText(QString::number(90 - zone));
        }
        dialogs.clear();
    }

    QTableWidget* grid() const { return requireChild<QTableWidget>(page, "sgVylet"); }
    QString vylet(int row, int column) const { return grid()->item(row, column)->text(); }
    int servicePoints() const
    {
        return requireChild<QCustomPlot>(*requireChild<QWidget>(page, "tsGruz"), "chrGruz")->graph(0)->dataCount();
    }
    TfMakeGruz& editor() const { return *page.loadCharacteristicEditor(); }
    QTableWidget* editorGrid() const { return requireChild<QTableWidget>(editor(), "sgMakeGruz"); }
    QString cell(int row, int column) const { return editorGrid()->item(row, column)->text(); }
    void type(int row, int column, const QString& text) const { editorGrid()->item(row, column)->setText(text); }
    int editorPoints() const { return requireChild<QCustomPlot>(editor(), "chrGruz")->graph(0)->dataCount(); }
    void click(const char* button) const { requireChild<QPushButton>(editor(), button)->click(); }
    QString decimal(const char* whole, const char* fraction) const
    {
        return QString::fromLatin1(whole) + QChar::fromLatin1(locale.decimalSeparator) + QString::fromLatin1(fraction);
    }

    // "Редактор": `script` runs on the open window, which is cancelled afterwards if
    // the script left it open (also when a check in it failed).
    // Returns whether the window was open.
    bool openEditor(const std::function<void()>& script)
    {
        bool opened = false;
        QTimer::singleShot(0, &page, [this, script, &opened] {
            opened = editor().isVisible();
            script();
            if (editor().isVisible())
                editor().reject();
        });
        requireChild<QPushButton>(page, "bbMakeGruz")->click();
        return opened;
    }
};

} // namespace

class LoadCharacteristicEditorTest : public QObject {
    Q_OBJECT

private slots:
    void opensFromVyletEveryTime()
    {
        Fixture f;
        QCOMPARE(f.servicePoints(), 16);
        TfMakeGruz* created = f.page.loadCharacteristicEditor();
        QVERIFY(f.openEditor([&] {
            QCOMPARE(f.editor().windowTitle(), QStringLiteral("Задание грузовой характеристики"));
            QCOMPARE(f.editorGrid()->columnCount(), 4);
            QCOMPARE(f.editorGrid()->rowCount(), 12);
            QCOMPARE(f.editorGrid()->horizontalHeaderItem(1)->text(), QStringLiteral("Вылет, м"));
            QCOMPARE(f.cell(0, 0), QStringLiteral("0"));
            QCOMPARE(f.cell(0, 2), QStringLiteral("900"));
            QCOMPARE(f.cell(0, 3), QStringLiteral("100"));
            QCOMPARE(f.cell(1, 0), QStringLiteral("1  ***"));
            QCOMPARE(f.cell(5, 1), QStringLiteral("?"));
            QCOMPARE(f.cell(5, 2), QStringLiteral("1050"));
            QCOMPARE(f.cell(11, 2), QStringLiteral("3000"));
            QCOMPARE(f.cell(11, 3), QStringLiteral("79"));
            QCOMPARE(f.editorPoints(), 12);
            f.type(5, 1, f.decimal("7", "5"));
            f.type(6, 2, QStringLiteral("0")); // a zone without code has no point
            QCOMPARE(f.editorPoints(), 11);
        }));
        // Cancelled: sgVylet as it was; the same window opens again from the start.
        QCOMPARE(f.vylet(5, 1), QStringLiteral("1050"));
        QVERIFY(f.openEditor([&] {
            QCOMPARE(f.page.loadCharacteristicEditor(), created);
            QCOMPARE(f.cell(5, 1), QStringLiteral("?"));
            QCOMPARE(f.cell(6, 2), QStringLiteral("1060"));
        }));
        QVERIFY(f.dialogs.calls.empty());
    }

    void calculatesAndCopiesZones0To11()
    {
        Fixture f;
        QVERIFY(f.openEditor([&] {
            f.type(0, 1, f.decimal("5", "0"));
            f.type(0, 2, QStringLiteral("1000"));
            f.type(2, 1, f.decimal("15", "0"));
            f.type(2, 2, QStringLiteral("2000"));
            f.type(2, 3, QStringLiteral("50"));
            f.type(1, 1, f.decimal("12", "5"));
            f.editorGrid()->setCurrentCell(1, 1);
            f.click("bbCalc");
            QCOMPARE(f.cell(1, 2), QStringLiteral("1750"));
            QCOMPARE(f.cell(1, 3), QStringLiteral("63"));

            // An outreach beyond the neighbours' is reported and changes nothing.
            f.type(1, 1, f.decimal("15", "5"));
            f.click("bbCalc");
            QCOMPARE(f.cell(1, 2), QStringLiteral("1750"));
            QCOMPARE(f.dialogs.kinds(), QStringList{QStringLiteral("message")});
            QCOMPARE(f.dialogs.calls.back().text, QStringLiteral("Проверьте правильность введенного значения вылета"));
            f.click("bbOk");
            QVERIFY(!f.editor().isVisible());
        }));
        QCOMPARE(f.vylet(0, 1), QStringLiteral("1000"));
        QCOMPARE(f.vylet(0, 2), QStringLiteral("100"));
        QCOMPARE(f.vylet(1, 1), QStringLiteral("1750"));
        QCOMPARE(f.vylet(1, 2), QStringLiteral("63"));
        QCOMPARE(f.vylet(2, 1), QStringLiteral("2000"));
        QCOMPARE(f.vylet(11, 1), QStringLiteral("3000"));
        // Zones 12..15 are outside the editor.
        QCOMPARE(f.vylet(12, 1), QStringLiteral("1120"));
        QCOMPARE(f.vylet(15, 2), QStringLiteral("75"));
        QCOMPARE(f.servicePoints(), 16);
    }

    void incompleteTableIsNotConfirmed()
    {
        Fixture f;
        QVERIFY(f.openEditor([&] {
            f.click("bbClear");
            QCOMPARE(f.cell(4, 2), QStringLiteral("?"));
            QCOMPARE(f.cell(4, 0), QStringLiteral("4"));
            QCOMPARE(f.cell(0, 2), QStringLiteral("900"));
            QCOMPARE(f.editorPoints(), 1);
            f.type(3, 1, QStringLiteral("9"));
            f.click("bbOk");
            QCOMPARE(f.dialogs.callsOf(QStringLiteral("message")).size(), std::size_t{1});
            QCOMPARE(f.dialogs.calls.back().text, QStringLiteral("Заполнены не все поля!"));
            // Still open, with what was entered.
            QVERIFY(f.editor().isVisible());
            QCOMPARE(f.cell(3, 1), QStringLiteral("9"));
        }));
        QCOMPARE(f.vylet(0, 1), QStringLiteral("1000"));
        QCOMPARE(f.vylet(4, 1), QStringLiteral("1040"));
    }

    void serviceChartStopsAtACellThatIsNoInteger()
    {
        Fixture f;
        f.grid()->item(3, 0)->setText(QStringLiteral("3")); // the zone column is not read as a number
        f.grid()->item(4, 1)->setText(QStringLiteral("0"));
        QCOMPARE(f.servicePoints(), 15);
        QVERIFY(f.dialogs.calls.empty());
        f.grid()->item(6, 2)->setText(QStringLiteral("abc"));
        // Zones 0..5 without zone 4.
        QCOMPARE(f.servicePoints(), 5);
        QCOMPARE(f.dialogs.kinds(), QStringList{QStringLiteral("message")});
        QCOMPARE(f.dialogs.calls.back().text, QStringLiteral("«abc» не является целым числом"));
    }
};

QTEST_MAIN(LoadCharacteristicEditorTest)
#include "LoadCharacteristicEditorTest.moc"
