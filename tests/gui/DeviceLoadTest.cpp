// "Загрузить" over the simulated reader device (KESTREL_PORTIO=sim:FILE, set before the
// window loads the port library): the same texts as opening the file, the memory dump,
// the device search and the checksum question; a reader not found, a broken read, two
// differing readings or "Нет" to the question leave the earlier reading shown, buttons and all.
#include "core/demo/DemoImage.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/image/ImageLayout.h"
#include "core/text/DisplayLocale.h"
#include "gui/app/TDataModule1.h"
#include "gui/pages/ExtendedPage.h"
#include "gui/pages/OperPage.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/widgets/MemoryDumpModel.h"

#include <QAction>
#include <QFile>
#include <QProgressBar>
#include <QTest>
#include <QTreeWidget>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

// Every cell of the extended page's hex table.
std::vector<std::string> dumpCells(const WindowHarness& h)
{
    const MemoryDumpTable& table = h.window->extendedPage().model().table();
    std::vector<std::string> cells;
    for (int r = 0; r < table.rowCount(); ++r)
        for (int c = 0; c < table.columnCount(); ++c)
            cells.push_back(table.cell(r, c));
    return cells;
}

// The harness's window replaced by one built as `kestrel --verify --extended` builds it.
void verifyReads(WindowHarness& h)
{
    TfMain::Options options;
    options.dialogs = &h.dialogs;
    options.clock = &h.clock;
    options.workFolder = h.work.path();
    options.archivePath = h.work.filePath(QStringLiteral("archive.sqlite"));
    options.locale = DisplayLocale::russian();
    options.extended = true;
    options.verifyReads = true;
    h.window.reset();
    h.window = std::make_unique<TfMain>(options);
}

// The port library reads KESTREL_PORTIO when a window loads it.
void useDevice(const QString& selection) { qputenv("KESTREL_PORTIO", selection.toLocal8Bit()); }

} // namespace

class DeviceLoadTest : public QObject {
    Q_OBJECT

    QTemporaryDir files_;

    // Files are written without a window: a window would load the library too early.
    QString writeFile(const MemoryImage& image, const QString& name)
    {
        const QString file = files_.filePath(name);
        saveImage(QFile::encodeName(file).toStdString(), image);
        return file;
    }

private slots:
    void loadsWhatTheFileHolds()
    {
        // Every window shares the library a window loaded first: the device comes first.
        const MemoryImage image = makeDemoImage(31);
        const QString file = writeFile(image, QStringLiteral("device.bbd"));
        useDevice(QStringLiteral("sim:") + file);
        WindowHarness h(true);
        WindowHarness reference;
        reference.open(file);

        h.window->dataModule().GetFromCopyr->trigger();
        QVERIFY2(h.dialogs.calls.empty(), qPrintable(h.dialogs.kinds().join(',')));
        QCOMPARE(h.window->session().image, image);
        QCOMPARE(shownTexts(h), shownTexts(reference));
        QCOMPARE(h.window->statusText(0), QString::fromUtf8(kReadDone));
        for (const char* name : kLoadButtons)
            QVERIFY2(h.buttonEnabled(name), name);
        QVERIFY(h.buttonEnabled("tbGetCopyr"));
        // The hex table of the whole image on the extended page.
        const MemoryDumpTable& table = h.window->extendedPage().model().table();
        QCOMPARE(table.rowCount(), 2049);
        QCOMPARE(QString::fromStdString(table.cell(2048, 0)), QStringLiteral("7FF0"));
        // The pause after the search.
        QVERIFY(std::find(h.clock.sleeps.begin(), h.clock.sleeps.end(), 500u) != h.clock.sleeps.end());
    }

