#include "gui/pages/ToolsPage.h"

#include "core/demo/DemoImage.h"
#include "core/image/ByteAccess.h"
#include "core/image/ImageLayout.h"
#include "gui/support/PageTestSessions.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <qcustomplot.h>

using namespace kestrel;
using namespace kestrel::gui;

namespace {

template <typename T> T* child(const QWidget& page, const QString& name)
{
    T* found = page.findChild<T*>(name);
    if (found == nullptr)
        qFatal("no child %s", qPrintable(name));
    return found;
}
template <typename T> T* child(const QWidget& page, const char* name) { return child<T>(page, QString::fromUtf8(name)); }

std::string cell(const QWidget& page, int row, int column)
{
    return child<QTableWidget>(page, "sgVylet")->item(row, column)->text().toStdString();
}

// Enabled by its own box, whatever the disabled program group around it says.
bool ownEnabled(const QWidget* widget) { return !widget->testAttribute(Qt::WA_ForceDisabled); }

void verifyCalibr(const ToolsPage& page, const SettingsView& settings)
{
    const auto* list = child<QTreeWidget>(page, "lvCalibr");
    QCOMPARE(list->topLevelItemCount(), 4);
    for (int k = 0; k < 4; ++k) {
        const ListRow& row = settings.calibr[static_cast<std::size_t>(k)];
        QCOMPARE(list->topLevelItem(k)->text(0).toStdString(), row.caption);
        for (std::size_t i = 0; i < row.subItems.size(); ++i)
            QCOMPARE(list->topLevelItem(k)->text(static_cast<int>(i) + 1).toStdString(), row.subItems[i]);
    }
}

} // namespace

class ToolsPageTest : public QObject {
    Q_OBJECT

private slots:
    void startsAsDesigned()
    {
        ToolsPage page;
        QVERIFY(!child<QGroupBox>(page, "gbSetRTC")->isEnabled());
        QVERIFY(!child<QGroupBox>(page, "gbProgram")->isEnabled());
        QVERIFY(!child<QGroupBox>(page, "gbLastOperations")->isEnabled());
        for (const char* hidden : {"chbProgram", "chbErase"}) {
            QVERIFY(child<QCheckBox>(page, hidden)->isHidden());
            QVERIFY(!child<QCheckBox>(page, hidden)->isEnabled());
        }
        QVERIFY(child<QTabWidget>(page, "PageCtrlPrg")->isHidden());
        for (const char* hidden : {"chbStopSens", "StopSens", "SensEnable", "lSensEnable"})
            QVERIFY(child<QWidget>(page, hidden)->isHidden());

        const std::pair<const char*, int> contexts[] = {
            {"chbSetRTC", 16}, {"chbEditPKR", 17}, {"chbNormir", 18}, {"chbErase", 19}, {"chbProgram", 20}};
        for (const auto& [name, context] : contexts)
            QCOMPARE(child<QWidget>(page, name)->property("helpContext").toInt(), context);

        // Spin boxes start at the design values the view also starts with.
        const SettingsView design;
        for (std::size_t i = 0; i < kThresholdNames.size(); ++i)
            QCOMPARE(child<QSpinBox>(page, kThresholdNames[i])->value(), design.thresholds[i]);
        QCOMPARE(child<QSpinBox>(page, "AverTime")->singleStep(), 100);
        QCOMPARE(child<QSpinBox>(page, "StopUnload")->minimum(), -100);

        const auto* calibr = child<QTreeWidget>(page, "lvCalibr");
        QCOMPARE(calibr->topLevelItem(3)->text(0), QStringLiteral("Датчик №4"));
        QCOMPARE(calibr->topLevelItem(3)->text(3), QStringLiteral("0"));
        QCOMPARE(calibr->headerItem()->text(3), QStringLiteral("Qном - Qо"));
        QCOMPARE(page.changeIdentButton()->text(), QStringLiteral("Записать в ПСИ"));
        QCOMPARE(page.changeIdentButton()->objectName(), QStringLiteral("bbChangeIdent"));
    }

