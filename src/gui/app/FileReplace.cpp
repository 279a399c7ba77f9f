#include "gui/app/FileReplace.h"

#include <QFile>
#include <QFileInfo>

namespace kestrel::gui {

namespace {

bool renameFile(const QString& from, const QString& to, QString* reason)
{
    QFile file(from);
    if (file.rename(to))
        return true;
    if (reason != nullptr)
        *reason = file.errorString();
    return false;
}

} // namespace

bool moveReplacing(const QString& from, const QString& to, QString* reason)
{
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath())
        return QFileInfo::exists(from);
    const QFileInfo target(to);
    if (target.isDir()) {
        // only a file is replaced
        if (reason != nullptr)
            *reason = QStringLiteral("это папка, а не файл");
        return false;
    }
    if (!target.exists())
        return renameFile(from, to, reason);

    QString aside = to + QStringLiteral(".old");
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = to + QStringLiteral(".old%1").arg(n);
    if (!renameFile(to, aside, reason))
        return false;
    if (renameFile(from, to, reason)) {
        QFile::remove(aside);
        return true;
    }
    QFile::rename(aside, to);
    return false;
}

} // namespace kestrel::gui
