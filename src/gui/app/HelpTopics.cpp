#include "gui/app/HelpTopics.h"

#include <QDir>
#include <QFileInfo>

namespace kestrel::gui {

QString helpTopicFile(const QString& helpFolder, int context)
{
    const QDir folder(helpFolder);
    const QString contents = folder.filePath(QStringLiteral("index.html"));
    if (context == kHelpContents)
        return contents;
    const QString topic = folder.filePath(QStringLiteral("context-%1.html").arg(context));
    return QFileInfo::exists(topic) ? topic : contents;
}

} // namespace kestrel::gui