    void showsTheSettingsOfADemoImage()
    {
        MemoryImage image = makeDemoImage(7);
        image[layout::kSwitches] = 0x05; // chbTest and chbStop2 only
        writeI16(image, layout::kThresholds + 2 * 0, 200); // LowSpeed1 above 100
        writeI16(image, layout::kThresholds + 2 * 10, 300); // AverTime 12 000 ms, above 10 000
        writeI16(image, layout::kThresholds + 2 * 9, -7);
        const Session session = test::processedSession(image);
        const SettingsView& settings = session.view.settings;

        ToolsPage page;
        page.showSettings(settings, session.view.identification);

        const bool ticks[] = {true, false, true, false, false};
        for (std::size_t i = 0; i < kSwitchNames.size(); ++i)
            QCOMPARE(child<QCheckBox>(page, kSwitchNames[i])->isChecked(), ticks[i]);
        QVERIFY(!ownEnabled(child<QSpinBox>(page, "Stop1")));
        QVERIFY(ownEnabled(child<QSpinBox>(page, "Stop2")));
        QVERIFY(!ownEnabled(child<QSpinBox>(page, "StopUnload")));
        QVERIFY(!ownEnabled(child<QSpinBox>(page, "StopSens")));

        for (std::size_t i = 0; i < kThresholdNames.size(); ++i)
            QCOMPARE(child<QSpinBox>(page, kThresholdNames[i])->value(), settings.thresholds[i]);
        QCOMPARE(child<QSpinBox>(page, "LowSpeed1")->value(), 100);
        QCOMPARE(child<QSpinBox>(page, "AverTime")->value(), 10000);
        QCOMPARE(child<QSpinBox>(page, "StopUnload")->value(), -7);

        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 3; ++column)
                QCOMPARE(cell(page, row, column), settings.vylet[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
        QCOMPARE(cell(page, 15, 0), std::string("15"));

        verifyCalibr(page, settings);
        QVERIFY(!settings.calibr[0].subItems[3].empty()); // four-sensor layout has Qтек
        QCOMPARE(child<QLabel>(page, "lVersion")->text().toStdString(), session.view.identification.lVersion);
        QVERIFY(!session.view.identification.lVersion.empty());
        QCOMPARE(child<QLineEdit>(page, "eChangeRTC")->text().toStdString(), session.view.identification.eChangeRTC);
        QCOMPARE(child<QLineEdit>(page, "eChangePassport")->text().toStdString(),
            session.view.identification.eChangePassport);
        QCOMPARE(child<QLineEdit>(page, "eProgramChange")->text().toStdString(),
            session.view.identification.eProgramChange);

        SettingsView back;
        IdentificationView backId;
        page.readInto(back, backId);
        QCOMPARE(back.calibr.size(), settings.calibr.size());
        for (std::size_t k = 0; k < settings.calibr.size(); ++k) {
            QCOMPARE(back.calibr[k].caption, settings.calibr[k].caption);
            QCOMPARE(back.calibr[k].subItems, settings.calibr[k].subItems);
        }
        QCOMPARE(backId.lVersion, session.view.identification.lVersion);
        QCOMPARE(back.thresholds, settings.thresholds);
        QCOMPARE(back.vylet, settings.vylet);
    }

    void spinBoxesKeepValuesInsideTheirRanges()
    {
        SettingsView settings;
        settings.thresholds = {101, -1, 126, 500, 0, 125, 75, 51, -3, 5, 40, 99, 256};
        ToolsPage page;
        page.showSettings(settings, IdentificationView{});
        const std::array<int, 13> expected = {100, 0, 125, 125, 0, 125, 75, 50, 0, 0, 1000, 100, 255};
        for (std::size_t i = 0; i < kThresholdNames.size(); ++i)
            QCOMPARE(child<QSpinBox>(page, kThresholdNames[i])->value(), expected[i]);
    }

    void showsTheTwoSensorLayout()
    {
        MemoryImage image = makeDemoImage(7);
        image[layout::kProgramName] = '2';
        const Session session = test::processedSession(image);
        const SettingsView& settings = session.view.settings;
        QCOMPARE(settings.calibr[0].subItems[3], std::string());
        QVERIFY(settings.calibr[0].subItems[0].find(',') != std::string::npos); // "0.00" with the Russian separator
        QCOMPARE(settings.calibr[3].subItems[0], std::string("0,00"));

        ToolsPage page;
        page.showSettings(test::demoSession(7).view.settings, IdentificationView{});
        page.showSettings(settings, session.view.identification);
        verifyCalibr(page, settings);
        QCOMPARE(child<QTreeWidget>(page, "lvCalibr")->topLevelItem(0)->text(4), QString()); // Qтек cleared
        QCOMPARE(child<QLabel>(page, "lVersion")->text().toStdString(), session.view.identification.lVersion);
    }

    void loadChartFollowsTheGrid()
    {
        SettingsView settings;
        for (std::size_t zone = 0; zone < 16; ++zone)
            settings.vylet[zone] = {std::to_string(zone), "0", "0"};
        settings.vylet[0] = {"0", "900", "100"};
        settings.vylet[1] = {"1", "300", "60"};
        settings.vylet[5] = {"5", "0x258", "80"}; // the platform conversion reads hexadecimal too
        ToolsPage page;
        page.showSettings(settings, IdentificationView{});

        QCPGraph* graph = child<QCustomPlot>(page, "chrGruz")->graph(0);
        QCOMPARE(graph->dataCount(), 3); // zones with code 0 have no point
        QCOMPARE(graph->data()->at(0)->key, 300.0); // in ascending code order
        QCOMPARE(graph->data()->at(1)->key, 600.0);
        QCOMPARE(graph->data()->at(2)->value, 100.0);

        // An edited cell redraws; a cell that is no integer ends the chart at its row.
        child<QTableWidget>(page, "sgVylet")->item(3, 1)->setText(QStringLiteral("1200"));
        child<QTableWidget>(page, "sgVylet")->item(3, 2)->setText(QStringLiteral("40"));
        QCOMPARE(graph->dataCount(), 4);
        child<QTableWidget>(page, "sgVylet")->item(2, 2)->setText(QStringLiteral("abc"));
        QCOMPARE(graph->dataCount(), 2);
        QVERIFY(!(child<QTableWidget>(page, "sgVylet")->item(0, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(child<QTableWidget>(page, "sgVylet")->item(0, 1)->flags() & Qt::ItemIsEditable);
    }

    void operationBoxesEnableWhatTheyConcern()
    {
        ToolsPage page;
        auto* setRtc = child<QCheckBox>(page, "chbSetRTC");
        setRtc->click();
        QVERIFY(child<QGroupBox>(page, "gbSetRTC")->isEnabled());
        setRtc->click();
        QVERIFY(!child<QGroupBox>(page, "gbSetRTC")->isEnabled());

        child<QCheckBox>(page, "chbProgram")->setChecked(true);
        QVERIFY(child<QGroupBox>(page, "gbProgram")->isEnabled());

        const std::pair<const char*, const char*> pairs[]
            = {{"chbStop1", "Stop1"}, {"chbStop2", "Stop2"}, {"chbUnload", "StopUnload"}, {"chbStopSens", "SensEnable"}};
        for (const auto& [box, spin] : pairs) {
            QVERIFY(child<QSpinBox>(page, spin)->isEnabled());
            child<QCheckBox>(page, box)->setChecked(false);
            QVERIFY(!child<QSpinBox>(page, spin)->isEnabled());
            child<QCheckBox>(page, box)->setChecked(true);
            QVERIFY(child<QSpinBox>(page, spin)->isEnabled());
        }

        QSignalSpy spy(&page, &ToolsPage::editIdentificationToggled);
        child<QCheckBox>(page, "chbEditPKR")->click();
        child<QCheckBox>(page, "chbEditPKR")->click();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QCOMPARE(spy.at(1).at(0).toBool(), false);
    }

    void clockPickersShowNowWheneverThePageIsShown()
    {
        ToolsPage page;
        auto* date = child<QDateEdit>(page, "RTCDate");
        auto* time = child<QTimeEdit>(page, "RTCTime");
        date->setDate(QDate(2001, 2, 3));
        const QDate before = QDate::currentDate();
        page.show();
        QVERIFY(date->date() == before || date->date() == QDate::currentDate());
        QVERIFY(std::abs(time->time().secsTo(QTime::currentTime())) < 5
            || std::abs(time->time().secsTo(QTime::currentTime())) > 86000);

        page.hide();
        date->setDate(QDate(2001, 2, 3));
        page.show();
        QVERIFY(date->date() != QDate(2001, 2, 3));
        QCOMPARE(date->displayFormat(), QLocale::system().dateFormat(QLocale::LongFormat));
    }

    void clockPickersTickUntilTheEngineerSetsThem()
    {
        ToolsPage page;
        QDateTime now(QDate(2024, 3, 5), QTime(23, 59, 58, 400));
        page.setClock([&now] { return now; });
        auto* date = child<QDateEdit>(page, "RTCDate");
        auto* time = child<QTimeEdit>(page, "RTCTime");
        auto* timer = child<QTimer>(page, "clockTimer");
        const auto tick = [&](int seconds) {
            now = now.addSecs(seconds);
            QVERIFY(timer->isActive());
            QMetaObject::invokeMethod(timer, "timeout");
        };
        page.show();
        QCOMPARE(time->time(), QTime(23, 59, 58));
        // The next tick comes just after the next whole second.
        QCOMPARE(timer->interval(), 600);

        // Midnight passes while the page is shown: both pickers move on.
        tick(3);
        QCOMPARE(time->time(), QTime(0, 0, 1));
        QCOMPARE(date->date(), QDate(2024, 3, 6));

        // Hidden, the page does not tick.
        page.hide();
        QVERIFY(!timer->isActive());

        // Set by the engineer, the value stays what they set, and is what is written.
        page.show();
        child<QCheckBox>(page, "chbSetRTC")->click();
        time->setTime(QTime(8, 15, 0));
        date->setDate(QDate(2024, 4, 1));
        tick(2);
        tick(60);
        QCOMPARE(time->time(), QTime(8, 15, 0));
        QCOMPARE(date->date(), QDate(2024, 4, 1));
        ServicePage service;
        page.readServicePage(service);
        QCOMPARE(service.clock.hour, 8);
        QCOMPARE(service.clock.minute, 15);
        QCOMPARE(service.clock.month, 4);

        // The next showing of the page starts from the current time again.
        page.hide();
        page.show();
        QCOMPARE(time->time().toString(), now.time().toString());
        QCOMPARE(date->date(), now.date());
    }

    void withoutTheExtendedOperationsTheProgramGroupLeavesNoEmptyFrame()
    {
        ToolsPage page;
        page.resize(1366, 640);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto* program = child<QGroupBox>(page, "gbProgram");
        auto* version = child<QLabel>(page, "lVersion");
        QVERIFY(version->isVisible());
        // One line of version and the frame around it.
        QVERIFY2(program->height() <= program->minimumSizeHint().height() + 4,
            qPrintable(QString::number(program->height())));
        QVERIFY(child<QGroupBox>(page, "gbLastOperations")->geometry().top() < page.height() / 2);

        page.setExtendedOperations(true);
        QTest::qWait(0);
        QCoreApplication::processEvents();
        QVERIFY(child<QTabWidget>(page, "PageCtrlPrg")->isVisible());
        QVERIFY(program->height() > page.height() / 2);
    }
};

QTEST_MAIN(ToolsPageTest)
#include "ToolsPageTest.moc"
