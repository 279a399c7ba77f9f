// A new user's tour around the failure paths, click by click: a truncated file answered
// "Да" after a good reading, "Нет" to the checksum question on a fresh window and after a
// reading, a read-back of the reader device after a write-back, and saves that must not
// pretend. Nothing of another reading, no blank date and no false success may come of it.
#include "core/config/ConfigurationMessages.h"
#include "core/demo/DemoImage.h"
#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/image/ImageLayout.h"
#include "core/pipeline/DeviceLoad.h"
#include "core/pipeline/Pipeline.h"
#include "gui/app/TDataModule1.h"
#include "gui/pages/OperPage.h"
#include "gui/support/GuiTestSupport.h"

#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

// The readings the window's archive holds.
int archivedReadings(const WindowHarness& h)
{
    const QString archive = h.path(QStringLiteral("archive.sqlite"));
    if (!QFile::exists(archive))
        return 0;
    const QByteArray out = runCli({QStringLiteral("archive"), QStringLiteral("list"), QStringLiteral("--archive"),
        archive, QStringLiteral("--json")});
    return static_cast<int>(QJsonDocument::fromJson(out).array().size());
}

// `kestrel-cli report FILE --doc TAG --limit LIMIT --yes`: a fresh program answering "Да".
QByteArray cliReportAnsweringYes(const QString& file, int tag, const QString& limit)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("report.html"));
    runCli({QStringLiteral("report"), file, QStringLiteral("--doc"), QString::number(tag), QStringLiteral("--limit"),
        limit, QStringLiteral("--locale"), QStringLiteral("ru_RU"), QStringLiteral("--yes"), QStringLiteral("--archive"),
        dir.filePath(QStringLiteral("archive.sqlite")), QStringLiteral("-o"), out});
    return fileBytes(out);
}

// "Открыть" through the toolbar's action, the dialogs answered from the script.
void openByAction(WindowHarness& h, const QString& file, std::deque<bool> answers)
{
    h.dialogs.clear();
    h.dialogs.openAnswers.push_back(file);
    h.dialogs.questionAnswers = std::move(answers);
    h.window->dataModule().GetFromFile->trigger();
}

void useDevice(const QString& file) { qputenv("KESTREL_PORTIO", (QStringLiteral("sim:") + file).toLocal8Bit()); }

} // namespace

class TrustTourTest : public QObject {
    Q_OBJECT

    QTemporaryDir files_;
    QString device_;

private slots:
    void initTestCase()
    {
        // The device holds a reading with a bad checksum; set before any window loads the library.
        MemoryImage damaged = makeDemoImage(61);
        damaged[layout::kTripRing] ^= 0x40;
        device_ = files_.filePath(QStringLiteral("device.bbd"));
        saveImage(QFile::encodeName(device_).toStdString(), damaged);
        useDevice(device_);
    }

    void theSimulatorSaysSoForAsLongAsItRuns()
    {
        WindowHarness h;
        QCOMPARE(requireChild<QLabel>(*h.window, "StatusSimulator")->text(), QStringLiteral("Симулятор ПСИ"));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Регистратор параметров работы крана — Симулятор ПСИ"));
    }

    void aTruncatedFileAnsweredYesShowsOnlyItself()
    {
        WindowHarness h;
        openByAction(h, h.writeDemo(62, QStringLiteral("full.bbd")), {});
        QVERIFY(h.buttonEnabled("tbPreview"));

        // The head of another crane's reading, cut where the passport begins.
        const QString truncated = h.path(QStringLiteral("truncated.bbd"));
        {
            QFile out(truncated);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(fileBytes(h.writeDemo(63, QStringLiteral("other.bbd"))).left(0x700));
        }
        openByAction(h, truncated, {true});
        const auto asked = h.dialogs.callsOf(QStringLiteral("question"));
        QCOMPARE(asked.size(), std::size_t{1});
        QVERIFY2(asked[0].text.contains(QStringLiteral("короче памяти регистратора")), qPrintable(asked[0].text));
        QVERIFY(!asked[0].text.contains(QStringLiteral("ошибка чтения ПСИ")));
        QVERIFY2(h.window->statusText(0).startsWith(QString::fromUtf8(kProcessedWithErrorsStatus)),
            qPrintable(h.window->statusText(0)));
        // A zero-filled guess is no reading for the archive.
        QCOMPARE(archivedReadings(h), 1);
        QCOMPARE(requireChild<QLabel>(*h.window, "StatusArchive")->text(), QStringLiteral("Не сохранено в архив"));

        // Every text is what a freshly started program shows for that file...
        WindowHarness fresh;
        openByAction(fresh, truncated, {true});
        QCOMPARE(shownTexts(h), shownTexts(fresh));
        QCOMPARE(h.edit("eMarka")->text(), QString()); // the passport lay beyond the end of the file
        // ...and protocol No. 2 is what the command line writes for it.
        h.dialogs.clear();
        h.dialogs.inputAnswers.push_back(QStringLiteral("32"));
        h.window->makeReport(2, ReportMode::Print);
        const QByteArray document = fileBytes(h.path(QStringLiteral("$temp$.html")));
        QVERIFY(!document.isEmpty());
        QCOMPARE(document, cliReportAnsweringYes(truncated, 2, QStringLiteral("32")));
    }

