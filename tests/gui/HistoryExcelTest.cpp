// "Сохранить в Excel…" on "История": the page's two lists as a workbook, through the
// save dialog; a failed save says why and leaves no file.
#include "core/demo/DemoHistory.h"
#include "core/export/XlsxWorkbook.h"
#include "core/files/SystemErrorText.h"
#include "gui/app/HistoryController.h"
#include "support/GuiTestSupport.h"
#include "support/XlsxDump.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <cerrno>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

QPushButton* excelButton(const WindowHarness& h) { return requireChild<QPushButton>(*h.window, "btnHistoryExcel"); }
QTreeWidget* list(const WindowHarness& h, const char* name) { return requireChild<QTreeWidget>(*h.window, name); }

// Two readings of one recorder a year apart: two rows and one period.
void openTwoReadings(WindowHarness& h)
{
    h.open(h.writeImage(makeDemoHistory(4, 2).front(), QStringLiteral("earlier.bbd")));
    h.open(h.writeDemo(4, QStringLiteral("later.bbd")));
}

} // namespace

class HistoryExcelTest : public QObject {
    Q_OBJECT

private slots:
    void theWorkbookHoldsWhatThePageShows()
    {
        WindowHarness h;
        QVERIFY(!excelButton(h)->isEnabled()); // nothing loaded: nothing to save
        openTwoReadings(h);
        QVERIFY(excelButton(h)->isEnabled());
        if (!xlsxSupported() || !kestrel::test::xlsxReaderAvailable())
            QSKIP("no libxlsxwriter or no Python");

        const QString target = h.path(QStringLiteral("история.xlsx"));
        h.dialogs.clear();
        h.dialogs.saveAnswers.push_back(target);
        QTest::mouseClick(excelButton(h), Qt::LeftButton);
        QCOMPARE(h.dialogs.kinds(), QStringList({"save"}));
        const auto& dialog = h.dialogs.calls[0].file;
        QVERIFY(dialog.filter.contains(QStringLiteral("*.xlsx")));
        QCOMPARE(dialog.defaultSuffix, QStringLiteral("xlsx"));
        QVERIFY(dialog.proposedName.startsWith(QStringLiteral("История РП №")));
        QVERIFY(!dialog.proposedName.contains(QLatin1Char('/')));
        QVERIFY(h.window->statusText(0).startsWith(QStringLiteral("История сохранена в файл ")));

        std::string error;
        const auto sheets = kestrel::test::dumpXlsx(target.toStdString(), &error);
        QVERIFY2(sheets.size() == 2, error.c_str());
        QCOMPARE(QString::fromStdString(sheets[0].name), QStringLiteral("Считывания"));
        QCOMPARE(QString::fromStdString(sheets[1].name), QStringLiteral("Периоды"));

        // The readings sheet has the list's columns and rows, figures as numbers.
        QTreeWidget* readings = list(h, "lvReadings");
        const auto& sheet = sheets[0];
        for (int c = 0; c < readings->columnCount(); ++c)
            QCOMPARE(QString::fromStdString(sheet.cell(kestrel::test::cellRef(static_cast<std::size_t>(c), 1))->value),
                readings->headerItem()->text(c));
        QCOMPARE(readings->topLevelItemCount(), 2);
        for (int row = 0; row < 2; ++row) {
            const std::size_t r = static_cast<std::size_t>(row) + 2;
            const auto* cycles = sheet.cell(kestrel::test::cellRef(1, r));
            QVERIFY(cycles != nullptr);
            QCOMPARE(QString::fromStdString(cycles->kind), QStringLiteral("n"));
            QCOMPARE(cycles->number().value_or(-1.0), readings->topLevelItem(row)->text(1).toDouble());
            QCOMPARE(QString::fromStdString(sheet.cell(kestrel::test::cellRef(0, r))->format),
                QStringLiteral("dd.mm.yyyy hh:mm"));
            QCOMPARE(QString::fromStdString(sheet.cell(kestrel::test::cellRef(8, r))->value),
                readings->topLevelItem(row)->text(8));
        }
        QCOMPARE(sheet.cell("A4"), nullptr);

        // The one period: its two dates and its figures.
        QTreeWidgetItem* period = list(h, "lvPeriods")->topLevelItem(0);
        const auto& periods = sheets[1];
        QCOMPARE(QString::fromStdString(periods.cell("A2")->format), QStringLiteral("dd.mm.yyyy"));
        QCOMPARE(QString::fromStdString(periods.cell("B2")->format), QStringLiteral("dd.mm.yyyy"));
        QCOMPARE(periods.cell("C2")->number().value_or(-1.0), period->text(1).toDouble());
        QCOMPARE(periods.cell("E2")->number().value_or(-1.0), period->text(3).toDouble());
        QCOMPARE(periods.cell("A3"), nullptr);
    }

    void aCancelledDialogWritesNothing()
    {
        WindowHarness h;
        openTwoReadings(h);
        const QString status = h.window->statusText(0);
        h.dialogs.clear(); // no answer: cancelled
        QTest::mouseClick(excelButton(h), Qt::LeftButton);
        QCOMPARE(h.dialogs.kinds(), QStringList({"save"}));
        QCOMPARE(h.window->statusText(0), status);
        QCOMPARE(QDir(h.path(QString())).entryList({QStringLiteral("*.xlsx")}, QDir::Files), QStringList());
    }

    void aFailedSaveSaysWhyAndLeavesNoFile()
    {
        WindowHarness h;
        openTwoReadings(h);
        const QString status = h.window->statusText(0);

        // A folder that is not there.
        const QString missing = h.path(QStringLiteral("нет такой папки/история.xlsx"));
        h.dialogs.clear();
        h.dialogs.saveAnswers.push_back(missing);
        QTest::mouseClick(excelButton(h), Qt::LeftButton);
        QCOMPARE(h.dialogs.kinds(), QStringList({"save", "message"}));
        const QString message = h.dialogs.calls[1].text;
        if (xlsxSupported()) {
            QVERIFY2(message.startsWith(QStringLiteral("Файл Excel ")), qPrintable(message));
            QVERIFY2(message.contains(QStringLiteral("не записан: ") + QString::fromStdString(kestrel::systemErrorText(ENOENT))),
                qPrintable(message));
        } else {
            QVERIFY2(message.contains(QStringLiteral("не умеет записывать файлы Excel")), qPrintable(message));
        }
        QVERIFY(!QFileInfo::exists(missing));
        QCOMPARE(h.window->statusText(0), status); // no success claimed

        // A folder under the chosen name: it stays as it was, nothing is left beside it.
        if (xlsxSupported()) {
            QVERIFY(QDir(h.path(QString())).mkdir(QStringLiteral("книга.xlsx")));
            const QStringList before = QDir(h.path(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            h.dialogs.clear();
            h.dialogs.saveAnswers.push_back(h.path(QStringLiteral("книга.xlsx")));
            QTest::mouseClick(excelButton(h), Qt::LeftButton);
            QCOMPARE(h.dialogs.kinds(), QStringList({"save", "message"}));
            QVERIFY(h.dialogs.calls[1].text.contains(QStringLiteral("не записан")));
            QCOMPARE(QDir(h.path(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
            QVERIFY(QFileInfo(h.path(QStringLiteral("книга.xlsx"))).isDir());
        }
    }
};

QTEST_MAIN(HistoryExcelTest)
#include "HistoryExcelTest.moc"
