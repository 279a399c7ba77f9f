#pragma once

#include <QString>

namespace kestrel::gui {

// The folders the program works with, all relative to the program file's folder:
// data files in "Данные", saved documents in "Отчеты", the temporary report beside the
// program. When that folder cannot be written (a program installed for all users),
// the per-user application data folder takes its place instead of every report failing.
struct ProgramFolders {
    QString program; // the program file's folder: the port library and help live here
    QString work;    // where "Данные", "Отчеты" and "$temp$.html" are

    QString dataFolder() const;
    QString reportsFolder() const;
    QString temporaryReport() const;
    QString helpFolder() const;

    // `work` = `program` when a file can be created there, else the per-user folder.
    static ProgramFolders forProgram(const QString& programFolder);
    // Both given, for tests and callers that know better.
    static ProgramFolders fixed(const QString& programFolder, const QString& workFolder);
};

// True when a file can be created in the folder (tried, not guessed from attributes).
bool folderIsWritable(const QString& folder);

} // namespace kestrel::gui
