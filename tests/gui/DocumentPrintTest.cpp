// Printing a document: long underscore lines stay whole, pages follow the layout.
#include "gui/app/DocumentPrint.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

using namespace kestrel::gui;

namespace {

const QString kBlank = QString(79, QLatin1Char('_'));

QString protocolLikeHtml(int repeats)
{
    QString html = QStringLiteral("<HTML><BODY style=\"font-size: 12pt\">");
    for (int i = 0; i < repeats; ++i) {
        html += QStringLiteral("Организация, проводившая проверку ") + kBlank + QStringLiteral("<BR>");
        html += QStringLiteral("5.3. Другие сведения ") + kBlank + kBlank + QStringLiteral("<BR>");
        html += kBlank + QStringLiteral("<BR>");
    }
    return html + QStringLiteral("</BODY></HTML>");
}

// True when some line of the document starts inside a run of underscores.
bool anUnderscoreRunIsBroken(const QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        for (int i = 1; i < layout->lineCount(); ++i) {
            const int start = layout->lineAt(i).textStart();
            // A trailing line break leaves an empty last line that starts past the text.
            if (start > 0 && start < text.size() && text.at(start) == QLatin1Char('_') && text.at(start - 1) == QLatin1Char('_'))
                return true;
        }
    }
    return false;
}

} // namespace

class DocumentPrintTest : public QObject {
    Q_OBJECT

private slots:
    void underscoreLinesAreNeverBrokenOnANarrowPage()
    {
        QTextDocument document;
        document.setHtml(protocolLikeHtml(1));
        // Narrow enough that the doubled line cannot fit at full size.
        const double scale = layOutForPage(document, 500.0, 700.0);
        QVERIFY(scale < 1.0);
        QVERIFY(!anUnderscoreRunIsBroken(document));
        QVERIFY(document.pageSize().width() * scale <= 500.0 + 1e-6);
    }

    void aDocumentThatFitsKeepsItsSize()
    {
        QTextDocument document;
        document.setHtml(QStringLiteral("<P>Протокол</P>"));
        QCOMPARE(layOutForPage(document, 700.0, 1000.0), 1.0);
        QCOMPARE(document.pageSize(), QSizeF(700.0, 1000.0));
    }

    void printsEveryPageOfALongDocument()
    {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("doc.pdf")));
        QTextDocument document;
        document.setHtml(protocolLikeHtml(60));
        QVERIFY(printDocumentPages(document, printer));
        QVERIFY(!anUnderscoreRunIsBroken(document));
        QFile file(printer.outputFileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), qsizetype(document.pageCount()));
        QVERIFY(document.pageCount() > 1);
    }

    // The documents' margins on whatever paper the print dialog chose, the same as in a PDF.
    void thePrinterKeepsItsPaperAndGetsTheDocumentMargins()
    {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("doc.pdf")));
        printer.setPageSize(QPageSize(QPageSize::A5));
        printer.setPageOrientation(QPageLayout::Landscape);
        QTextDocument document;
        document.setHtml(protocolLikeHtml(1));
        QVERIFY(printDocumentPages(document, printer));
        const QPageLayout layout = printer.pageLayout();
        QCOMPARE(layout.pageSize().id(), QPageSize::A5);
        QCOMPARE(layout.orientation(), QPageLayout::Landscape);
        const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
        for (const double margin : {margins.left(), margins.top(), margins.right(), margins.bottom()})
            QVERIFY2(qAbs(margin - kestrel::pdf::kDocumentMarginMillimetres) < 0.01,
                qPrintable(QString::number(margin)));
        QCOMPARE(kestrel::pdf::documentPageLayout().margins(QPageLayout::Millimeter), margins);
        QCOMPARE(kestrel::pdf::documentPageLayout().pageSize().id(), QPageSize::A4);
    }

    void aPrinterThatCannotStartIsReported()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/no/such/folder/doc.pdf"));
        QTextDocument document;
        document.setHtml(protocolLikeHtml(1));
        QVERIFY(!printDocumentPages(document, printer));
    }
};

QTEST_MAIN(DocumentPrintTest)
#include "DocumentPrintTest.moc"
