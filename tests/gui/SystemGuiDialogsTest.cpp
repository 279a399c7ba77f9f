// The desktop dialogs' reports of a viewer or help topic that cannot be shown.
#include "gui/app/HelpTopics.h"
#include "gui/app/SystemGuiDialogs.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace kestrel::gui;

namespace {

// The real dialogs with the desktop's viewer replaced and the error boxes recorded.
class RecordingDialogs : public SystemGuiDialogs {
public:
    RecordingDialogs(const QString& helpFolder, bool viewerAvailable)
        : SystemGuiDialogs(helpFolder, [this, viewerAvailable](const QUrl& url) {
              opened << url.toLocalFile();
              return viewerAvailable;
          })
    {
    }
    void error(QWidget*, const QString&, const QString& text) override { errors << text; }

    QStringList opened;
    QStringList errors;
};

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class SystemGuiDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void documentWithoutViewerIsReportedByName()
    {
        QTemporaryDir folder;
        const QString report = folder.filePath(QStringLiteral("report.htm"));
        touch(report);

        RecordingDialogs shown(folder.path(), true);
        shown.openDocument(report);
        QCOMPARE(shown.opened, QStringList{report});
        QVERIFY(shown.errors.isEmpty());

        RecordingDialogs noViewer(folder.path(), false);
        noViewer.openDocument(report);
        QCOMPARE(noViewer.errors,
            QStringList{QStringLiteral("Не удалось открыть файл %1 программой просмотра HTML.")
                            .arg(QDir::toNativeSeparators(report))});
    }

    void helpWithoutViewerOrTopicIsReported()
    {
        QTemporaryDir folder;
        const QString contents = helpTopicFile(folder.path(), kHelpContents);

        // No help file at all: the viewer is not even asked.
        RecordingDialogs missing(folder.path(), true);
        missing.showHelp(nullptr, kHelpContents);
        QVERIFY(missing.opened.isEmpty());
        QCOMPARE(missing.errors,
            QStringList{QStringLiteral("Файл %1 не найден.").arg(QDir::toNativeSeparators(contents))});

        touch(contents);
        RecordingDialogs noViewer(folder.path(), false);
        noViewer.showHelp(nullptr, kHelpContents);
        QCOMPARE(noViewer.opened, QStringList{contents});
        QCOMPARE(noViewer.errors.size(), 1);
        QVERIFY(noViewer.errors.front().contains(QDir::toNativeSeparators(contents)));
        QVERIFY(noViewer.errors.front().contains(QStringLiteral("программой просмотра HTML")));
    }

    void failuresAreCriticalRefusalsWarnings()
    {
        for (const char* failure : {"Ошибка при стирании данных из ПСИ!", "Файл не сохранен!",
                 "Превышено время ожидания ответа!", "Конфликт шины I2C!"})
            QCOMPARE(messageIcon(QString::fromUtf8(failure)), QMessageBox::Critical);
        for (const char* refusal : {"Заполнены не все поля!", "Адрес области должен быть от 0x0000 до 0x7FFF!",
                 "Файл данных должен быть с расширением *.bbd"})
            QCOMPARE(messageIcon(QString::fromUtf8(refusal)), QMessageBox::Warning);
    }
};

QTEST_MAIN(SystemGuiDialogsTest)
#include "SystemGuiDialogsTest.moc"