    void readerMissing()
    {
        const QString file = writeFile(makeDemoImage(32), QStringLiteral("elsewhere.bbd"));
        useDevice(QStringLiteral("sim:") + file + QStringLiteral(",port=0x2E8"));
        WindowHarness h;
        // The last candidate is an address the user types: cancelled.
        h.window->GetFromCopyrExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"input"}));
        QCOMPARE(h.window->statusText(0), QString::fromUtf8(kReaderNotFound));
        QCOMPARE(h.window->operPage().lvLast()->topLevelItemCount(), 0);
        for (const char* name : {"tbPreview", "tbPrint", "tbSaveHTML"}) // a fresh window still has nothing to print
            QVERIFY2(!h.buttonEnabled(name), name);

        // Typed in, the port is found.
        h.dialogs.clear();
        h.dialogs.inputAnswers.push_back(QStringLiteral("0x2E8"));
        h.window->GetFromCopyrExecute();
        QCOMPARE(h.window->statusText(0), QString::fromUtf8(kReadDone));
        QCOMPARE(h.window->operPage().lvLast()->topLevelItemCount(), 32);
    }

    void checksumRefused()
    {
        MemoryImage damaged = makeDemoImage(33);
        damaged[layout::kTripRing] ^= 0x40;
        QVERIFY(!checksumOk(damaged));
        const QString bad = writeFile(damaged, QStringLiteral("bad.bbd"));
        const QString good = writeFile(makeDemoImage(34), QStringLiteral("good.bbd"));

        useDevice(QStringLiteral("sim:") + bad);
        WindowHarness h;
        h.open(good);
        const QStringList before = shownTexts(h);
        h.dialogs.clear();
        h.dialogs.questionAnswers.push_back(false);
        h.window->GetFromCopyrExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"question"}));
        QCOMPARE(h.dialogs.calls[0].text, QString::fromUtf8(kChecksumQuestionDevice));
        QCOMPARE(shownTexts(h), before);
        QCOMPARE(h.window->session().image, readFile(good)); // "Нет" changes nothing
        for (const char* name : kLoadButtons)
            QVERIFY2(h.buttonEnabled(name), name);
    }

    void aBrokenReadLeavesTheEarlierReadingShown()
    {
        const MemoryImage earlier = makeDemoImage(37);
        const QString file = writeFile(earlier, QStringLiteral("earlier.bbd"));
        const QString vanishing = writeFile(makeDemoImage(38), QStringLiteral("vanishing.bbd"));
        useDevice(QStringLiteral("sim:") + vanishing + QStringLiteral(",disconnect=20000"));
        WindowHarness h(true);
        h.open(file);
        const QStringList texts = shownTexts(h);
        const std::vector<std::string> dump = dumpCells(h);
        h.dialogs.clear();

        h.window->GetFromCopyrExecute(); // found, then gone some 70 transactions into the read
        QVERIFY2(h.dialogs.kinds().contains(QStringLiteral("error")), qPrintable(h.dialogs.kinds().join(',')));
        QVERIFY(!h.dialogs.kinds().contains(QStringLiteral("question")));
        QCOMPARE(h.window->session().image, earlier); // "Сохранить" saves the earlier reading, whole
        QCOMPARE(shownTexts(h), texts);
        QVERIFY(dumpCells(h) == dump);
        QCOMPARE(h.window->statusText(0), QString::fromUtf8(kReadFailed));
        for (const char* name : kLoadButtons)
            QVERIFY2(h.buttonEnabled(name), name);
    }

    void verifyTakesOnlyTwoEqualReadings()
    {
        const MemoryImage earlier = makeDemoImage(39);
        const QString file = writeFile(earlier, QStringLiteral("before-verify.bbd"));
        const MemoryImage onDevice = makeDemoImage(40);
        // Bit 0 of byte 0x51 of the first reading only: an odd offset, past the checksum.
        const QString flipping = writeFile(onDevice, QStringLiteral("flipping.bbd"));
        useDevice(QStringLiteral("sim:") + flipping + QStringLiteral(",flip=81"));
        WindowHarness h(true);
        verifyReads(h);
        h.open(file);
        const QStringList texts = shownTexts(h);
        const std::vector<std::string> dump = dumpCells(h);
        h.dialogs.clear();

        h.window->GetFromCopyrExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"error"}));
        QCOMPARE(h.dialogs.calls[0].caption, QString::fromUtf8(kReaderCaption));
        QCOMPARE(h.dialogs.calls[0].text,
            QStringLiteral("Два чтения ПСИ не совпадают: первое различие по адресу 0x0051!"));
        QCOMPARE(h.window->session().image, earlier);
        QCOMPARE(shownTexts(h), texts);
        QVERIFY(dumpCells(h) == dump);
        QCOMPARE(h.window->statusText(0), QString::fromUtf8(kReadFailed));

        // The bit flipped once: now both readings agree and are taken.
        h.dialogs.clear();
        h.window->GetFromCopyrExecute();
        QVERIFY2(h.dialogs.calls.empty(), qPrintable(h.dialogs.kinds().join(',')));
        QCOMPARE(h.window->session().image, onDevice);
        QCOMPARE(h.window->statusText(0), QString::fromUtf8(kReadDone));
    }

    void transferDisablesWhatWouldStartAnother()
    {
        const QString file = writeFile(makeDemoImage(35), QStringLiteral("busy.bbd"));
        useDevice(QStringLiteral("sim:") + file);
        WindowHarness h(true);
        // Look at the actions from inside the transfer, where it pumps messages.
        QStringList seen;
        QObject::connect(h.window->progressBar(), &QProgressBar::valueChanged, [&](int value) {
            if (value > 0 && seen.isEmpty()) {
                TDataModule1& dm = h.window->dataModule();
                for (QAction* a : {dm.GetFromCopyr, dm.GetFromFile, dm.OpenPrev, dm.PkrSave, dm.Help})
                    seen << a->objectName() + (a->isEnabled() ? "+" : "-");
                seen << QString("tbGetCopyr") + (h.buttonEnabled("tbGetCopyr") ? "+" : "-");
            }
        });
        h.window->GetFromCopyrExecute();
        QCOMPARE(seen, QStringList({"GetFromCopyr-", "GetFromFile-", "OpenPrev-", "PkrSave-", "Help+", "tbGetCopyr-"}));
        QVERIFY(h.window->dataModule().GetFromCopyr->isEnabled());
        QVERIFY(h.buttonEnabled("tbGetCopyr"));
    }

    void closingDuringATransfer()
    {
        const QString file = writeFile(makeDemoImage(36), QStringLiteral("closing.bbd"));
        useDevice(QStringLiteral("sim:") + file);
        WindowHarness h;
        // The close arrives through the transfer's message pump; the transfer stops at
        // its next pump and the bus goes only after it has returned.
        bool closed = false;
        QObject::connect(h.window->progressBar(), &QProgressBar::valueChanged, [&](int value) {
            if (value > 0 && !closed) {
                closed = true;
                h.window->close();
            }
        });
        h.window->GetFromCopyrExecute();
        QVERIFY(closed);
        QVERIFY(h.window->terminateRequested());
        QCOMPARE(h.window->operPage().lvLast()->topLevelItemCount(), 0); // nothing processed
        QVERIFY(!h.window->dataModule().GetFromCopyr->isEnabled());
        h.window->GetFromCopyrExecute(); // after the close: nothing, and no bus to use
    }
};

QTEST_MAIN(DeviceLoadTest)
#include "DeviceLoadTest.moc"
