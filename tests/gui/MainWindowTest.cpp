// The main window over data files: texts of every page against the command line
// (kestrel-cli show --json, the same core), the checksum question, the extension rule,
// saving, and the start-of-period operation with the button states they leave.
#include "core/demo/DemoImage.h"
#include "core/image/Checksum.h"
#include "core/image/DataFile.h"
#include "core/image/ImageLayout.h"
#include "core/image/TimeStamp.h"
#include "core/pipeline/Pipeline.h"
#include "gui/app/TDataModule1.h"
#include "gui/pages/DistributionPage.h"
#include "gui/pages/MainPage.h"
#include "gui/pages/OperPage.h"
#include "gui/pages/ToolsPage.h"
#include "gui/support/GuiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>
#include <QToolBar>
#include <QDateEdit>
#include <QJsonArray>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <cerrno>
#include <cstring>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

namespace {

const char* const kMainPageIdentification[] = {"eStartDateCheck", "eDateCheck", "eMarka", "eNumber", "eYear", "eProd",
    "eOwner", "eSrok", "eSumGruz", "eGruz1", "eGruz2", "eGroup", "eEnter", "eRegType", "eRegNum", "eRegYear",
    "eRegProd", "eRegSetupName"};
const char* const kMainPageStatistics[] = {"eKp", "eQi", "eUi", "eAi", "eNcicl", "eMoto", "eKranHar", "eStop", "eMass"};

QString text(const QJsonObject& object, const char* key) { return object.value(QLatin1String(key)).toString(); }

// The window leaves the zero day's date fields empty where the command line prints it.
QString shownDate(const QString& printed) { return printed == QStringLiteral("30.12.1899") ? QString() : printed; }

// Every text of the main page as the command line shows the same file.
void compareMainPage(const WindowHarness& h, const QJsonObject& show)
{
    const QJsonObject id = show.value("identification").toObject();
    for (const char* name : kMainPageIdentification) {
        QLineEdit* edit = h.edit(QLatin1String(name));
        QVERIFY2(edit != nullptr, name);
        const QString expected = std::string_view(name) == "eStartDateCheck" ? shownDate(text(id, name)) : text(id, name);
        QVERIFY2(edit->text() == expected, qPrintable(QString("%1: %2 != %3").arg(name, edit->text(), expected)));
    }
    auto* setup = h.window->findChild<QDateEdit*>("eRegSetup");
    QVERIFY(setup != nullptr);
    QCOMPARE(setup->text().trimmed(), shownDate(text(id, "eRegSetup")));

    const QJsonObject st = show.value("statistics").toObject();
    for (const char* name : kMainPageStatistics) {
        QLineEdit* edit = h.edit(QLatin1String(name));
        QVERIFY2(edit != nullptr, name);
        QVERIFY2(edit->isReadOnly(), name);
        QCOMPARE(edit->text(), text(st, name));
    }
    auto* common = h.window->findChild<QTreeWidget*>("lvCommon");
    QVERIFY(common != nullptr);
    const QJsonArray rows = st.value("lvCommon").toArray();
    QCOMPARE(common->topLevelItemCount(), 7);
    for (int r = 0; r < 7; ++r) {
        const QJsonObject row = rows[r].toObject();
        QCOMPARE(common->topLevelItem(r)->text(0), text(row, "caption"));
        QCOMPARE(common->topLevelItem(r)->text(1), text(row, "winch1"));
        QCOMPARE(common->topLevelItem(r)->text(2), text(row, "winch2"));
    }
}

void compareCycleList(const QTreeWidget* list, const QJsonArray& rows)
{
    QCOMPARE(list->topLevelItemCount(), rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const QJsonObject row = rows[r].toObject();
        const QTreeWidgetItem* item = list->topLevelItem(r);
        QCOMPARE(item->text(0), text(row, "date"));
        QCOMPARE(item->text(1), text(row, "winch1"));
        QCOMPARE(item->text(2), text(row, "winch2"));
        QCOMPARE(item->text(3), text(row, "mass"));
        QCOMPARE(item->text(4), text(row, "state"));
        const int icon = row.value("icon").toInt();
        const int stateIcon = row.value("stateIcon").toInt();
        QCOMPARE(item->data(0, OperPage::kIconRole).toInt(), icon);
        QCOMPARE(item->data(0, OperPage::kStateIconRole).toInt(), stateIcon);
        QVERIFY(!item->icon(0).isNull()); // a blank one keeps the row height and the captions in line
    }
}

void compareLoadRows(const std::vector<ListRow>& shown, const QJsonArray& rows)
{
    QCOMPARE(static_cast<qsizetype>(shown.size()), rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const QJsonObject row = rows[r].toObject();
        QCOMPARE(QString::fromStdString(shown[static_cast<std::size_t>(r)].caption), text(row, "caption"));
        const QJsonArray items = row.value("subItems").toArray();
        QCOMPARE(static_cast<qsizetype>(shown[static_cast<std::size_t>(r)].subItems.size()), items.size());
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(QString::fromStdString(shown[static_cast<std::size_t>(r)].subItems[static_cast<std::size_t>(i)]),
                items[i].toString());
    }
}

QStringList mainPageTexts(const WindowHarness& h)
{
    QStringList texts;
    for (const char* name : kMainPageIdentification)
        texts << h.edit(QLatin1String(name))->text();
    for (const char* name : kMainPageStatistics)
        texts << h.edit(QLatin1String(name))->text();
    return texts;
}

// An earlier reading of the demo recorder: same passport, a day earlier, smaller counters.
MemoryImage earlierReading(std::uint32_t seed)
{
    MemoryImage image = makeDemoImage(seed);
    const StampBytes stamp = stampAt(image, layout::kReadingStamp);
    image[layout::kReadingStamp + 2] = packBcd(1); // day 1 of the same month and year
    (void)stamp;
    for (std::size_t i = 0; i < 20; ++i)
        image[layout::kWinch1Spectrum + 3 * i] = 0;
    fixChecksum(image);
    return image;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsAsDelivered()
    {
        WindowHarness h;
        // No device chosen: real hardware, so no simulator panel and the plain title.
        QCOMPARE(h.window->windowTitle(), QString::fromUtf8(kApplicationTitle));
        QVERIFY(h.window->findChild<QLabel*>(QStringLiteral("StatusSimulator")) == nullptr);
        const char* pages[] = {"tsMain", "tsRegData", "tsOper", "tsTools", "tsHistory", "tsExtended", "tsFleet"};
        const char* captions[] = {"Главная", "Распределение циклов", "Оперативные данные", "Сервис", "История",
            "Дополнительно...", "Парк кранов"};
        auto* tabs = h.window->findChild<QTabWidget*>("PageControl1");
        QVERIFY(tabs != nullptr);
        QCOMPARE(tabs->count(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(tabs->widget(i)->objectName(), QString::fromLatin1(pages[i]));
            QCOMPARE(tabs->tabText(i), QString::fromUtf8(captions[i]));
        }
        QVERIFY(!tabs->isTabVisible(5)); // the extended page is hidden as delivered
        QVERIFY(WindowHarness(true).window->findChild<QTabWidget*>("PageControl1")->isTabVisible(5));

        // Tool bar order, captions and states before any load.
        QStringList order;
        auto* bar = h.window->findChild<QToolBar*>("tbMain");
        for (QAction* action : bar->actions()) // in the order the bar shows them
            if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(action));
                b != nullptr && b->objectName().startsWith("tb"))
                order << b->objectName() + "=" + b->text();
        QCOMPARE(order,
            QStringList({"tbGetCopyr=Загрузить", "tbGetFile=Открыть", "tbSave=Сохранить", "tbStartReport=Начало",
                "tbPreview=Просмотр", "tbPrint=Печать", "tbSaveHTML=HTML", "tbSavePDF=PDF",
                "tbSync=Синхронизация", "tbHelp=Справка", "tbShutDown=Выход"}));
        for (const char* name : {"tbGetCopyr", "tbGetFile", "tbSave", "tbStartReport", "tbHelp", "tbShutDown"})
            QVERIFY2(h.buttonEnabled(name), name);
        for (const char* name : {"tbPreview", "tbPrint", "tbSaveHTML"})
            QVERIFY2(!h.buttonEnabled(name), name);

        // Status bar: version and company from the build; lists empty, lvCommon captions.
        QCOMPARE(h.window->statusText(2), QStringLiteral("Версия ") + QStringLiteral(KESTREL_VERSION));
        QCOMPARE(h.window->statusText(3), QStringLiteral(KESTREL_COMPANY));
        QCOMPARE(h.window->statusText(0), QString());
        QCOMPARE(h.window->operPage().lvLast()->topLevelItemCount(), 0);
        QCOMPARE(h.window->findChild<QTreeWidget*>("lvCommon")->topLevelItem(0)->text(0),
            QString::fromUtf8("Коэф. распределения нагрузки (Кm)"));
        QVERIFY(!h.window->findChild<QWidget*>("gbInfo")->isEnabled());
        QVERIFY(!h.window->findChild<QWidget*>("gbReg")->isEnabled());

        // Actions of the data module.
        TDataModule1& dm = h.window->dataModule();
        QCOMPARE(dm.GetFromCopyr->objectName(), QStringLiteral("GetFromCopyr"));
        QCOMPARE(dm.GetFromCopyr->toolTip(), QStringLiteral("Загрузить данные из ПСИ"));
        QCOMPARE(dm.PkrSave->text(), QStringLiteral("Записать в ПСИ"));
        QCOMPARE(dm.Help->property("helpContext").toInt(), 9999);
        QCOMPARE(dm.SaveData->property("helpContext").toInt(), 5);
        QCOMPARE(dm.ImageState.size(), 3);
    }

