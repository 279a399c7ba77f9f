#include "gui/app/PdfReportCommand.h"

#include "gui/app/GuiDialogs.h"
#include "gui/app/ReportCommand.h"
#include "pdf/DocumentPdf.h"

#include <QDir>

namespace kestrel::gui {

QString saveReportPdf(int tag, const ReportInput& input, const ProgramFolders& folders, GuiDialogs& dialogs,
    UserInterface& ui, QWidget* parent)
{
    const auto document = buildReportDocument(tag, input, ui);
    if (!document)
        return {};

    const QString target = dialogs.saveFileName(parent,
        documentSaveOptions(kSavePdfDialogTitle, kSavePdfFilter, kSavePdfDefaultExtension, folders, document->fullTitle));
    if (target.isEmpty())
        return {};

    const pdf::PdfResult result = pdf::writeDocumentPdf(document->bytes, target.toStdString());
    if (!result) {
        // As for HTML: the described message first, then which file and why.
        ui.showMessage(std::string(kReportNotSavedMessage) + "\n" + QDir::toNativeSeparators(target).toStdString()
            + ": " + result.reason);
        return {};
    }
    return target;
}

} // namespace kestrel::gui
