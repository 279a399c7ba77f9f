#include "gui/app/ReportCommand.h"

#include "gui/app/FileFilter.h"
#include "gui/app/FileReplace.h"
#include "gui/app/GuiDialogs.h"

#include <QDir>
#include <QFile>

namespace kestrel::gui {

namespace {

QString qt(const char* text) { return QString::fromUtf8(text); }
QString qt(const std::string& text) { return QString::fromStdString(text); }

// The temporary file is deleted and created anew with the document's bytes.
bool writeTemporaryReport(const QString& path, const std::string& bytes, QString& reason)
{
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        reason = file.errorString();
        return false;
    }
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())
        || !file.flush()) {
        reason = file.errorString();
        return false;
    }
    file.close();
    return true;
}

} // namespace

void makeReport(int tag, ReportMode mode, const ReportInput& input, const ProgramFolders& folders,
    GuiDialogs& dialogs, UserInterface& ui, QWidget* parent)
{
    const auto document = buildReportDocument(tag, input, ui);
    if (!document)
        return;

    const QString temporary = folders.temporaryReport();
    QString reason;
    if (!writeTemporaryReport(temporary, document->bytes, reason)) {
        ui.showMessage(kReportFailedMessage + document->fullTitle + "\n" + reason.toStdString());
        return;
    }

    switch (mode) {
    case ReportMode::Preview:
        dialogs.openDocument(temporary);
        break;
    case ReportMode::Print:
        dialogs.printDocument(parent, temporary);
        break;
    case ReportMode::Save: {
        const QString target = dialogs.saveFileName(parent,
            documentSaveOptions(kSaveReportDialogTitle, kSaveReportFilter, kSaveReportDefaultExtension, folders,
                document->fullTitle));
        if (target.isEmpty())
            return;
        // The described message first, then why: a bare "not saved" leaves the user guessing.
        QString why;
        if (!moveReplacing(temporary, target, &why))
            ui.showMessage(std::string(kReportNotSavedMessage) + "\n" + QDir::toNativeSeparators(target).toStdString() + ": "
                + why.toStdString());
        break;
    }
    }
}

GuiDialogs::FileOptions documentSaveOptions(
    const char* title, const char* filter, const char* suffix, const ProgramFolders& folders, const std::string& fullTitle)
{
    GuiDialogs::FileOptions options;
    options.title = qt(title);
    options.filter = qtFileFilter(qt(filter));
    options.directory = folders.reportsFolder();
    options.defaultSuffix = qt(suffix);
    options.proposedName = qt(reportSaveNameProposal(fullTitle));
    return options;
}

} // namespace kestrel::gui
