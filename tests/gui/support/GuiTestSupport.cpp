#include "gui/support/GuiTestSupport.h"

#include "core/demo/DemoImage.h"
#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/text/DisplayLocale.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace kestrel::gui::test {

WindowHarness::WindowHarness(bool extended)
{
    TfMain::Options options;
    options.dialogs = &dialogs;
    options.clock = &clock;
    options.workFolder = work.path();
    options.locale = DisplayLocale::russian();
    options.extended = extended;
    options.identification = &identification;
    // Each window keeps its own archive: no test sees another's readings.
    options.archivePath = work.filePath(QStringLiteral("archive.sqlite"));
    options.runCycleDetail = [this](TfOper& detail) {
        ++cycleDetailOpenings;
        if (onCycleDetail)
            onCycleDetail(detail);
    };
    window = std::make_unique<TfMain>(options);
}

WindowHarness::~WindowHarness() = default;

QString WindowHarness::writeDemo(std::uint32_t seed, const QString& name) const
{
    return writeImage(makeDemoImage(seed), name);
}

QString WindowHarness::writeImage(const MemoryImage& image, const QString& name) const
{
    const QString fileName = path(name);
    saveImage(QFile::encodeName(fileName).toStdString(), image);
    return fileName;
}

void WindowHarness::open(const QString& fileName)
{
    dialogs.openAnswers.push_back(fileName);
    window->GetFromFileExecute();
}

QLineEdit* WindowHarness::edit(const QString& name) const { return window->findChild<QLineEdit*>(name); }

bool WindowHarness::buttonEnabled(const char* name) const
{
    const QToolButton* button = window->toolButton(QString::fromLatin1(name));
    return button != nullptr && button->isEnabled();
}

QStringList shownTexts(const WindowHarness& h)
{
    QStringList texts;
    for (QLineEdit* edit : h.window->findChildren<QLineEdit*>())
        if (!edit->objectName().isEmpty() && !edit->objectName().startsWith(QStringLiteral("qt_")))
            texts << edit->objectName() + "=" + edit->text();
    for (QTreeWidget* list : h.window->findChildren<QTreeWidget*>())
        for (int r = 0; r < list->topLevelItemCount(); ++r)
            for (int c = 0; c < list->columnCount(); ++c)
                texts << list->objectName() + ":" + list->topLevelItem(r)->text(c);
    texts.sort();
    return texts;
}

MemoryImage readFile(const QString& fileName) { return readImageFile(QFile::encodeName(fileName).toStdString()); }

QByteArray fileBytes(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void fixChecksum(MemoryImage& image) { makeChecksumConsistent(image, kDemoChecksumFixOffset); }

QByteArray runCli(const QStringList& arguments, int* exitCode)
{
    QProcess process;
    process.start(QStringLiteral(KESTREL_CLI_PATH), arguments);
    process.waitForFinished(60000);
    if (exitCode != nullptr)
        *exitCode = process.exitCode();
    return process.readAllStandardOutput();
}

QJsonObject cliShow(const QString& file, const QStringList& extra)
{
    int code = -1;
    const QByteArray out = runCli(
        QStringList{QStringLiteral("show"), file, QStringLiteral("--json"), QStringLiteral("--locale"),
            QStringLiteral("ru_RU")}
            + extra,
        &code);
    return QJsonDocument::fromJson(out).object();
}

QByteArray cliReport(const QString& file, int tag, const QString& limit)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("report.html"));
    runCli({QStringLiteral("report"), file, QStringLiteral("--doc"), QString::number(tag), QStringLiteral("--limit"),
        limit, QStringLiteral("--locale"), QStringLiteral("ru_RU"), QStringLiteral("--archive"),
        dir.filePath(QStringLiteral("archive.sqlite")), QStringLiteral("-o"), out});
    return fileBytes(out);
}

} // namespace kestrel::gui::test
