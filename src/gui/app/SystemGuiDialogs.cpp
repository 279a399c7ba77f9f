#include "gui/app/SystemGuiDialogs.h"

#include "core/pipeline/Pipeline.h"
#include "core/text/Cp1251.h"
#include "gui/app/DocumentPrint.h"
#include "gui/app/HelpTopics.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

#if defined(_WIN32)
#include <windows.h>
#include <shellapi.h>
#endif

namespace kestrel::gui {

namespace {

QString applicationTitle() { return QString::fromUtf8(kApplicationTitle); }

void setUpFileDialog(QFileDialog& dialog, const GuiDialogs::FileOptions& options)
{
    dialog.setWindowTitle(options.title);
    dialog.setNameFilter(options.filter);
    // The platform opens wherever it likes when the folder is missing; the program does not create it.
    if (!options.directory.isEmpty() && QDir(options.directory).exists())
        dialog.setDirectory(options.directory);
    if (!options.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(options.defaultSuffix);
}

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

// A message box is only as wide as its text, and the window frame cuts a longer
// title: a spacer as wide as the title keeps it whole (within a laptop screen).
void showWholeTitle(QMessageBox& box)
{
    constexpr int kFrameButtonsWidth = 140;
    constexpr int kMostWidth = 1000;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr)
        return;
    const int width = std::min(kMostWidth, box.fontMetrics().horizontalAdvance(box.windowTitle()) + kFrameButtonsWidth);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
        grid->columnCount());
}

int runBox(QMessageBox::Icon icon, QWidget* parent, const QString& title, const QString& text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    showWholeTitle(box);
    return box.exec();
}

} // namespace

QMessageBox::Icon messageIcon(const QString& text)
{
    static const QStringList failures{QStringLiteral("ошибк"), QStringLiteral("не удалось"),
        QStringLiteral("не сохранен"), QStringLiteral("не найден"), QStringLiteral("превышено время"),
        QStringLiteral("конфликт шины")};
    const QString lower = text.toLower();
    for (const QString& failure : failures)
        if (lower.contains(failure))
            return QMessageBox::Critical;
    return QMessageBox::Warning;
}

SystemGuiDialogs::SystemGuiDialogs(QString helpFolder, UrlOpener openUrl)
    : helpFolder_(std::move(helpFolder)), openUrl_(std::move(openUrl))
{
    if (!openUrl_)
        openUrl_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void SystemGuiDialogs::showInViewer(QWidget* parent, const QString& path)
{
    // A missing help topic and a missing viewer need different remedies, so they read differently.
    if (!QFileInfo::exists(path)) {
        error(parent, applicationTitle(), QStringLiteral("Файл %1 не найден.").arg(nativePath(path)));
        return;
    }
    if (!openUrl_(QUrl::fromLocalFile(path)))
        error(parent, applicationTitle(),
            QStringLiteral("Не удалось открыть файл %1 программой просмотра HTML.").arg(nativePath(path)));
}

void SystemGuiDialogs::message(QWidget* parent, const QString& text)
{
    runBox(messageIcon(text), parent, applicationTitle(), text, QMessageBox::Ok, QMessageBox::Ok);
}

void SystemGuiDialogs::information(QWidget* parent, const QString& text)
{
    runBox(QMessageBox::Information, parent, applicationTitle(), text, QMessageBox::Ok, QMessageBox::Ok);
}

void SystemGuiDialogs::error(QWidget* parent, const QString& caption, const QString& text)
{
    runBox(QMessageBox::Critical, parent, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool SystemGuiDialogs::question(QWidget* parent, const QString& text)
{
    return runBox(QMessageBox::Question, parent, applicationTitle(), text, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes)
        == QMessageBox::Yes;
}

std::optional<QString> SystemGuiDialogs::input(
    QWidget* parent, const QString& caption, const QString& prompt, const QString& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString SystemGuiDialogs::openFileName(QWidget* parent, const FileOptions& options)
{
    QFileDialog dialog(parent);
    setUpFileDialog(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!options.proposedName.isEmpty())
        dialog.selectFile(options.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

QString SystemGuiDialogs::saveFileName(QWidget* parent, const FileOptions& options)
{
    QFileDialog dialog(parent);
    setUpFileDialog(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!options.proposedName.isEmpty())
        dialog.selectFile(options.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

bool SystemGuiDialogs::preparePrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void SystemGuiDialogs::openDocument(const QString& path)
{
    // Only a viewer that cannot be started is reported: once started it runs on its own.
    showInViewer(nullptr, path);
}

void SystemGuiDialogs::printDocument(QWidget* parent, const QString& path)
{
#if defined(_WIN32)
    (void)parent;
    const std::wstring file = QDir::toNativeSeparators(path).toStdWString();
    const std::wstring folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath()).toStdWString();
    // ShellExecute returns a value above 32 on success; anything else means no program prints this file.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"print", file.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL));
    if (result <= 32)
        error(parent, applicationTitle(),
            QStringLiteral("Не удалось напечатать файл %1: нет программы печати HTML.").arg(nativePath(path)));
#else
    // No shell "print" verb here: the document is laid out and printed by the program itself.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error(parent, applicationTitle(),
            QStringLiteral("Не удалось прочитать файл %1: %2").arg(nativePath(path), file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    QPrinter printer(QPrinter::HighResolution);
    if (!preparePrinter(parent, printer))
        return;
    QTextDocument document;
    document.setHtml(QString::fromStdString(cp1251ToUtf8(std::string_view(bytes.constData(), bytes.size()))));
    if (!printDocumentPages(document, printer))
        error(parent, applicationTitle(),
            QStringLiteral("Не удалось напечатать файл %1: служба печати не приняла документ.").arg(nativePath(path)));
#endif
}

void SystemGuiDialogs::showHelp(QWidget* parent, int context)
{
    showInViewer(parent, helpTopicFile(helpFolder_, context));
}

} // namespace kestrel::gui
