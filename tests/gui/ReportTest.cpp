// Documents from the window: every document in every mode, byte for byte what
// kestrel-cli report writes for the same file and row limit; the row-limit dialog,
// the temporary file and the save dialog.
#include "core/reports/ReportDispatch.h"
#include "gui/support/GuiTestSupport.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

class ReportTest : public QObject {
    Q_OBJECT

private slots:
    void everyDocumentInEveryMode()
    {
        WindowHarness h;
        const QString file = h.writeDemo(21);
        h.open(file);
        const QString temporary = h.path(QStringLiteral("$temp$.html"));

        for (int tag = 1; tag <= kLifeReportTag; ++tag) {
            // The design working period lists no cycles: nothing to ask.
            const bool asks = tag != kLifeReportTag;
            const QByteArray expected = cliReport(file, tag, QStringLiteral("7"));
            QVERIFY(expected.startsWith("<!DOCTYPE HTML"));
            for (const ReportMode mode : {ReportMode::Preview, ReportMode::Print, ReportMode::Save}) {
                h.dialogs.clear();
                if (asks)
                    h.dialogs.inputAnswers.push_back(QStringLiteral("7"));
                const QString target = h.path(QStringLiteral("doc%1.html").arg(tag));
                if (mode == ReportMode::Save)
                    h.dialogs.saveAnswers.push_back(target);

                QMenu* menu = h.window->reportMenu(mode);
                QCOMPARE(menu->actions().size(), 6);
                QAction* item = menu->actions()[tag - 1];
                QCOMPARE(item->data().toInt(), tag);
                item->trigger();

                const auto input = h.dialogs.callsOf("input");
                QCOMPARE(input.size(), std::size_t{asks ? 1u : 0u});
                if (asks) {
                    QCOMPARE(input[0].caption, QString::fromUtf8(findReportKind(tag)->title));
                    QCOMPARE(input[0].text, QString::fromUtf8(kRowLimitPrompt));
                    QCOMPARE(input[0].initial, QStringLiteral("32")); // the rows of lvLast
                }
                const QStringList asked = asks ? QStringList({"input"}) : QStringList();
                const std::size_t next = asks ? 1 : 0;
                switch (mode) {
                case ReportMode::Preview:
                    QCOMPARE(h.dialogs.kinds(), asked + QStringList({"openDocument"}));
                    QCOMPARE(h.dialogs.calls[next].text, temporary);
                    QCOMPARE(fileBytes(temporary), expected);
                    break;
                case ReportMode::Print:
                    QCOMPARE(h.dialogs.kinds(), asked + QStringList({"printDocument"}));
                    QCOMPARE(fileBytes(temporary), expected);
                    break;
                case ReportMode::Save: {
                    QCOMPARE(h.dialogs.kinds(), asked + QStringList({"save"}));
                    const auto& options = h.dialogs.calls[next].file;
                    QCOMPARE(options.title, QStringLiteral("Сохранение протокола РП"));
                    QCOMPARE(options.filter, QStringLiteral("Файл отчета (*.html)"));
                    QCOMPARE(options.defaultSuffix, QStringLiteral("html"));
                    QCOMPARE(options.directory, h.path(QStringLiteral("Отчеты")));
                    const IdentificationView& id = h.window->session().view.identification;
                    QCOMPARE(options.proposedName,
                        QString::fromStdString(reportSaveNameProposal(
                            fullReportTitle(findReportKind(tag)->title, id))));
                    QCOMPARE(fileBytes(target), expected);
                    QVERIFY(!QFile::exists(temporary)); // moved, not copied
                    break;
                }
                }
                if (QTest::currentTestFailed())
                    return;
            }
        }
    }

    void faceGivesProtocolTwo()
    {
        WindowHarness h;
        const QString file = h.writeDemo(22);
        h.open(file);
        for (const char* name : {"tbPreview", "tbPrint", "tbSaveHTML"}) {
            QToolButton* button = h.window->toolButton(QString::fromLatin1(name));
            QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
            h.dialogs.clear();
            h.dialogs.inputAnswers.push_back(QStringLiteral("5"));
            button->click();
            const auto input = h.dialogs.callsOf("input");
            QCOMPARE(input.size(), std::size_t{1});
            QCOMPARE(input[0].caption, QStringLiteral("ПРОТОКОЛ №2"));
        }
        // The print button's document is protocol No. 2 with the typed limit.
        QCOMPARE(fileBytes(h.path(QStringLiteral("$temp$.html"))), cliReport(file, 2, QStringLiteral("5")));
    }