    void openShowsWhatTheCommandLineShows()
    {
        WindowHarness h;
        const QString file = h.writeDemo(11);
        h.open(file);
        QVERIFY(h.dialogs.callsOf("message").empty());
        const QJsonObject show = cliShow(file);
        QVERIFY(!show.isEmpty());

        compareMainPage(h, show);
        if (QTest::currentTestFailed())
            return;
        compareCycleList(h.window->operPage().lvLast(), show.value("lvLast").toArray());
        compareCycleList(h.window->operPage().lvStop(), show.value("lvStop").toArray());
        if (QTest::currentTestFailed())
            return;

        // The service page shows the same settings, lVersion and sensor rows.
        SettingsView settings;
        IdentificationView id;
        h.window->toolsPage().readInto(settings, id);
        const QJsonObject cliSettings = show.value("settings").toObject();
        QCOMPARE(QString::fromStdString(id.lVersion), text(show.value("identification").toObject(), "lVersion"));
        std::vector<ListRow> calibr(settings.calibr.begin(), settings.calibr.end());
        compareLoadRows(calibr, cliSettings.value("lvCalibr").toArray());
        const SettingsView& core = h.window->session().view.settings;
        for (std::size_t i = 0; i < core.thresholds.size(); ++i)
            QCOMPARE(core.thresholds[i], cliSettings.value("thresholds").toObject().value(kThresholdNames[i]).toInt());
        for (std::size_t i = 0; i < core.switches.size(); ++i)
            QCOMPARE(core.switches[i], cliSettings.value("switches").toObject().value(kSwitchNames[i]).toBool());
        const QJsonArray vylet = cliSettings.value("sgVylet").toArray();
        for (std::size_t r = 0; r < 16; ++r)
            QCOMPARE(QString::fromStdString(core.vylet[r][1]), text(vylet[static_cast<int>(r)].toObject(), "code"));

        // Status bar: the file's name; the five buttons enabled.
        QVERIFY(h.window->statusText(0).endsWith("demo.bbd"));
        for (const char* name : kLoadButtons)
            QVERIFY2(h.buttonEnabled(name), name);
        // The memory dump of the whole image: 2 048 lines.
        QCOMPARE(h.window->session().image, readFile(file));
    }

