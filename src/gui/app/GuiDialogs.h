#pragma once

#include <QString>

#include <optional>

class QPrinter;
class QWidget;

namespace kestrel::gui {

// Everything the window asks the user or the desktop, in one seam: message boxes,
// questions, input, file dialogs, printing, the shell and help. The program uses
// SystemGuiDialogs; widget tests answer from a script (ScriptedGuiDialogs).
class GuiDialogs {
public:
    virtual ~GuiDialogs() = default;

    struct FileOptions {
        QString title;
        QString filter;         // "Файл данных (*.bbd)"
        QString directory;      // initial folder
        QString defaultSuffix;  // "bbd"
        QString proposedName;   // initial file name (save dialogs)
        bool confirmOverwrite = true;
    };

    virtual void message(QWidget* parent, const QString& text) = 0;
    // A notice that is neither a failure nor a refusal (a save the user cancelled).
    virtual void information(QWidget* parent, const QString& text) = 0;
    virtual void error(QWidget* parent, const QString& caption, const QString& text) = 0;
    virtual bool question(QWidget* parent, const QString& text) = 0; // Yes/No; true for Yes
    virtual std::optional<QString> input(
        QWidget* parent, const QString& caption, const QString& prompt, const QString& initial)
        = 0;
    // Empty when cancelled.
    virtual QString openFileName(QWidget* parent, const FileOptions& options) = 0;
    virtual QString saveFileName(QWidget* parent, const FileOptions& options) = 0;
    // The print dialog: false when cancelled; on true the printer is set up.
    virtual bool preparePrinter(QWidget* parent, QPrinter& printer) = 0;
    // The shell's "open" and "print" verbs on a document.
    virtual void openDocument(const QString& path) = 0;
    virtual void printDocument(QWidget* parent, const QString& path) = 0;
    // The help topic of a help context (9999: contents).
    virtual void showHelp(QWidget* parent, int context) = 0;
};

} // namespace kestrel::gui