    void cancelAndFailures()
    {
        WindowHarness h;
        const QString file = h.writeDemo(23);
        h.open(file);
        const QString temporary = h.path(QStringLiteral("$temp$.html"));

        // Cancel in the row-limit dialog: nothing written, nothing opened.
        h.dialogs.clear();
        h.window->makeReport(1, ReportMode::Preview);
        QCOMPARE(h.dialogs.kinds(), QStringList({"input"}));
        QVERIFY(!QFile::exists(temporary));

        // A second report replaces the first's temporary file.
        h.dialogs.inputAnswers.push_back(QStringLiteral("3"));
        h.window->makeReport(5, ReportMode::Preview);
        const QByteArray journal = fileBytes(temporary);
        h.dialogs.inputAnswers.push_back(QStringLiteral("10"));
        h.window->makeReport(5, ReportMode::Preview);
        QVERIFY(fileBytes(temporary) != journal);
        QCOMPARE(fileBytes(temporary), cliReport(file, 5, QStringLiteral("10")));

        // A limit that is no number is refused in words; no document with a limit nobody typed.
        h.dialogs.clear();
        h.dialogs.inputAnswers.push_back(QStringLiteral("abc"));
        h.window->makeReport(5, ReportMode::Preview);
        QCOMPARE(h.dialogs.kinds(), QStringList({"input", "message"}));
        QCOMPARE(h.dialogs.calls[1].text, QStringLiteral("Количество циклов задано неверно: «abc».\nВведите целое число не меньше 0."));
        QCOMPARE(fileBytes(temporary), cliReport(file, 5, QStringLiteral("10"))); // the earlier one, untouched

        // Save over an existing file replaces it.
        const QString target = h.path(QStringLiteral("existing.html"));
        {
            QFile old(target);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        h.dialogs.clear();
        h.dialogs.inputAnswers.push_back(QStringLiteral("2"));
        h.dialogs.saveAnswers.push_back(target);
        h.window->makeReport(3, ReportMode::Save);
        QVERIFY(fileBytes(target).startsWith("<!DOCTYPE"));

        // A move that fails: "Файл не сохранен!" and why, the temporary file stays, an old file too.
        h.dialogs.clear();
        h.dialogs.inputAnswers.push_back(QStringLiteral("2"));
        const QString unwritable = h.path(QStringLiteral("no-such-folder/doc.html"));
        h.dialogs.saveAnswers.push_back(unwritable);
        h.window->makeReport(3, ReportMode::Save);
        QCOMPARE(h.dialogs.kinds(), QStringList({"input", "save", "message"}));
        const QString firstLines = QString::fromUtf8(kReportNotSavedMessage) + "\n" + unwritable + ": ";
        QVERIFY2(h.dialogs.calls[2].text.startsWith(firstLines), qPrintable(h.dialogs.calls[2].text));
        QVERIFY(h.dialogs.calls[2].text.size() > firstLines.size()); // the system's reason follows
        QVERIFY(QFile::exists(temporary));

        // Cancelling the save dialog leaves the temporary file alone.
        h.dialogs.clear();
        h.dialogs.inputAnswers.push_back(QStringLiteral("2"));
        h.window->makeReport(4, ReportMode::Save);
        QCOMPARE(h.dialogs.kinds(), QStringList({"input", "save"}));
        QVERIFY(QFile::exists(temporary));
    }

    void documentsCopyTheScreen()
    {
        WindowHarness h;
        h.open(h.writeDemo(24));
        // An edit the user changed (with chbEditPKR) is what the protocol prints.
        h.edit(QStringLiteral("eMarka"))->setText(QStringLiteral("КПП 32/40"));
        h.dialogs.inputAnswers.push_back(QStringLiteral("1"));
        h.window->makeReport(2, ReportMode::Preview);
        const QByteArray html = fileBytes(h.path(QStringLiteral("$temp$.html")));
        QVERIFY(html.contains(QStringLiteral("КПП 32/40").toUtf8()) == false); // Windows-1251, not UTF-8
        QVERIFY(html.contains(QByteArray("\xCA\xCF\xCF 32/40")));
    }
};

QTEST_MAIN(ReportTest)
#include "ReportTest.moc"
