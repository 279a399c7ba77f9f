#include "gui/app/FileFilter.h"

#include <QStringList>

namespace kestrel::gui {

QString qtFileFilter(const QString& pairs)
{
    const QStringList parts = pairs.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (patterns.isEmpty()) {
            if (!description.isEmpty())
                filters << description;
            continue;
        }
        const QString qtPatterns = QString(patterns).replace(u';', u' ');
        if (description.contains(u'(') && description.contains(u')'))
            filters << description;
        else
            filters << (description.isEmpty() ? qtPatterns : description + " (" + qtPatterns + ")");
    }
    return filters.join(";;");
}

} // namespace kestrel::gui
