#pragma once

#include "gui/app/GuiDialogs.h"

#include <QMessageBox>

#include <functional>

class QUrl;

namespace kestrel::gui {

// The desktop's own dialogs: message boxes titled with the application title, Qt file
// and input dialogs, the print dialog, the default HTML viewer, and the help topics
// in the folder beside the program. A document or help topic the desktop cannot show
// is reported in an error box naming the file, not left to a line on stderr.
// The icon of a message box: critical for what failed (device, file, processing),
// a warning for everything else the program refuses or asks to mend.
QMessageBox::Icon messageIcon(const QString& text);

class SystemGuiDialogs : public GuiDialogs {
public:
    // Hands a file to the desktop's viewer; false when none took it.
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit SystemGuiDialogs(QString helpFolder, UrlOpener openUrl = {});

    void message(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& caption, const QString& text) override;
    bool question(QWidget* parent, const QString& text) override;
    std::optional<QString> input(
        QWidget* parent, const QString& caption, const QString& prompt, const QString& initial) override;
    QString openFileName(QWidget* parent, const FileOptions& options) override;
    QString saveFileName(QWidget* parent, const FileOptions& options) override;
    bool preparePrinter(QWidget* parent, QPrinter& printer) override;
    void openDocument(const QString& path) override;
    void printDocument(QWidget* parent, const QString& path) override;
    void showHelp(QWidget* parent, int context) override;

private:
    void showInViewer(QWidget* parent, const QString& path);

    QString helpFolder_;
    UrlOpener openUrl_;
};

} // namespace kestrel::gui
