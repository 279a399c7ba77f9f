// "Записать в ПСИ" in the window, over the simulated reader device (KESTREL_PORTIO=sim:FILE,
// one device for the whole program, as the port library is loaded once): the enabling
// rules of the service page, a write-back whose values the device then holds and which a
// later "Загрузить" recognises as a configuration for the recorder, a cancelled
// identification, a refused field that touches nothing, and nothing else starting meanwhile.
#include "core/config/ConfigurationArea.h"
#include "core/config/ConfigurationMessages.h"
#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"
#include "core/records/IdentificationOutput.h"
#include "core/text/DisplayLocale.h"
#include "gui/app/TDataModule1.h"
#include "gui/pages/ToolsPage.h"
#include "gui/support/GuiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimeEdit>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

template <typename T> T* child(const WindowHarness& h, const char* name)
{
    T* found = h.window->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("no child %s", name);
    return found;
}

QCheckBox* box(const WindowHarness& h, const char* name) { return child<QCheckBox>(h, name); }

// Whether the field is painted as an input field (window colour) rather than button face.
bool looksEditable(const QWidget* field)
{
    return field->palette().color(QPalette::Base) == QApplication::palette(field).color(QPalette::Base)
        && field->palette().color(QPalette::Base) != QApplication::palette(field).color(QPalette::Button);
}

QStringList messages(const WindowHarness& h)
{
    QStringList texts;
    for (const auto& call : h.dialogs.callsOf(QStringLiteral("message")))
        texts << call.text;
    return texts;
}

// "Загрузить"; a write-back leaves the memory's checksum as it was, so the checksum
// question may come: it is answered Yes.
void loadFromDevice(WindowHarness& h)
{
    h.dialogs.clear();
    h.dialogs.questionAnswers = {true};
    h.window->GetFromCopyrExecute();
    h.dialogs.questionAnswers.clear();
    QVERIFY2(messages(h).isEmpty(), qPrintable(h.dialogs.kinds().join(',') + ": " + messages(h).join('|')));
    h.dialogs.clear();
}

OperatorCredentials ivanov() { return {"Иванов И.И.", "12345678"}; }

QByteArray bytesOf(const MemoryImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
}

} // namespace

class ServicePageTest : public QObject {
    Q_OBJECT

    QTemporaryDir files_;
    QString device_;

    QByteArray deviceMemory() const { return fileBytes(device_); }

private slots:
    void initTestCase()
    {
        device_ = files_.filePath(QStringLiteral("device.bbd"));
        saveImage(QFile::encodeName(device_).toStdString(), makeDemoImage(41));
        // Set before the first window loads the port library.
        qputenv("KESTREL_PORTIO", (QStringLiteral("sim:") + device_).toLocal8Bit());
    }

    void enablingRules()
    {
        WindowHarness h;
        auto* clockGroup = child<QGroupBox>(h, "gbSetRTC");
        auto* time = child<QTimeEdit>(h, "RTCTime");
        QVERIFY(!clockGroup->isEnabled());
        QVERIFY(!looksEditable(time));
        box(h, "chbSetRTC")->click();
        QVERIFY(clockGroup->isEnabled());
        QVERIFY(looksEditable(time));
        QVERIFY(looksEditable(child<QDateEdit>(h, "RTCDate")));
        box(h, "chbSetRTC")->click();
        QVERIFY(!clockGroup->isEnabled());
        QVERIFY(!looksEditable(child<QDateEdit>(h, "RTCDate")));

        // The passport and recorder groups of the main page follow chbEditPKR.
        box(h, "chbEditPKR")->click();
        QVERIFY(child<QGroupBox>(h, "gbInfo")->isEnabled());
        QVERIFY(child<QGroupBox>(h, "gbReg")->isEnabled());
        QVERIFY(looksEditable(h.edit("eOwner")));
        QVERIFY(looksEditable(child<QDateEdit>(h, "eRegSetup")));
        box(h, "chbEditPKR")->click();
        QVERIFY(!child<QGroupBox>(h, "gbInfo")->isEnabled());
        QVERIFY(!looksEditable(h.edit("eRegType")));

        // As delivered the program settings and the erasure are out of reach.
        for (const char* name : {"chbProgram", "chbErase"})
            QVERIFY2(box(h, name)->isHidden() && !box(h, name)->isEnabled(), name);
        QVERIFY(child<QTabWidget>(h, "PageCtrlPrg")->isHidden());

        WindowHarness extended(true);
        for (const char* name : {"chbProgram", "chbErase"})
            QVERIFY2(!box(extended, name)->isHidden() && box(extended, name)->isEnabled(), name);
        QVERIFY(!child<QTabWidget>(extended, "PageCtrlPrg")->isHidden());
        QVERIFY(!child<QGroupBox>(extended, "gbProgram")->isEnabled());
        box(extended, "chbProgram")->click();
        QVERIFY(child<QGroupBox>(extended, "gbProgram")->isEnabled());
    }

