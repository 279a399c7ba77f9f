#include "pdf/DocumentPdf.h"

#include "core/text/Cp1251.h"
#include "pdf/DocumentLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace kestrel::pdf {

namespace {

PdfResult failure(const QString& reason) { return {false, reason.toStdString()}; }

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// Why the file could not be written, found from the place it was to go to before the
// file's own error: "the folder does not exist" tells the user more than "cannot open".
QString whyNotWritten(const QString& path, const QSaveFile& file)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (target.isDir())
        return QStringLiteral("это папка, а не файл");
    if (!folder.exists())
        return QStringLiteral("папка %1 не существует").arg(native(folder.absoluteFilePath()));
    if (!folder.isDir())
        return QStringLiteral("%1 — не папка").arg(native(folder.absoluteFilePath()));
    if (!folder.isWritable())
        return QStringLiteral("нет права на запись в папку %1").arg(native(folder.absoluteFilePath()));
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return QStringLiteral("на диске недостаточно места");
    case QFileDevice::RenameError:
        return QStringLiteral("прежний файл не удалось заменить: он открыт в другой программе или защищен от записи");
    case QFileDevice::PermissionsError:
        return QStringLiteral("нет доступа к файлу");
    case QFileDevice::WriteError:
        return QStringLiteral("ошибка записи на диск");
    default:
        break;
    }
    const QString system = file.errorString();
    return system.isEmpty() ? QStringLiteral("ошибка файловой системы")
                            : QStringLiteral("ошибка файловой системы (%1)").arg(system);
}

} // namespace

PdfResult writeDocumentPdf(const std::string& windows1251Html, const std::string& outPath)
{
    // Without it there are no fonts to lay the text out with (and Qt would abort).
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return failure(QStringLiteral("программа запущена без графической подсистемы Qt, PDF не может быть создан"));
    const QString path = QString::fromStdString(outPath);
    if (path.isEmpty())
        return failure(QStringLiteral("не задано имя файла"));

    QTextDocument document;
    document.setHtml(QString::fromStdString(cp1251ToUtf8(windows1251Html)));

    // Written under a temporary name in the same folder and renamed on success: until
    // then the old file (if any) stays as it was; on failure the temporary one goes.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(whyNotWritten(path, file));
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        writer.setCreator(QStringLiteral("Kestrel"));
        writer.setPageLayout(documentPageLayout());
        QPainter painter;
        if (painter.begin(&writer)) {
            painted = paintDocumentPages(document, writer, painter);
            painted = painter.end() && painted;
        }
    }
    if (!painted) {
        file.cancelWriting();
        if (file.error() != QFileDevice::NoError)
            return failure(whyNotWritten(path, file));
        return failure(QStringLiteral("страницы документа не удалось сформировать"));
    }
    if (!file.commit())
        return failure(whyNotWritten(path, file));
    return {true, {}};
}

} // namespace kestrel::pdf
