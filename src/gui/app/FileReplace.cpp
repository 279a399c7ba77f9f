#include "gui/app/FileReplace.h"

#include <QFile>
#include <QFileInfo>

namespace kestrel::gui {

bool moveReplacing(const QString& from, const QString& to)
{
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath())
        return QFileInfo::exists(from);
    const QFileInfo target(to);
    if (target.isDir())
        return false; // only a file is replaced
    if (!target.exists())
        return QFile::rename(from, to);

    QString aside = to + QStringLiteral(".old");
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = to + QStringLiteral(".old%1").arg(n);
    if (!QFile::rename(to, aside))
        return false;
    if (QFile::rename(from, to)) {
        QFile::remove(aside);
        return true;
    }
    QFile::rename(aside, to);
    return false;
}

} // namespace kestrel::gui
