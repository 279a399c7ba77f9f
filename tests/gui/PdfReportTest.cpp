// Documents saved as PDF from the window: every document through its menu item, read
// back with poppler's tools (pages, text, fonts, A4, title); a PDF that looks exactly
// like the printed document; failing saves that leave no file and say why.
#include "core/reports/ReportDispatch.h"
#include "gui/app/DocumentPrint.h"
#include "gui/app/PdfReportCommand.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/support/PdfTools.h"
#include "pdf/DocumentPdf.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPrinter>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

#include <unistd.h>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

QAction* pdfItem(const WindowHarness& h, int tag)
{
    return requireChild<QAction>(*h.window, qPrintable(QStringLiteral("PopMenuSavePdfItem%1").arg(tag)));
}

// Files left in a folder, without the data file the harness wrote.
QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The PDF's text holds every word of the document as often as the document has it, and
// no other. A line that straddles a page's edge is painted on both pages, clipped away
// on one, so its words may be there once more.
bool holdsTheSameWords(const QString& pdf, const QString& document)
{
    const QStringList inPdf = sortedWords(pdf);
    const QStringList inDocument = sortedWords(document);
    for (const QString& word : inDocument)
        if (inPdf.count(word) < inDocument.count(word)) {
            qWarning() << "missing in the PDF:" << word;
            return false;
        }
    for (const QString& word : inPdf)
        if (!inDocument.contains(word)) {
            qWarning() << "not in the document:" << word;
            return false;
        }
    return true;
}

} // namespace

