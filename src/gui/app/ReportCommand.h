#pragma once

#include "core/reports/ReportDispatch.h"
#include "core/ui/UserInterface.h"
#include "gui/app/ProgramFolders.h"

class QWidget;

namespace kestrel::gui {

class GuiDialogs;

// makeReport: the document of `tag` (row limit asked through `ui`) written to the
// temporary report file, then shown (Preview), printed (Print) or moved to a file the
// user names (Save).
void makeReport(int tag, ReportMode mode, const ReportInput& input, const ProgramFolders& folders,
    GuiDialogs& dialogs, UserInterface& ui, QWidget* parent);

} // namespace kestrel::gui
