#include "gui/app/ArchivedReadingOpen.h"

#include "gui/app/GuiDialogs.h"

#include <QString>

namespace kestrel::gui {

std::optional<MemoryImage> archivedReadingOrSay(ReadingArchive& archive, qint64 id, GuiDialogs& dialogs, QWidget* window)
{
    try {
        if (auto image = archive.image(id))
            return image;
        dialogs.message(window, QStringLiteral("Считывания № %1 в архиве нет.").arg(id));
    } catch (const ArchiveError& error) {
        dialogs.message(window, QString::fromStdString(error.what()));
    }
    return std::nullopt;
}

} // namespace kestrel::gui