class PdfReportTest : public QObject {
    Q_OBJECT

private slots:
    void everyDocumentThroughTheMenu()
    {
        WindowHarness h;
        QVERIFY(!h.buttonEnabled(kSavePdfButtonName)); // nothing loaded, nothing to save
        const QString file = h.writeDemo(31);
        h.open(file);
        QVERIFY(h.buttonEnabled(kSavePdfButtonName));

        auto* menu = requireChild<QMenu>(*h.window, "PopMenuSavePdf");
        QCOMPARE(menu->title(), QStringLiteral("Сохранить как PDF…"));
        QCOMPARE(menu->actions().size(), int(kReportKinds.size()));
        QCOMPARE(requireChild<QToolButton>(*h.window, kSavePdfButtonName)->menu(), menu);

        for (int tag = 1; tag <= kLifeReportTag; ++tag) {
            const bool asks = tag != kLifeReportTag;
            const QByteArray html = cliReport(file, tag, QStringLiteral("7"));
            const QString target = h.path(QStringLiteral("doc%1.pdf").arg(tag));
            h.dialogs.clear();
            if (asks)
                h.dialogs.inputAnswers.push_back(QStringLiteral("7"));
            h.dialogs.saveAnswers.push_back(target);
            pdfItem(h, tag)->trigger();

            QCOMPARE(h.dialogs.kinds(), (asks ? QStringList({"input"}) : QStringList()) + QStringList({"save"}));
            const auto options = h.dialogs.callsOf("save").front().file; // a copy: callsOf returns a temporary
            QCOMPARE(options.title, QStringLiteral("Сохранение протокола РП в формате PDF"));
            QCOMPARE(options.filter, QStringLiteral("Файл PDF (*.pdf)"));
            QCOMPARE(options.defaultSuffix, QStringLiteral("pdf"));
            QCOMPARE(options.directory, h.path(QStringLiteral("Отчеты"))); // where HTML is saved too
            const std::string title
                = fullReportTitle(findReportKind(tag)->title, h.window->session().view.identification);
            QCOMPARE(options.proposedName, QString::fromStdString(reportSaveNameProposal(title)));

            QVERIFY2(QFile::exists(target), qPrintable(h.dialogs.kinds().join(QLatin1Char(','))));
            const auto info = pdfInfo(target);
            QCOMPARE(info.value(QStringLiteral("Title")), QString::fromStdString(title));
            QVERIFY2(info.value(QStringLiteral("Page size")).endsWith(QStringLiteral("(A4)")),
                qPrintable(info.value(QStringLiteral("Page size"))));
            const PdfFonts fonts = pdfFonts(target);
            QVERIFY(fonts.count > 0);
            QCOMPARE(fonts.embedded, fonts.count);

            // Every page the printed document has, with the document's words on them.
            const QString text = pdfText(target);
            QCOMPARE(info.value(QStringLiteral("Pages")).toInt(), int(text.count(QLatin1Char('\f'))));
            QVERIFY(holdsTheSameWords(text, documentText(html)));
            QVERIFY(text.contains(QStringLiteral("ПРОТОКОЛ")) || text.contains(QStringLiteral("ЖУРНАЛ"))
                || text.contains(QStringLiteral("ОЦЕНКА")));

            QCOMPARE(h.window->statusText(0), QStringLiteral("Документ сохранен: ") + QDir::toNativeSeparators(target));
            if (QTest::currentTestFailed())
                return;
        }
        // A protocol fills more than one page; the PDFs are there and nothing written on the way.
        QVERIFY(pdfInfo(h.path(QStringLiteral("doc1.pdf"))).value(QStringLiteral("Pages")).toInt() > 1);
        QStringList expected;
        for (int tag = 1; tag <= kLifeReportTag; ++tag)
            expected << QStringLiteral("doc%1.pdf").arg(tag);
        const QStringList left
            = QDir(h.work.path()).entryList({QStringLiteral("doc*")}, QDir::Files | QDir::Hidden, QDir::Name);
        QCOMPARE(left.join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));
    }

    void faceSavesProtocolTwoAndReplacesAnOldFile()
    {
        WindowHarness h;
        const QString file = h.writeDemo(32);
        h.open(file);
        const QString target = h.path(QStringLiteral("old.pdf"));
        {
            QFile old(target);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        h.dialogs.inputAnswers.push_back(QStringLiteral("5"));
        h.dialogs.saveAnswers.push_back(target);
        requireChild<QToolButton>(*h.window, kSavePdfButtonName)->click();
        QCOMPARE(h.dialogs.callsOf("input").front().caption, QStringLiteral("ПРОТОКОЛ №2"));
        QVERIFY(fileBytes(target).startsWith("%PDF-"));
        QVERIFY(holdsTheSameWords(pdfText(target), documentText(cliReport(file, 2, QStringLiteral("5")))));
    }

    void failuresLeaveNoFileAndSayWhy()
    {
        WindowHarness h;
        h.open(h.writeDemo(33));
        h.dialogs.clear();
        const QString before = h.window->statusText(0);

        // A folder that does not exist.
        const QString missing = h.path(QStringLiteral("нет такой папки/doc.pdf"));
        h.dialogs.inputAnswers.push_back(QStringLiteral("2"));
        h.dialogs.saveAnswers.push_back(missing);
        pdfItem(h, 3)->trigger();
        QCOMPARE(h.dialogs.kinds().join(QLatin1Char(',')), QStringLiteral("input,save,message"));
        QCOMPARE(h.dialogs.calls[2].text,
            QStringLiteral("Файл не сохранен!\n%1: папка %2 не существует")
                .arg(QDir::toNativeSeparators(missing),
                    QDir::toNativeSeparators(h.path(QStringLiteral("нет такой папки")))));
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(h.window->statusText(0), before);

        // A name that is a folder.
        const QString folder = h.path(QStringLiteral("Папка.pdf"));
        QVERIFY(QDir().mkpath(folder));
        h.dialogs.clear();
        h.dialogs.saveAnswers.push_back(folder);
        pdfItem(h, kLifeReportTag)->trigger();
        QCOMPARE(h.dialogs.kinds(), QStringList({"save", "message"}));
        QVERIFY(h.dialogs.calls[1].text.endsWith(QStringLiteral(": это папка, а не файл")));
        QVERIFY(filesIn(folder).isEmpty());

        // A folder the user may not write to (root may write anywhere: nothing to try then).
        if (::geteuid() != 0) {
            const QString locked = h.path(QStringLiteral("locked"));
            QVERIFY(QDir().mkpath(locked));
            QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            h.dialogs.clear();
            h.dialogs.saveAnswers.push_back(locked + QStringLiteral("/doc.pdf"));
            pdfItem(h, kLifeReportTag)->trigger();
            QCOMPARE(h.dialogs.kinds(), QStringList({"save", "message"}));
            QVERIFY2(h.dialogs.calls[1].text.contains(QStringLiteral("нет права на запись в папку")),
                qPrintable(h.dialogs.calls[1].text));
            QVERIFY(filesIn(locked).isEmpty());
            QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }

        // Cancelling the dialog writes nothing and says nothing.
        h.dialogs.clear();
        pdfItem(h, kLifeReportTag)->trigger();
        QCOMPARE(h.dialogs.kinds(), QStringList({"save"}));
        QCOMPARE(h.window->statusText(0), before);
    }

    // The PDF is the printed document: the same pages, the same text on each, the same
    // picture of a page.
    void looksExactlyAsPrinted()
    {
        WindowHarness h;
        const QString file = h.writeDemo(34);
        for (const int tag : {1, 5}) {
            const QByteArray html = cliReport(file, tag, QStringLiteral("40"));
            const QString saved = h.path(QStringLiteral("saved%1.pdf").arg(tag));
            const pdf::PdfResult result = pdf::writeDocumentPdf(html.toStdString(), saved.toStdString());
            QVERIFY2(result.ok, result.reason.c_str());

            const QString printed = h.path(QStringLiteral("printed%1.pdf").arg(tag));
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            printer.setPageSize(QPageSize(QPageSize::A4));
            QTextDocument document;
            document.setHtml(QString::fromStdString(cp1251ToUtf8(html.toStdString())));
            QVERIFY(printDocumentPages(document, printer));

            const QString text = pdfText(saved);
            QCOMPARE(text, pdfText(printed));
            QVERIFY(text.count(QLatin1Char('\f')) > 1);
            for (const int page : {1, 2}) {
                const QByteArray picture = pdfPagePng(saved, page);
                QVERIFY(picture.startsWith("\x89PNG"));
                QVERIFY(picture == pdfPagePng(printed, page));
            }
        }
    }
};

QTEST_MAIN(PdfReportTest)
#include "PdfReportTest.moc"
