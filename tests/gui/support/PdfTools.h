#pragma once

// Reading PDFs back with poppler's tools (Debian's poppler-utils): text, details, fonts,
// pages as pictures. A missing tool stops the test loudly rather than passing it.

#include "core/text/Cp1251.h"

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextDocument>

#include <algorithm>
#include <string_view>

namespace kestrel::gui::test {

inline QByteArray runPdfTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForStarted(30000))
        qFatal("%s cannot be started: install poppler-utils", qPrintable(tool));
    process.waitForFinished(60000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s %s failed: %s", qPrintable(tool), qPrintable(arguments.join(QLatin1Char(' '))),
            process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

// The PDF's text, pages separated by form feeds.
inline QString pdfText(const QString& pdf)
{
    return QString::fromUtf8(runPdfTool(
        QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}));
}

// pdfinfo's "Key: value" lines.
inline QMap<QString, QString> pdfInfo(const QString& pdf)
{
    QMap<QString, QString> info;
    const QString text = QString::fromUtf8(
        runPdfTool(QStringLiteral("pdfinfo"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf}));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0)
            info.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    return info;
}

struct PdfFonts {
    int count = 0;
    int embedded = 0;
};

// pdffonts' table: the fonts and how many of them are embedded ("emb" column).
inline PdfFonts pdfFonts(const QString& pdf)
{
    const QStringList lines = QString::fromUtf8(runPdfTool(QStringLiteral("pdffonts"), {pdf})).split(QLatin1Char('\n'));
    PdfFonts fonts;
    if (lines.size() < 2)
        return fonts;
    // The "emb" column starts where the header says; names may hold spaces, the flags do not.
    const qsizetype emb = lines[0].indexOf(QStringLiteral("emb"));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        ++fonts.count;
        if (lines[i].mid(emb, 3) == QStringLiteral("yes"))
            ++fonts.embedded;
    }
    return fonts;
}

// Page `page` (1-based) as a PNG at 60 dpi.
inline QByteArray pdfPagePng(const QString& pdf, int page)
{
    const QString number = QString::number(page);
    return runPdfTool(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-f"), number,
            QStringLiteral("-l"), number, QStringLiteral("-singlefile"), pdf});
}

// The text a reader sees in a document of the core, as Qt shows it.
inline QString documentText(const QByteArray& windows1251Html)
{
    QTextDocument document;
    const std::string_view bytes(windows1251Html.constData(), std::size_t(windows1251Html.size()));
    document.setHtml(QString::fromStdString(cp1251ToUtf8(bytes)));
    return document.toPlainText();
}

// Every word, sorted: what both texts hold, whatever order a table's cells come out in.
// Hyphens go: pdftotext joins a word broken at its hyphen at the end of a line without it.
inline QStringList sortedWords(QString text)
{
    text.remove(QLatin1Char('-'));
    QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::sort(words.begin(), words.end());
    return words;
}

} // namespace kestrel::gui::test