    void noOnAFreshWindowLeavesNothingToPrintOrSave()
    {
        WindowHarness h;
        h.dialogs.questionAnswers = {false};
        h.window->dataModule().GetFromCopyr->trigger();
        QCOMPARE(h.dialogs.kinds(), QStringList({"question"}));
        QCOMPARE(h.window->session().image, MemoryImage{});
        for (const char* name : {"tbPreview", "tbPrint", "tbSaveHTML"})
            QVERIFY2(!h.buttonEnabled(name), name);
        QCOMPARE(h.window->operPage().lvLast()->topLevelItemCount(), 0);
        QCOMPARE(archivedReadings(h), 0);

        // "Сохранить" says why there is nothing to save instead of writing 32 768 zeros.
        h.dialogs.clear();
        h.dialogs.saveAnswers.push_back(h.path(QStringLiteral("zeros.bbd")));
        h.window->dataModule().SaveData->trigger();
        QCOMPARE(h.dialogs.kinds(), QStringList({"information"}));
        QVERIFY(h.dialogs.calls[0].text.startsWith(QStringLiteral("Нет данных для сохранения")));
        QVERIFY(!QFile::exists(h.path(QStringLiteral("zeros.bbd"))));
    }

    void noAfterAReadingKeepsItWhole()
    {
        WindowHarness h(true);
        const QString good = h.writeDemo(64, QStringLiteral("good.bbd"));
        openByAction(h, good, {});
        const MemoryImage image = h.window->session().image;
        const QStringList texts = shownTexts(h);
        QCOMPARE(archivedReadings(h), 1);

        // From the device...
        h.dialogs.clear();
        h.dialogs.questionAnswers = {false};
        h.window->dataModule().GetFromCopyr->trigger();
        QCOMPARE(h.dialogs.kinds(), QStringList({"question"}));
        QCOMPARE(h.window->session().image, image);
        QCOMPARE(shownTexts(h), texts);
        QCOMPARE(h.window->statusText(0), QString::fromUtf8(kReadingRefusedStatus)); // not "loaded"
        const QString status = h.window->statusText(0);
        // ...and from a file.
        MemoryImage damaged = makeDemoImage(65);
        damaged[0x10] ^= 1;
        openByAction(h, h.writeImage(damaged, QStringLiteral("damaged.bbd")), {false});
        QCOMPARE(h.dialogs.kinds(), QStringList({"open", "question"}));
        QCOMPARE(h.window->session().image, image);
        QCOMPARE(shownTexts(h), texts);
        QCOMPARE(h.window->statusText(0), status);
        for (const char* name : kLoadButtons)
            QVERIFY2(h.buttonEnabled(name), name);
        QCOMPARE(archivedReadings(h), 1);

        // A cancelled save is the user's choice: information, not an error.
        h.dialogs.clear();
        h.window->dataModule().SaveData->trigger();
        QCOMPARE(h.dialogs.kinds(), QStringList({"save", "information"}));
        QCOMPARE(h.dialogs.calls[1].text, QStringLiteral("Файл данных регистратора не сохранен!"));
    }

    void aReadBackAfterAWriteBackIsNoReading()
    {
        WindowHarness h;
        const QString good = h.writeDemo(66, QStringLiteral("crane.bbd"));
        openByAction(h, good, {});
        const QStringList texts = shownTexts(h);
        h.identification.answers = {OperatorCredentials{"Сидоров С.С.", "1234"}};
        h.dialogs.clear();
        h.window->PkrSaveExecute();
        QCOMPARE(h.dialogs.callsOf(QStringLiteral("message")).back().text,
            QString::fromUtf8(config_text::kWriteBackDone));
        const int stored = archivedReadings(h);

        h.dialogs.clear();
        h.window->dataModule().GetFromCopyr->trigger();
        QCOMPARE(h.dialogs.kinds(), QStringList({"message"}));
        QVERIFY(h.dialogs.calls[0].text.contains(QStringLiteral("не считывание крана")));
        QVERIFY(h.dialogs.calls[0].text.contains(QStringLiteral("только код доступа")));
        QVERIFY(h.dialogs.calls[0].text.contains(QStringLiteral("Записал: оператор не указан"))); // no block names him
        QVERIFY(!h.dialogs.calls[0].text.contains(QStringLiteral("контрольная сумма")));
        QCOMPARE(shownTexts(h), texts);
        QCOMPARE(archivedReadings(h), stored);
    }
};

QTEST_MAIN(TrustTourTest)
#include "TrustTourTest.moc"
