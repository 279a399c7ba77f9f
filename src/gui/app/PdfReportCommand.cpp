#include "gui/app/PdfReportCommand.h"

#include "gui/app/FileFilter.h"
#include "gui/app/GuiDialogs.h"
#include "pdf/DocumentPdf.h"

#include <QDir>

namespace kestrel::gui {

namespace {

QString qt(const char* text) { return QString::fromUtf8(text); }
QString qt(const std::string& text) { return QString::fromStdString(text); }

} // namespace

QString saveReportPdf(int tag, const ReportInput& input, const ProgramFolders& folders, GuiDialogs& dialogs,
    UserInterface& ui, QWidget* parent)
{
    const auto document = buildReportDocument(tag, input, ui);
    if (!document)
        return {};

    GuiDialogs::FileOptions options;
    options.title = qt(kSavePdfDialogTitle);
    options.filter = qtFileFilter(qt(kSavePdfFilter));
    options.directory = folders.reportsFolder();
    options.defaultSuffix = qt(kSavePdfDefaultExtension);
    options.proposedName = qt(reportSaveNameProposal(document->fullTitle));
    const QString target = dialogs.saveFileName(parent, options);
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
