#pragma once

#include "core/reports/ReportDispatch.h"
#include "core/ui/UserInterface.h"
#include "gui/app/GuiDialogs.h"
#include "gui/app/ProgramFolders.h"

#include <string>

class QWidget;

namespace kestrel::gui {

// makeReport: the document of `tag` (row limit asked through `ui`) written to the
// temporary report file, then shown (Preview), printed (Print) or moved to a file the
// user names (Save).
void makeReport(int tag, ReportMode mode, const ReportInput& input, const ProgramFolders& folders,
    GuiDialogs& dialogs, UserInterface& ui, QWidget* parent);

// The save dialog of a document: opens in "Отчеты" and proposes the document's title.
GuiDialogs::FileOptions documentSaveOptions(
    const char* title, const char* filter, const char* suffix, const ProgramFolders& folders, const std::string& fullTitle);

} // namespace kestrel::gui
