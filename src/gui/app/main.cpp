// kestrel: the desktop program "Регистратор параметров работы крана".
#include "core/device/Clock.h"
#include "core/pipeline/Pipeline.h"
#include "gui/app/CommandLine.h"
#include "gui/app/HintStyle.h"
#include "gui/app/ProgramFolders.h"
#include "gui/app/QtTranslations.h"
#include "gui/app/SingleInstance.h"
#include "gui/app/SystemGuiDialogs.h"
#include "gui/app/TfMain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <exception>

using namespace kestrel;
using namespace kestrel::gui;

int main(int argc, char* argv[])
{
    if (const auto answered = answerWithoutWindow(argc, argv))
        return *answered;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setOrganizationName(QString::fromUtf8(KESTREL_COMPANY));
    if (!installRussianQtTranslations(app))
        std::fputs("kestrel: русский перевод Qt (qtbase_ru.qm) не найден, стандартные диалоги останутся английскими\n", stderr);

    StartOptions options = parseStartOptions(QApplication::arguments(), qEnvironmentVariable("KESTREL_EXTENDED"));
    if (!options.error.isEmpty() || options.help) {
        if (!options.error.isEmpty())
            std::fprintf(stderr, "kestrel: %s\n", options.error.toLocal8Bit().constData());
        std::fputs(kUsage, options.help ? stdout : stderr);
        return options.help ? 0 : 2;
    }
    // The file is named relative to where the program was started, before that changes.
    if (!options.file.isEmpty())
        options.file = QFileInfo(options.file).absoluteFilePath();
    const QString programFolder = QApplication::applicationDirPath();
    QDir::setCurrent(programFolder);

    SingleInstance instance(SingleInstance::defaultName());
    // A second start on a file (a double click while Kestrel runs) has the running window open it.
    if (instance.activateRunning(options.file))
        return 0;
    instance.listen();

    // Before anything loads the port library, which reads it once.
    if (options.device)
        qputenv("KESTREL_PORTIO", options.device->toLocal8Bit());

    QApplication::setStyle(new HintStyle);
    app.setQuitOnLastWindowClosed(true);

    try {
        const ProgramFolders folders = ProgramFolders::forProgram(programFolder);
        SystemGuiDialogs dialogs(folders.helpFolder());
        SystemClock clock;
        TfMain::Options windowOptions;
        windowOptions.dialogs = &dialogs;
        windowOptions.clock = &clock;
        windowOptions.programFolder = folders.program;
        windowOptions.workFolder = folders.work;
        windowOptions.extended = options.extended;
        windowOptions.verifyReads = options.verify;
        windowOptions.archivePath = options.archive.isEmpty() ? QString() : QFileInfo(options.archive).absoluteFilePath();
        TfMain window(windowOptions);
        QObject::connect(&instance, &SingleInstance::activationRequested, &window, [&window](const QString& file) {
            window.showNormal();
            window.raise();
            window.activateWindow();
            if (!file.isEmpty())
                QTimer::singleShot(0, &window, [&window, file] { window.openDataFile(file); });
        });
        // A service laptop's screen (1366×768 less a task bar) is the size the window is laid
        // out for: open at that size, or filling a smaller screen.
        const QSize laidOutFor(1366, 728);
        const QSize available = window.screen()->availableGeometry().size();
        window.resize(laidOutFor.boundedTo(available));
        if (available.width() <= laidOutFor.width() || available.height() <= laidOutFor.height() + 40)
            window.showMaximized();
        else
            window.show();
        if (!options.file.isEmpty())
            QTimer::singleShot(0, &window, [&window, file = options.file] { window.openDataFile(file); });
        return app.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QString::fromUtf8(kApplicationTitle), QString::fromUtf8(error.what()));
        return 1;
    }
}
