#pragma once

#include "core/reports/ReportDispatch.h"
#include "core/ui/UserInterface.h"
#include "gui/app/ProgramFolders.h"

#include <QString>

class QWidget;

namespace kestrel::gui {

class GuiDialogs;

inline constexpr const char* kSavePdfButtonName = "tbSavePDF";
inline constexpr const char* kSavePdfButtonCaption = "PDF";
inline constexpr const char* kSavePdfButtonHint = "Сохранить как PDF…: протоколы обработки информации РП в файле формата PDF";
inline constexpr const char* kSavePdfMenuTitle = "Сохранить как PDF…";
inline constexpr const char* kSavePdfDialogTitle = "Сохранение протокола РП в формате PDF";
inline constexpr const char* kSavePdfFilter = "Файл PDF (*.pdf)|*.pdf";
inline constexpr const char* kSavePdfDefaultExtension = "pdf";
inline constexpr const char* kPdfSavedStatus = "Документ сохранен: ";

// saveReportPdf: the document of `tag` (row limit asked through `ui`) laid out as it is
// printed and written as PDF to a file the user names, the dialog opening in "Отчеты" as
// for HTML. Returns the file written; empty when the user cancelled or the write failed
// (then "Файл не сохранен!" and why are shown through `ui`, and no file is left).
QString saveReportPdf(int tag, const ReportInput& input, const ProgramFolders& folders, GuiDialogs& dialogs,
    UserInterface& ui, QWidget* parent);

} // namespace kestrel::gui
