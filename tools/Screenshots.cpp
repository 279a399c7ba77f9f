// Screenshots for the README: kestrel_screenshots DIR. Every page of the main window with
// a demo recorder's readings opened (the newest of a yearly history, so "История" has
// something to show), and every window it opens: the cycle detail, the load
// characteristic and normalisation editors, the operator identification.
// Run it under a real display server (xvfb-run, 1366×768, ru_RU) to see what a user sees.
#include "core/archive/SqliteArchive.h"
#include "core/demo/DemoHistory.h"
#include "core/device/Clock.h"
#include "core/image/DataFile.h"
#include "gui/app/ScriptedGuiDialogs.h"
#include "gui/app/TfMain.h"
#include "gui/pages/OperPage.h"
#include "gui/windows/ServerSettingsDialog.h"
#include "gui/windows/TfIdent.h"
#include "gui/windows/TfOper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <functional>

namespace {

void settle()
{
    for (int k = 0; k < 10; ++k) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
}

bool save(QWidget& widget, const QString& name)
{
    settle();
    if (!widget.grab().save(name))
        return false;
    std::printf("%s\n", qPrintable(name));
    return true;
}

// Grabs the modal window `open` brings up, then closes it.
bool saveModal(const QString& name, const std::function<void()>& open)
{
    bool saved = false;
    QTimer::singleShot(100, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr)
            return;
        saved = save(*window, name);
        window->close();
    });
    open();
    return saved;
}

// The settings of a laptop that synchronised with its team's server this morning, kept in
// `folder` (never in the user's own settings): the status bar says so, and "Сервер команды"
// shows what such a user typed.
void useTeamServerSettings(const QString& folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings settings;
    settings.setValue("server/connection", "postgresql://ivanov@kestrel.example.ru/kestrel?sslmode=verify-full");
    settings.setValue("sync/finishedAt", QDateTime(QDate::currentDate(), QTime(9, 12)).toUTC());
    settings.setValue("sync/succeeded", true);
    settings.setValue("sync/sent", 3);
    settings.setValue("sync/fetched", 41);
    settings.setValue("sync/details", QString::fromUtf8("Отправлено считываний: 3, получено: 41."));
}

} // namespace

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
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setOrganizationName(QStringLiteral("Kestrel"));
    useTeamServerSettings(work.filePath(QStringLiteral("settings")));
    const auto history = kestrel::makeDemoHistory(1, 5);
    QStringList files;
    for (std::size_t k = 0; k < history.size(); ++k) {
        files << work.filePath(QStringLiteral("reading-%1.bbd").arg(k + 1));
        kestrel::saveImage(files.back().toStdString(), history[k]);
    }

    // Colleagues' cranes, as a sync brings them, for "Парк кранов".
    {
        const auto archive = kestrel::openSqliteArchive(work.filePath(QStringLiteral("archive.sqlite")).toStdString());
        for (std::uint32_t seed = 2; seed <= 9; ++seed) {
            std::vector<kestrel::ImageToStore> readings;
            for (const auto& image : kestrel::makeDemoHistory(seed, 3))
                readings.push_back({image, "reading.bbd"});
            archive->storeAll(readings);
        }
    }

    kestrel::gui::ScriptedGuiDialogs dialogs;
    kestrel::SystemClock clock;
    kestrel::gui::TfMain::Options options;
    options.dialogs = &dialogs;
    options.clock = &clock;
    options.programFolder = QCoreApplication::applicationDirPath();
    options.workFolder = work.path();
    options.archivePath = work.filePath(QStringLiteral("archive.sqlite"));
    options.extended = true;
    bool detailSaved = false;
    options.runCycleDetail = [&](kestrel::gui::TfOper& detail) {
        detail.show();
        detailSaved = save(detail, out.filePath(QStringLiteral("window-TfOper.png")));
    };
    kestrel::gui::TfMain window(options);
    window.resize(1366, 728); // as the program opens on a 1366×768 laptop
    window.show();
    for (const QString& file : files)
        window.loadFromFile(file);

    auto* pages = window.findChild<QTabWidget*>("PageControl1");
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        if (!save(window, out.filePath(QString("page-%1-%2.png").arg(i + 1).arg(pages->widget(i)->objectName()))))
            return 1;
    }

    // The cycle detail of the newest working cycle.
    pages->setCurrentWidget(window.findChild<QWidget*>("tsOper"));
    if (QTreeWidget* cycles = window.operPage().lvLast(); cycles->topLevelItemCount() > 0)
        window.openCycleDetail(cycles->topLevelItem(0)->text(0));

    pages->setCurrentWidget(window.findChild<QWidget*>("tsTools"));
    if (auto* program = window.findChild<QCheckBox*>("chbProgram"))
        program->setChecked(true); // the load characteristic is edited among the program settings
    auto* makeLoad = window.findChild<QAbstractButton*>("bbMakeGruz");
    const bool loadSaved = makeLoad != nullptr
        && saveModal(out.filePath(QStringLiteral("window-TfMakeGruz.png")), [&] { makeLoad->click(); });
    auto* normalise = window.findChild<QCheckBox*>("chbNormir");
    const bool normaliseSaved = normalise != nullptr
        && saveModal(out.filePath(QStringLiteral("window-TfNormir.png")), [&] { normalise->setChecked(true); });
    kestrel::gui::TfIdent identification(QStringLiteral("183/18"), &window);
    const bool identificationSaved = saveModal(
        out.filePath(QStringLiteral("window-TfIdent.png")), [&] { identification.exec(); });
    kestrel::gui::ServerSettingsDialog server(QSettings().value("server/connection").toString(), &window);
    const bool serverSaved = saveModal(
        out.filePath(QStringLiteral("window-ServerSettingsDialog.png")), [&] { server.exec(); });
    return detailSaved && loadSaved && normaliseSaved && identificationSaved && serverSaved ? 0 : 1;
}