    void writeBackArrivesAndALaterLoadShowsIt()
    {
        WindowHarness h(true);
        loadFromDevice(h);

        box(h, "chbSetRTC")->click();
        child<QDateEdit>(h, "RTCDate")->setDate(QDate(2026, 12, 31));
        child<QTimeEdit>(h, "RTCTime")->setTime(QTime(23, 59, 41));

        box(h, "chbEditPKR")->click();
        h.edit("eOwner")->setText(QStringLiteral("ООО «Порт»"));
        h.edit("eRegYear")->setText(QStringLiteral("2010"));
        h.edit("eSumGruz")->setText(QStringLiteral("12,5"));

        box(h, "chbProgram")->click();
        child<QSpinBox>(h, "AverTime")->setValue(1090);
        child<QSpinBox>(h, "StopUnload")->setValue(-6);
        box(h, "chbStop2")->setChecked(false);
        auto* grid = child<QTableWidget>(h, "sgVylet");
        grid->item(0, 1)->setText(QStringLiteral("1200"));
        grid->item(0, 2)->setText(QStringLiteral("80"));

        box(h, "chbErase")->click();
        h.dialogs.questionAnswers = {true};
        h.identification.answers = {ivanov()};
        h.window->dataModule().PkrSave->trigger();

        QCOMPARE(messages(h), QStringList{QString::fromUtf8(config_text::kWriteBackDone)});
        QCOMPARE(h.dialogs.callsOf(QStringLiteral("question")).size(), std::size_t{1});
        QCOMPARE(h.dialogs.callsOf(QStringLiteral("question"))[0].text, QString::fromUtf8(config_text::kEraseQuestion));
        for (const char* name : {"chbSetRTC", "chbEditPKR", "chbProgram", "chbErase"})
            QVERIFY2(!box(h, name)->isChecked(), name);
        QVERIFY(!child<QGroupBox>(h, "gbSetRTC")->isEnabled());
        QVERIFY(!child<QGroupBox>(h, "gbInfo")->isEnabled());
        QCOMPARE(h.window->operatorCredentials().operatorName, ivanov().operatorName);

        // The image keeps what was composed, and the device holds exactly that.
        const MemoryImage& image = h.window->session().image;
        QCOMPARE(image[config_area::kOperationFlags], std::uint8_t{0x0F});
        QCOMPARE(image[config_area::kOperationFlagsCopy], std::uint8_t{0x0F});
        const QByteArray memory = deviceMemory();
        QByteArray expected = QByteArray(config_area::kArea.length, '\0');
        for (const config_area::Block& block : {config_area::kClock, config_area::kPassportOperator,
                 config_area::kProgram, config_area::kAccess, config_area::kIdentification})
            expected.replace(block.address - config_area::kArea.address, block.length,
                bytesOf(image).mid(block.address, block.length));
        QCOMPARE(memory.mid(config_area::kArea.address, config_area::kArea.length), expected);
        QCOMPARE(memory.mid(0x60B, 5), QByteArray::fromHex("5923311226"));
        QCOMPARE(memory.mid(0x69A, 2), QByteArray::fromHex("1b00")); // 1090 ms in units of 40 ms
        QCOMPARE(memory.mid(0x6A0, 3), QByteArray::fromHex("b00450"));
        QCOMPARE(memory.mid(config_area::kAccess.address, 8), QByteArray("12345678"));

        // The device's memory decodes to what was typed.
        MainView written;
        fillIdentification(readFile(device_), 0.0, DisplayLocale::russian(), written.identification, written.settings);
        QCOMPARE(written.identification.eChangeRTC, std::string("31.12.2026 23:59  Иванов И.И."));
        QVERIFY(written.identification.eChangePassport.ends_with(" Иванов И.И."));
        QVERIFY(written.identification.eProgramChange.ends_with(" Иванов И.И."));
        QCOMPARE(written.identification.eOwner, std::string("ООО «Порт»"));
        QCOMPARE(written.identification.eRegYear, std::string("2010"));
        QCOMPARE(written.identification.eSumGruz, std::string("12,5"));
        QCOMPARE(written.settings.thresholds[10], 1080);
        QCOMPARE(written.settings.thresholds[9], -6);
        QVERIFY(!written.settings.switches[2] && written.settings.switches[1]);
        QCOMPARE(written.settings.vylet[0][1], std::string("1200"));
        QCOMPARE(written.settings.vylet[0][2], std::string("80"));

        // "Загрузить" now finds the configuration for the recorder, no reading of the crane:
        // said in words, nothing loaded, the reading shown stays.
        const MemoryImage shown = h.window->session().image;
        h.dialogs.clear();
        h.window->GetFromCopyrExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"message"}));
        const QString said = h.dialogs.calls[0].text;
        QVERIFY2(said.startsWith(QStringLiteral("ПСИ содержит не считывание крана, а настройки")), qPrintable(said));
        QVERIFY(said.contains(QStringLiteral("установка часов регистратора на 31.12.2026 23:59")));
        QVERIFY(said.contains(QStringLiteral("очистка данных регистратора")));
        QVERIFY(said.contains(QStringLiteral("Записал: Иванов И.И.\n"))); // one full stop
        QCOMPARE(h.window->session().image, shown);
        QCOMPARE(h.edit("eOwner")->text(), QStringLiteral("ООО «Порт»"));
    }

    void cancelledIdentificationWritesNothing()
    {
        WindowHarness h;
        h.open(h.writeDemo(41));
        h.dialogs.clear();
        const QByteArray before = deviceMemory();
        const MemoryImage image = h.window->session().image;

        // Enter on the service page presses "Записать в ПСИ".
        h.window->show();
        // Turning to the page sets the clock pickers to now.
        child<QDateEdit>(h, "RTCDate")->setDate(QDate(2001, 2, 3));
        auto* pages = child<QTabWidget>(h, "PageControl1");
        pages->setCurrentWidget(child<QWidget>(h, "tsTools"));
        QVERIFY(child<QDateEdit>(h, "RTCDate")->date() != QDate(2001, 2, 3));
        box(h, "chbSetRTC")->click();
        QTest::keyClick(box(h, "chbSetRTC"), Qt::Key_Return);

        QCOMPARE(h.identification.recorderNumbers.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(h.identification.recorderNumbers[0]), h.edit("eRegNum")->text());
        QVERIFY2(h.dialogs.calls.empty(), qPrintable(h.dialogs.kinds().join(',')));
        QCOMPARE(deviceMemory(), before);
        QCOMPARE(h.window->session().image, image);
        QVERIFY(box(h, "chbSetRTC")->isChecked());
        h.window->close();
    }

    void aRefusedFieldTouchesNothing()
    {
        WindowHarness h;
        h.open(h.writeDemo(41));
        const QByteArray before = deviceMemory();
        box(h, "chbSetRTC")->click();
        box(h, "chbEditPKR")->click();
        h.edit("eRegYear")->setText(QStringLiteral("1999"));
        h.identification.answers = {ivanov(), ivanov()};
        h.dialogs.clear();
        h.window->PkrSaveExecute();

        // Refused before the operator is asked, the device searched or anything written.
        QCOMPARE(messages(h), QStringList{QString::fromUtf8(config_text::kRecorderYearWrong)});
        QVERIFY(h.identification.recorderNumbers.empty());
        QCOMPARE(deviceMemory(), before);
        QVERIFY(!h.window->statusText(0).contains(QStringLiteral("записаны на ПСИ")));
        QVERIFY(box(h, "chbSetRTC")->isChecked());
        QVERIFY(box(h, "chbEditPKR")->isChecked());
        QVERIFY(child<QGroupBox>(h, "gbInfo")->isEnabled());

        // Mended, the same boxes write.
        h.dialogs.clear();
        h.edit("eRegYear")->setText(QStringLiteral("2050"));
        h.window->PkrSaveExecute();
        QCOMPARE(messages(h), QStringList{QString::fromUtf8(config_text::kWriteBackDone)});
        QVERIFY(!box(h, "chbEditPKR")->isChecked() && !box(h, "chbSetRTC")->isChecked());
        QCOMPARE(deviceMemory().at(config_area::kOperationFlags),
            char(config_area::kFlagClock | config_area::kFlagIdentification));
    }

    void nothingElseStartsWhileAWriteBackRuns()
    {
        WindowHarness h;
        TDataModule1& dm = h.window->dataModule();
        QStringList seen;
        const auto look = [&] {
            QStringList state;
            for (QAction* action : {dm.PkrSave, dm.GetFromCopyr, dm.GetFromFile, dm.SaveData, dm.OpenPrev})
                state << action->objectName() + (action->isEnabled() ? "+" : "-");
            state << QString("tsTools") + (h.window->toolsPage().isEnabled() ? "+" : "-");
            return state;
        };
        h.identification.answers = {ivanov()};
        h.identification.whileAsked = [&] {
            seen = look();
            h.window->PkrSaveExecute(); // a second one does not start
        };
        // And while the device transfers pump messages.
        QStringList seenInTransfer;
        QObject::connect(h.window->progressBar(), &QProgressBar::valueChanged, [&](int value) {
            if (value > 0 && seenInTransfer.isEmpty())
                seenInTransfer = look();
        });
        h.window->PkrSaveExecute();

        const QStringList off{"PkrSave-", "GetFromCopyr-", "GetFromFile-", "SaveData-", "OpenPrev-", "tsTools-"};
        QCOMPARE(seen, off);
        QCOMPARE(seenInTransfer, off);
        QCOMPARE(h.identification.recorderNumbers.size(), std::size_t{1});
        QCOMPARE(messages(h), QStringList{QString::fromUtf8(config_text::kWriteBackDone)});
        QCOMPARE(look(), QStringList({"PkrSave+", "GetFromCopyr+", "GetFromFile+", "SaveData+", "OpenPrev+", "tsTools+"}));
    }
};

QTEST_MAIN(ServicePageTest)
#include "ServicePageTest.moc"
