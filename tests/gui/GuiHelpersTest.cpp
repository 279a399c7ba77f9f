// The window's small helpers: locale, dialog filters, help topics, the cycle record
// behind a list row, replacing a saved file, the command line and the program folders.
#include "core/demo/DemoImage.h"
#include "core/image/ImageLayout.h"
#include "gui/app/QtTranslations.h"
#include "gui/app/CommandLine.h"
#include "core/records/CycleRecordLookup.h"
#include "gui/app/FileFilter.h"
#include "gui/app/FileReplace.h"
#include "gui/app/HelpTopics.h"
#include "gui/app/ProgramFolders.h"
#include "gui/app/SystemDisplayLocale.h"

#include <QMessageBox>
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrel;
using namespace kestrel::gui;

namespace {

void writeText(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class GuiHelpersTest : public QObject {
    Q_OBJECT

private slots:
    void qtDialogsSpeakRussian()
    {
        // The question boxes' buttons, whatever the desktop's language.
        QVERIFY(installRussianQtTranslations(*QCoreApplication::instance()));
        QMessageBox box(QMessageBox::Question, QStringLiteral("Kestrel"), QStringLiteral("?"),
            QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Да"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Нет"));
    }

    void displayLocale()
    {
        QCOMPARE(shortDatePattern("dd.MM.yyyy"), std::string("dd.MM.yyyy"));
        QCOMPARE(shortDatePattern("M/d/yy"), std::string("M/d/yy"));
        QCOMPARE(shortDatePattern("dd/MM/yyyy"), std::string("dd/MM/yyyy"));
        QCOMPARE(shortDatePattern("yyyy-MM-dd"), std::string("yyyy-MM-dd"));
        QCOMPARE(shortDatePattern("d MMM yyyy"), std::string("d MM yyyy"));     // month names become numbers
        QCOMPARE(shortDatePattern("dddd, d. MMMM yyyy"), std::string("d. MM yyyy")); // day names go
        QCOMPARE(shortDatePattern("d 'de' MMMM 'de' yyyy"), std::string("d de MM de yyyy"));
        QCOMPARE(shortDatePattern("HH:mm"), std::string("dd.MM.yyyy")); // no date at all

        const DisplayLocale russian = displayLocaleFrom(QLocale(QLocale::Russian, QLocale::Russia));
        QCOMPARE(russian.decimalSeparator, ',');
        QCOMPARE(russian.shortDateFormat, std::string("dd.MM.yyyy"));
        const DisplayLocale american = displayLocaleFrom(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(american.decimalSeparator, '.');
        QCOMPARE(american.shortDateFormat, std::string("M/d/yy"));
        const DisplayLocale c = displayLocaleFrom(QLocale::c()); // as the command line's C locale
        QCOMPARE(c.decimalSeparator, '.');
        QCOMPARE(c.shortDateFormat, std::string("dd.MM.yyyy"));
    }

    void fileFilters()
    {
        QCOMPARE(qtFileFilter("Файл данных (*.bbd)|*.bbd"), QStringLiteral("Файл данных (*.bbd)"));
        QCOMPARE(qtFileFilter("Bitmaps (*.bmp)|*.bmp"), QStringLiteral("Bitmaps (*.bmp)"));
        QCOMPARE(qtFileFilter("Отчеты|*.html;*.htm|Все файлы|*.*"),
            QStringLiteral("Отчеты (*.html *.htm);;Все файлы (*.*)"));
    }

    void everyHelpContextHasItsTopic()
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/help");
        QVERIFY2(QFile::exists(folder + "/index.html"), qPrintable(folder));
        for (const int context : {2, 3, 4, 5, 6, 7, 12, 16, 17, 18, 19, 20}) {
            const QString topic = helpTopicFile(folder, context);
            QCOMPARE(QFileInfo(topic).fileName(), QStringLiteral("context-%1.html").arg(context));
            const QString html = QString::fromUtf8(readText(topic));
            QVERIFY2(html.contains(QStringLiteral("<h1>")) && html.contains(QStringLiteral("index.html")),
                qPrintable(topic));
        }
        QCOMPARE(QFileInfo(helpTopicFile(folder, kHelpContents)).fileName(), QStringLiteral("index.html"));
        QCOMPARE(QFileInfo(helpTopicFile(folder, 42)).fileName(), QStringLiteral("index.html"));
    }

    void cycleRecordLookup()
    {
        MemoryImage image = makeDemoImage(41);
        const StampBytes working = stampAt(image, layout::kCycleRing + 8 * 5);
        const auto found = findCycleRecord(image, stampText(working));
        QVERIFY(found.has_value());
        QVERIFY(!found->limiterTrip);
        QCOMPARE(found->stamp, working);

        // A trip whose stamp no working cycle has is found in the second ring.
        const StampBytes trip = stampAt(image, layout::kTripRing + 8 * 9);
        for (std::size_t slot = 0; slot < 32; ++slot)
            if (stampAt(image, layout::kCycleRing + 8 * slot) == trip)
                image[layout::kCycleRing + 8 * slot] ^= 0x01;
        const auto inTrips = findCycleRecord(image, stampText(trip));
        QVERIFY(inTrips.has_value());
        QVERIFY(inTrips->limiterTrip);
        QCOMPARE(inTrips->slot, 9);

        // An empty row stands for no record, even where invalid stamps are.
        for (std::size_t i = 0; i < 8; ++i)
            image[layout::kCycleRing + i] = 0;
        QVERIFY(!findCycleRecord(image, "").has_value());
        QVERIFY(!findCycleRecord(image, "01.01.2099 00:00 ").has_value());
    }

    void replacingASavedFile()
    {
        QTemporaryDir dir;
        const QString from = dir.filePath("temp.html");
        const QString to = dir.filePath("saved.html");
        writeText(from, "new");
        writeText(to, "old");
        QVERIFY(moveReplacing(from, to));
        QCOMPARE(readText(to), QByteArray("new"));
        QVERIFY(!QFile::exists(from));

        // A move that cannot happen keeps both files as they were, and says why.
        writeText(from, "newer");
        QString reason;
        QVERIFY(!moveReplacing(from, dir.filePath("missing/saved.html"), &reason));
        QVERIFY(!reason.isEmpty());
        QCOMPARE(readText(from), QByteArray("newer"));
        // The target is a folder that cannot be replaced: the old one stays.
        QDir(dir.path()).mkdir("taken");
        writeText(dir.filePath("taken/inside"), "keep");
        QVERIFY(!moveReplacing(from, dir.filePath("taken"), &reason));
        QCOMPARE(reason, QStringLiteral("это папка, а не файл"));
        QCOMPARE(readText(dir.filePath("taken/inside")), QByteArray("keep"));
        QCOMPARE(readText(from), QByteArray("newer"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 2);
    }

    void commandLine()
    {
        const QString program = QStringLiteral("kestrel");
        StartOptions o = parseStartOptions({program}, {});
        QVERIFY(o.error.isEmpty() && !o.device && !o.extended && o.file.isEmpty());

        o = parseStartOptions({program, "--device", "sim:demo.bbd,nack=0.01", "data.bbd"}, {});
        QVERIFY(o.error.isEmpty());
        QCOMPARE(*o.device, QStringLiteral("sim:demo.bbd,nack=0.01"));
        QCOMPARE(o.file, QStringLiteral("data.bbd"));

        QVERIFY(parseStartOptions({program, "--device=ppdev:/dev/parport0"}, {}).device.has_value());
        QVERIFY(!parseStartOptions({program, "--device", "floppy"}, {}).error.isEmpty());
        QVERIFY(!parseStartOptions({program, "--device"}, {}).error.isEmpty());
        QVERIFY(!parseStartOptions({program, "--bogus"}, {}).error.isEmpty());
        QVERIFY(!parseStartOptions({program, "a.bbd", "b.bbd"}, {}).error.isEmpty());

        QVERIFY(parseStartOptions({program, "--extended"}, {}).extended);
        QVERIFY(parseStartOptions({program}, "1").extended);
        QVERIFY(!parseStartOptions({program}, "0").extended);
    }

    // The window searches the I2C adapters too: their device texts are no command-line error.
    void commandLineTakesEveryDeviceTheWindowSearches()
    {
        const QString program = QStringLiteral("kestrel");
        for (const char* device : {"i2c", "i2c:/dev/i2c-3", "i2c-sim", "i2c-sim:demo.bbd", "sim", "direct"}) {
            const StartOptions o = parseStartOptions({program, QStringLiteral("--device"), QString::fromUtf8(device)}, {});
            QVERIFY2(o.error.isEmpty(), qPrintable(o.error));
            QCOMPARE(*o.device, QString::fromUtf8(device));
        }
        QVERIFY(!parseStartOptions({program, "--device", "i2c:"}, {}).error.isEmpty());
        QCOMPARE(parseStartOptions({program, "--bogus=1"}, {}).error, QStringLiteral("неизвестный параметр --bogus"));
        QCOMPARE(parseStartOptions({program, "--device"}, {}).error, QStringLiteral("у параметра --device нет значения"));
        QVERIFY(parseStartOptions({program, "--version"}, {}).version);
    }

    // help2man reads both: on stdout, exit 0, before any window or second-start check.
    void helpAndVersionOfTheProgram()
    {
        // No display at all: a package build runs help2man on a machine without one.
        QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
        headless.remove(QStringLiteral("QT_QPA_PLATFORM"));
        headless.remove(QStringLiteral("DISPLAY"));
        headless.remove(QStringLiteral("WAYLAND_DISPLAY"));
        for (const QString& option : {QStringLiteral("--version"), QStringLiteral("--help")}) {
            QProcess process;
            process.setProcessEnvironment(headless);
            process.start(QStringLiteral(KESTREL_GUI_PATH), {option});
            QVERIFY(process.waitForFinished(30000));
            QCOMPARE(process.exitCode(), 0);
            const QString out = QString::fromUtf8(process.readAllStandardOutput());
            if (option == QStringLiteral("--version")) {
                QCOMPARE(out, QStringLiteral("kestrel " KESTREL_VERSION "\n"));
                continue;
            }
            QVERIFY(out.startsWith(QStringLiteral("Использование: kestrel ")));
            for (const char* listed : {"--device", "--archive", "--extended", "--verify", "--version", "FILE.bbd"})
                QVERIFY2(out.contains(QString::fromUtf8(listed)), listed);
            for (const QString& line : out.split(u'\n'))
                QVERIFY2(line.size() <= 79, qPrintable(line));
        }
        QProcess wrong;
        wrong.start(QStringLiteral(KESTREL_GUI_PATH), {QStringLiteral("--bogus")});
        QVERIFY(wrong.waitForFinished(30000));
        QCOMPARE(wrong.exitCode(), 2);
        QVERIFY(QString::fromUtf8(wrong.readAllStandardError()).startsWith(QStringLiteral("kestrel: неизвестный параметр --bogus\n")));
    }

    void programFolders()
    {
        QTemporaryDir dir;
        const ProgramFolders here = ProgramFolders::forProgram(dir.path());
        QCOMPARE(here.work, dir.path());
        QCOMPARE(here.temporaryReport(), dir.filePath("$temp$.html"));
        QCOMPARE(here.dataFolder(), dir.filePath("Данные"));
        QCOMPARE(here.reportsFolder(), dir.filePath("Отчеты"));
        QCOMPARE(here.helpFolder(), dir.filePath("help"));

        // A folder that cannot be written: the user's own application folder instead.
        const QString missing = dir.filePath("not-there");
        QVERIFY(!folderIsWritable(missing));
        const ProgramFolders elsewhere = ProgramFolders::forProgram(missing);
        QCOMPARE(elsewhere.program, missing);
        QCOMPARE(elsewhere.work, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY(folderIsWritable(elsewhere.work));
    }
};

QTEST_MAIN(GuiHelpersTest)
#include "GuiHelpersTest.moc"
