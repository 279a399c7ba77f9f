#include "gui/app/CommandLine.h"

#include "core/device/sim/DeviceSelection.h"

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
                options.error = QStringLiteral("--device needs a value");
                return options;
            }
            try {
                (void)parseDeviceSelection(selection.toStdString());
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
                options.error = QStringLiteral("--archive needs a file name");
                return options;
            }
        } else if (argument == QStringLiteral("--extended")) {
            options.extended = true;
        } else if (argument == QStringLiteral("--verify")) {
            options.verify = true;
        } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            options.help = true;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            options.error = QStringLiteral("unknown option ") + argument;
            return options;
        } else if (options.file.isEmpty()) {
            options.file = argument;
        } else {
            options.error = QStringLiteral("one data file at most");
            return options;
        }
    }
    return options;
}

} // namespace kestrel::gui
