#include "gui/app/CommandLine.h"

#include "core/device/reader/ReaderBuses.h"
#include "core/device/sim/DeviceSelection.h"

#include <cstdio>

namespace kestrel::gui {

StartOptions parseStartOptions(const QStringList& arguments, const QString& extendedVariable)
{
    StartOptions options;
    options.extended = !extendedVariable.isEmpty() && extendedVariable != QStringLiteral("0");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--device") || argument.startsWith(QStringLiteral("--device="))) {
            QString selection;
            if (argument.contains(u'=')) {
                selection = argument.section(u'=', 1);
            } else if (i + 1 < arguments.size()) {
                selection = arguments[++i];
            } else {
                options.error = QStringLiteral("у параметра --device нет значения");
                return options;
            }
            // Checked as the window will take it: the I2C adapters too, not only the parallel port.
            try {
                (void)parseBusChoice(selection.toStdString());
            } catch (const DeviceSelectionError& error) {
                options.error = QStringLiteral("--device: ") + QString::fromStdString(error.what());
                return options;
            }
            options.device = selection;
        } else if (argument == QStringLiteral("--archive") || argument.startsWith(QStringLiteral("--archive="))) {
            if (argument.contains(u'=')) {
                options.archive = argument.section(u'=', 1);
            } else if (i + 1 < arguments.size()) {
                options.archive = arguments[++i];
            }
            if (options.archive.isEmpty()) {
                options.error = QStringLiteral("у параметра --archive нет имени файла");
                return options;
            }
        } else if (argument == QStringLiteral("--extended")) {
            options.extended = true;
        } else if (argument == QStringLiteral("--verify")) {
            options.verify = true;
        } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            options.help = true;
        } else if (argument == QStringLiteral("--version")) {
            options.version = true;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            options.error = QStringLiteral("неизвестный параметр ") + argument.section(u'=', 0, 0);
            return options;
        } else if (options.file.isEmpty()) {
            options.file = argument;
        } else {
            options.error = QStringLiteral("лишний аргумент ") + argument + QStringLiteral(": открывается один файл данных");
            return options;
        }
    }
    return options;
}

std::optional<int> answerWithoutWindow(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartOptions options = parseStartOptions(arguments, qEnvironmentVariable("KESTREL_EXTENDED"));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "kestrel: %s\n", options.error.toLocal8Bit().constData());
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(kVersionText, stdout);
        return 0;
    }
    return std::nullopt;
}

} // namespace kestrel::gui
