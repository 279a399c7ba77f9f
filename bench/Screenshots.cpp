// Screenshots of the five pages for the README: kestrel_screenshots DIR.
// Run it under a real display server (xvfb-run) to see what a user sees.
#include "core/demo/DemoImage.h"
#include "core/device/Clock.h"
#include "core/image/DataFile.h"
#include "gui/app/ScriptedGuiDialogs.h"
#include "gui/app/TfMain.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrel_screenshots DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    QTemporaryDir work;
    const QString file = work.filePath("demo.bbd");
    kestrel::saveImage(file.toStdString(), kestrel::makeDemoImage(1));

    kestrel::gui::ScriptedGuiDialogs dialogs;
    kestrel::SystemClock clock;
    kestrel::gui::TfMain::Options options;
    options.dialogs = &dialogs;
    options.clock = &clock;
    options.programFolder = QCoreApplication::applicationDirPath();
    options.workFolder = work.path();
    options.extended = true;
    kestrel::gui::TfMain window(options);
    window.resize(1200, 860);
    window.show();
    window.loadFromFile(file);

    auto* pages = window.findChild<QTabWidget*>("PageControl1");
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        for (int k = 0; k < 10; ++k) {
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
        const QString name = out.filePath(QString("page-%1-%2.png").arg(i + 1).arg(pages->widget(i)->objectName()));
        if (!window.grab().save(name))
            return 1;
        std::printf("%s\n", qPrintable(name));
    }
    return 0;
}