    void distributionFollowsTheStep()
    {
        WindowHarness h;
        const QString file = h.writeDemo(12);
        h.open(file);
        DistributionPage& page = h.window->distributionPage();
        for (const int step : {20, 10, 5, 1, 20}) {
            if (step != h.window->session().view.distribution.step)
                emit page.stepChanged(step);
            QCOMPARE(h.window->session().view.distribution.step, step);
            DistributionView shown;
            page.readInto(shown);
            const QJsonObject show = cliShow(file, {QStringLiteral("--step"), QString::number(step)});
            compareLoadRows(shown.lvLoad, show.value("distribution").toObject().value("lvLoad").toArray());
            if (QTest::currentTestFailed())
                return;
        }
    }

    void checksumQuestion()
    {
        WindowHarness h;
        const QString good = h.writeDemo(13);
        MemoryImage damaged = makeDemoImage(14);
        damaged[layout::kCycleRing + 8] ^= 0x01; // a reading error in a record
        QVERIFY(!checksumOk(damaged));
        const QString bad = h.writeImage(damaged, QStringLiteral("bad.bbd"));

        h.open(good);
        const QStringList before = mainPageTexts(h);

        // No: nothing changes, neither the image nor the display, the status or the buttons.
        h.dialogs.clear();
        h.dialogs.questionAnswers.push_back(false);
        h.open(bad);
        QCOMPARE(h.dialogs.kinds(), QStringList({"open", "question"}));
        QCOMPARE(h.dialogs.calls[1].text, QString::fromUtf8(kChecksumQuestionFile));
        QCOMPARE(mainPageTexts(h), before);
        QCOMPARE(h.window->session().image, readFile(good));
        QVERIFY(h.window->statusText(0).endsWith("demo.bbd"));
        for (const char* name : kLoadButtons)
            QVERIFY2(h.buttonEnabled(name), name);

        // Yes: processed as any file.
        h.dialogs.questionAnswers.push_back(true);
        h.open(bad);
        compareMainPage(h, cliShow(bad, {QStringLiteral("--yes")}));
    }

