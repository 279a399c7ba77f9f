#pragma once

#include "core/archive/ReadingArchive.h"

#include <QtGlobal>

#include <optional>

class QWidget;

namespace kestrel::gui {

class GuiDialogs;

// The stored bytes of reading `id` for opening it in the window; a reading that is gone
// or damaged is said in a message box and nothing is returned.
std::optional<MemoryImage> archivedReadingOrSay(ReadingArchive& archive, qint64 id, GuiDialogs& dialogs, QWidget* window);

} // namespace kestrel::gui
