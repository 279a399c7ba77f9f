#include "gui/app/ProgramFolders.h"

#include "core/reports/ReportDispatch.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace kestrel::gui {

QString ProgramFolders::dataFolder() const { return QDir(work).filePath(QStringLiteral("Данные")); }

QString ProgramFolders::reportsFolder() const { return QDir(work).filePath(QString::fromUtf8(kReportsFolderName)); }

QString ProgramFolders::temporaryReport() const
{
    return QDir(work).filePath(QString::fromUtf8(kTemporaryReportFileName));
}

QString ProgramFolders::helpFolder() const { return QDir(program).filePath(QStringLiteral("help")); }

bool folderIsWritable(const QString& folder)
{
    if (folder.isEmpty() || !QDir(folder).exists())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("kestrel-probe-XXXXXX")));
    return probe.open();
}

ProgramFolders ProgramFolders::forProgram(const QString& programFolder)
{
    if (folderIsWritable(programFolder))
        return {programFolder, programFolder};
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!user.isEmpty() && QDir().mkpath(user))
        return {programFolder, user};
    return {programFolder, programFolder};
}

ProgramFolders ProgramFolders::fixed(const QString& programFolder, const QString& workFolder)
{
    return {programFolder, workFolder};
}

} // namespace kestrel::gui