    void extensionAndUnreadableFiles()
    {
        WindowHarness h;
        const QString good = h.writeDemo(15);
        QFile::copy(good, h.path("copy.bbd.bak"));

        h.open(h.path("copy.bbd.bak"));
        QCOMPARE(h.dialogs.kinds(), QStringList({"open", "message"}));
        QCOMPARE(h.dialogs.calls[1].text, QString::fromUtf8(kWrongExtensionMessage));
        QCOMPARE(h.window->statusText(0), QString());
        QVERIFY(!h.buttonEnabled("tbPreview"));

        // A cancelled dialog changes nothing.
        h.dialogs.clear();
        h.window->GetFromFileExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"open"}));
        QCOMPARE(h.dialogs.calls[0].caption, QStringLiteral("Выбор файла данных регистратора параметров"));
        QCOMPARE(h.dialogs.calls[0].file.filter, QStringLiteral("Файл данных (*.bbd)"));
        QVERIFY(h.dialogs.calls[0].file.directory.endsWith(QStringLiteral("Данные")));
        QVERIFY(!h.buttonEnabled("tbPreview"));

        // A file that cannot be read: its reason, and nothing else.
        h.dialogs.clear();
        h.open(h.path("missing.bbd"));
        QCOMPARE(h.dialogs.kinds(), QStringList({"open", "message"}));
        QVERIFY(h.dialogs.calls[1].text.contains("missing.bbd"));
        QCOMPARE(h.window->statusText(0), QString());
        QVERIFY(!h.buttonEnabled("tbSaveHTML"));

        // The extension test ignores case.
        QFile::copy(good, h.path("mixed.BbD"));
        h.dialogs.clear();
        h.open(h.path("mixed.BbD"));
        QCOMPARE(h.dialogs.kinds(), QStringList({"open"}));
        QVERIFY(h.buttonEnabled("tbSaveHTML"));
    }

    void savingProposesTheReadingsName()
    {
        WindowHarness h;
        const QString file = h.writeDemo(16);
        h.open(file);
        const IdentificationView& id = h.window->session().view.identification;
        QString expected = QStringLiteral("Данные от ") + QString::fromStdString(id.eDateCheck) + "  РП №"
            + QString::fromStdString(id.eRegNum);
        expected.replace('.', '_').remove(':').replace('/', '_'); // every recorder number has a "/"

        const QString target = h.path("saved.bbd");
        h.dialogs.clear();
        h.dialogs.saveAnswers.push_back(target);
        h.window->SaveDataExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"save"}));
        const auto& options = h.dialogs.calls[0].file;
        QCOMPARE(options.title, QStringLiteral("Сохранение данных регистратора параметров"));
        QCOMPARE(options.proposedName, expected);
        QVERIFY(!options.proposedName.contains('.') && !options.proposedName.contains(':'));
        QVERIFY(!options.proposedName.contains('/'));
        QCOMPARE(options.defaultSuffix, QStringLiteral("bbd"));
        QVERIFY(options.confirmOverwrite);
        QCOMPARE(fileBytes(target), fileBytes(file));
        QVERIFY(h.window->statusText(0).endsWith("saved.bbd"));

        h.dialogs.clear();
        h.window->SaveDataExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"save", "information"})); // cancelled: no failure
        QCOMPARE(h.dialogs.calls[1].text, QStringLiteral("Файл данных регистратора не сохранен!"));

        // A save that fails says why, after the same first line.
        const QString unwritable = h.path("no-such-folder/saved.bbd");
        h.dialogs.clear();
        h.dialogs.saveAnswers.push_back(unwritable);
        h.window->SaveDataExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"save", "message"}));
        QCOMPARE(h.dialogs.calls[1].text,
            QStringLiteral("Файл данных регистратора не сохранен!\n") + unwritable + ": " + QString::fromLocal8Bit(std::strerror(ENOENT)));
    }

    void startOfPeriod()
    {
        WindowHarness h;
        const QString current = h.writeDemo(17);
        const QString earlier = h.writeImage(earlierReading(17), QStringLiteral("earlier.bbd"));
        h.open(current);
        const QStringList before = mainPageTexts(h);

        // The current file itself is not older: refused, nothing changes.
        h.dialogs.clear();
        h.dialogs.openAnswers.push_back(current);
        h.window->OpenPrevExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"open", "message"}));
        QCOMPARE(h.dialogs.calls[0].caption, QStringLiteral("Выбор файла данных"));
        QCOMPARE(h.dialogs.calls[1].text, QString::fromUtf8(kWrongPreviousFileMessage));
        QCOMPARE(mainPageTexts(h), before);
        QVERIFY(h.buttonEnabled("tbStartReport"));
        QVERIFY(h.buttonEnabled("tbSave"));

        // Wrong extension.
        h.dialogs.clear();
        h.dialogs.openAnswers.push_back(h.path("earlier.txt"));
        h.window->OpenPrevExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"open", "message"}));
        QCOMPARE(h.dialogs.calls[1].text, QString::fromUtf8(kWrongExtensionMessage));

        // An earlier reading of the same recorder: the period's figures.
        h.dialogs.clear();
        h.dialogs.openAnswers.push_back(earlier);
        h.window->OpenPrevExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"open"}));
        compareMainPage(h, cliShow(current, {QStringLiteral("--previous"), earlier}));
        QVERIFY(!h.buttonEnabled("tbStartReport"));
        QVERIFY(!h.buttonEnabled("tbSave"));
        for (const char* name : {"tbPreview", "tbPrint", "tbSaveHTML"})
            QVERIFY2(h.buttonEnabled(name), name);

        // The next load enables them again.
        h.open(current);
        QVERIFY(h.buttonEnabled("tbStartReport"));
        QVERIFY(h.buttonEnabled("tbSave"));
    }

    // A reading stamp of 31 February: only the step that needs the reading date fails;
    // the totals, masses and classes before it are shown and printed, as the command line does.
    void impossibleReadingDate()
    {
        WindowHarness h;
        MemoryImage feb31 = makeDemoImage(19);
        feb31[layout::kReadingStamp + 2] = packBcd(31);
        feb31[layout::kReadingStamp + 3] = packBcd(2);
        fixChecksum(feb31);
        const QString file = h.writeImage(feb31, QStringLiteral("feb31.bbd"));
        h.dialogs.clear();
        h.open(file);
        QCOMPARE(h.dialogs.kinds(), QStringList({"open", "message"}));
        QCOMPARE(h.dialogs.calls[1].text, QString::fromUtf8(kStatisticsFailedMessage));
        QVERIFY(h.edit("eNcicl")->text() != "0");
        QVERIFY(h.edit("eMass")->text() != "0,0");
        compareMainPage(h, cliShow(file));

        h.dialogs.clear();
        h.dialogs.inputAnswers.push_back(QStringLiteral("32"));
        h.window->makeReport(2, ReportMode::Preview);
        QCOMPARE(fileBytes(h.path(QStringLiteral("$temp$.html"))), cliReport(file, 2, QStringLiteral("32")));

        // "Начало" with an earlier file of the same recorder whose date is impossible names that file.
        const QString current = h.writeDemo(19, QStringLiteral("current.bbd"));
        h.open(current);
        MemoryImage earlier = earlierReading(19);
        earlier[layout::kReadingStamp + 2] = packBcd(30);
        earlier[layout::kReadingStamp + 3] = packBcd(2);
        fixChecksum(earlier);
        const QString earlierFile = h.writeImage(earlier, QStringLiteral("earlier.bbd"));
        const QStringList before = mainPageTexts(h);
        h.dialogs.clear();
        h.dialogs.openAnswers.push_back(earlierFile);
        h.window->OpenPrevExecute();
        QCOMPARE(h.dialogs.kinds(), QStringList({"open", "message"}));
        const QString message = h.dialogs.calls[1].text;
        QVERIFY2(message.startsWith(QStringLiteral("В файле ")) && message.contains(QStringLiteral("earlier.bbd"))
                && message.contains(QStringLiteral("несуществующая дата считывания 30.02.")),
            qPrintable(message));
        QCOMPARE(mainPageTexts(h), before);
    }

    void cycleListChoosesItsRecord()
    {
        WindowHarness h;
        h.open(h.writeDemo(18));
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.window->findChild<QTabWidget*>("PageControl1")->setCurrentWidget(h.window->findChild<QWidget*>("tsOper"));
        QTreeWidget* last = h.window->operPage().lvLast();
        QTreeWidgetItem* row = last->topLevelItem(3);
        QVERIFY(!row->text(0).isEmpty());
        last->setCurrentItem(row);
        QTest::mouseClick(last->viewport(), Qt::LeftButton, {}, last->visualItemRect(row).center());
        QVERIFY(h.window->chosenRecord().has_value());
        QCOMPARE(QString::fromStdString(stampText(h.window->chosenRecord()->stamp)), row->text(0));
        QVERIFY(!h.window->chosenRecord()->limiterTrip);

        QTreeWidget* stop = h.window->operPage().lvStop();
        stop->setCurrentItem(stop->topLevelItem(0));
        QTest::keyClick(stop, Qt::Key_Return);
        QCOMPARE(QString::fromStdString(stampText(h.window->chosenRecord()->stamp)), stop->topLevelItem(0)->text(0));
    }

    void identificationFieldsTakeInputOnlyWhenAsked()
    {
        WindowHarness h;
        h.open(h.writeDemo(19));
        auto* edit = h.window->findChild<QCheckBox*>("chbEditPKR");
        QVERIFY(edit != nullptr);
        edit->setChecked(true);
        QVERIFY(h.window->findChild<QWidget*>("gbInfo")->isEnabled());
        QVERIFY(h.window->findChild<QWidget*>("gbReg")->isEnabled());

        // Key filters: digits only for the years, the locale's separator for capacities.
        QLineEdit* year = h.edit("eYear");
        year->clear();
        QTest::keyClicks(year, "19a8-9");
        QCOMPARE(year->text(), QStringLiteral("1989"));
        QLineEdit* capacity = h.edit("eSumGruz");
        capacity->clear();
        QTest::keyClicks(capacity, "12.5x");
        QCOMPARE(capacity->text(), QStringLiteral("12,5"));
        QTest::keyClicks(capacity, ",");
        QCOMPARE(capacity->text(), QStringLiteral("12,5,"));
        QCOMPARE(h.edit("eMarka")->maxLength(), 32);
        QCOMPARE(h.edit("eGroup")->maxLength(), 2);

        // What the user typed is what documents copy.
        QCOMPARE(h.window->viewFromWidgets().identification.eSumGruz, std::string("12,5,"));
        edit->setChecked(false);
        QVERIFY(!h.window->findChild<QWidget*>("gbInfo")->isEnabled());
    }

    void helpContexts()
    {
        WindowHarness h;
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.window->activateWindow();
        auto* tabs = h.window->findChild<QTabWidget*>("PageControl1");

        h.window->dataModule().Help->trigger();
        QCOMPARE(h.dialogs.calls.back().kind, QStringLiteral("help"));
        QCOMPARE(h.dialogs.calls.back().context, 9999);

        const auto f1On = [&](QWidget* widget) {
            widget->setFocus();
            QApplication::processEvents();
            QTest::keyClick(widget, Qt::Key_F1);
            return h.dialogs.calls.empty() ? -1 : h.dialogs.calls.back().context;
        };
        tabs->setCurrentWidget(h.window->findChild<QWidget*>("tsOper"));
        QCOMPARE(f1On(h.window->operPage().lvLast()), 4);
        tabs->setCurrentWidget(h.window->findChild<QWidget*>("tsMain"));
        QCOMPARE(f1On(h.edit("eStartDateCheck")), 12); // inside gbIntervalReport
        QCOMPARE(f1On(h.edit("eKp")), 2);
        tabs->setCurrentWidget(h.window->findChild<QWidget*>("tsTools"));
        if (auto* box = h.window->findChild<QCheckBox*>("chbSetRTC"))
            QCOMPARE(f1On(box), 16);
    }

    void failingStepsAreReportedAndTheRestRuns()
    {
        WindowHarness h;
        MemoryImage zero{}; // crane capacity 0: the decoding fails; the checksum is fine
        h.open(h.writeImage(zero, QStringLiteral("zero.bbd")));
        QStringList messages;
        for (const auto& call : h.dialogs.callsOf("message"))
            messages << call.text;
        QVERIFY2(messages.contains(QString::fromUtf8(kDecodingFailedMessage)), qPrintable(messages.join('|')));
        compareMainPage(h, cliShow(h.path("zero.bbd")));
        for (const char* name : kLoadButtons)
            QVERIFY2(h.buttonEnabled(name), name);
    }

    void writeBackFirstAsksWhoPerformsIt()
    {
        WindowHarness h;
        h.open(h.writeDemo(3));
        h.dialogs.clear();
        h.window->dataModule().PkrSave->trigger();
        // Not confirmed: nothing more, not even a message.
        QCOMPARE(h.identification.recorderNumbers.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(h.identification.recorderNumbers[0]), h.edit("eRegNum")->text());
        QVERIFY2(h.dialogs.calls.empty(), qPrintable(h.dialogs.kinds().join(',')));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
