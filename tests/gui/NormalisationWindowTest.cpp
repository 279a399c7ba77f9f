#include "core/image/ByteAccess.h"
#include "core/image/ImageLayout.h"
#include "core/pipeline/Session.h"
#include "core/text/NumberFormat.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/app/ScriptedGuiDialogs.h"
#include "gui/pages/ToolsPage.h"
#include "gui/windows/TfNormir.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>

using namespace kestrel;
using namespace kestrel::gui;
using kestrel::gui::test::requireChild;

namespace {


QLineEdit* edit(const QWidget& window, const char* name) { return requireChild<QLineEdit>(window, name); }
QString text(const QWidget& window, const char* name) { return edit(window, name)->text(); }
QTreeWidget* sensorList(const QWidget& window) { return requireChild<QTreeWidget>(window, "lvSens"); }
QString cell(const QTreeWidget* list, int row, int column) { return list->topLevelItem(row)->text(column); }

std::vector<SensorRow> fourSensors()
{
    return {{"Датчик №1", "200", "1200"}, {"Датчик №2", "10", "900"}, {"Датчик №3", "0", "0"}, {"Датчик №4", "5", "6"}};
}

// Replaces a field's text and leaves it with Tab, as the engineer would.
void typeAndLeave(QLineEdit* field, const QString& value)
{
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    QTest::keyClicks(field, value);
    QTest::keyClick(field, Qt::Key_Tab);
}

// Acts on the normalisation window once its modal loop runs.
void whenShown(std::function<void(TfNormir&)> act)
{
    test::whenModalShown<TfNormir>("the normalisation window", std::move(act));
}

} // namespace

class NormalisationWindowTest : public QObject {
    Q_OBJECT

    ScriptedGuiDialogs dialogs;

    // Shown and active, so that leaving a field moves the focus as on a desktop.
    void show(TfNormir& window)
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

private slots:
    void init() { dialogs.calls.clear(); }

    void opensOnTheFirstSensorWithTheCapacity()
    {
        TfNormir window(fourSensors(), SensorLayout::FourSensors, 25.0F, DisplayLocale::russian(), dialogs);
        QCOMPARE(window.windowTitle(), QStringLiteral("Коррекция нормировки "));
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(sensorList(window)->topLevelItemCount(), 4);
        QCOMPARE(cell(sensorList(window), 1, 2), QStringLiteral("900"));
        QCOMPARE(text(window, "eSensor"), QStringLiteral("Датчик №1"));
        QVERIFY(edit(window, "eSensor")->isReadOnly());
        QCOMPARE(text(window, "eQo"), QStringLiteral("200"));
        QCOMPARE(text(window, "eQnom"), QStringLiteral("1200"));
        QCOMPARE(text(window, "eNom"), QStringLiteral("25,00"));
        QCOMPARE(text(window, "eReal"), QStringLiteral("25,00"));
        QCOMPARE(edit(window, "eQo")->toolTip(), QStringLiteral("Значение нормировки \"нуля\""));

        sensorList(window)->setCurrentItem(sensorList(window)->topLevelItem(3));
        QCOMPARE(text(window, "eSensor"), QStringLiteral("Датчик №4"));
        QCOMPARE(text(window, "eQo"), QStringLiteral("5"));
        QCOMPARE(text(window, "eQnom"), QStringLiteral("6"));
    }

    void leavingAFieldStoresSixteenBitCounts()
    {
        TfNormir window(fourSensors(), SensorLayout::FourSensors, 25.0F, DisplayLocale::c(), dialogs);
        show(window);
        typeAndLeave(edit(window, "eQo"), QStringLiteral("32767"));
        QCOMPARE(cell(sensorList(window), 0, 1), QStringLiteral("32767"));
        QVERIFY(dialogs.calls.empty());

        // 99999 does not fit the recorder's field: refused in words, the sensor keeps its value.
        typeAndLeave(edit(window, "eQo"), QStringLiteral("99999"));
        QCOMPARE(dialogs.callsOf(QStringLiteral("message")).size(), 1U);
        QCOMPARE(dialogs.calls.front().text,
            QStringLiteral("Датчик №1, Qо: значение 99999 вне допустимого диапазона от -32768 до 32767"));
        QCOMPARE(cell(sensorList(window), 0, 1), QStringLiteral("32767"));
        QCOMPARE(text(window, "eQo"), QStringLiteral("32767"));
        dialogs.clear();

        // Letters never reach a count field.
        typeAndLeave(edit(window, "eQnom"), QStringLiteral("1a5"));
        QCOMPARE(cell(sensorList(window), 0, 2), QStringLiteral("15"));
    }

    void aFieldThatDoesNotConvertIsRestored()
    {
        TfNormir window(fourSensors(), SensorLayout::FourSensors, 25.0F, DisplayLocale::c(), dialogs);
        show(window);
        edit(window, "eQo")->setFocus(Qt::OtherFocusReason);
        edit(window, "eQo")->setText(QStringLiteral("12-3")); // pasted
        QTest::keyClick(edit(window, "eQo"), Qt::Key_Tab);
        QCOMPARE(dialogs.callsOf(QStringLiteral("message")).size(), 1U);
        QCOMPARE(dialogs.calls.front().text, QStringLiteral("Датчик №1, Qо: «12-3» не является целым числом"));
        QCOMPARE(text(window, "eQo"), QStringLiteral("200"));
        QCOMPARE(cell(sensorList(window), 0, 1), QStringLiteral("200"));

        // Without a selected sensor leaving a field changes nothing and says nothing.
        sensorList(window)->clearSelection();
        typeAndLeave(edit(window, "eQnom"), QStringLiteral("77"));
        QCOMPARE(cell(sensorList(window), 0, 2), QStringLiteral("1200"));
        QCOMPARE(dialogs.calls.size(), 1U);
    }

    void twoSensorVoltsTakeTheSeparator()
    {
        TfNormir window({{"Датчик №1", "0,50", "2,50"}, {"Датчик №2", "0,00", "0,00"}}, SensorLayout::TwoSensors, 10.0F,
            DisplayLocale::russian(), dialogs);
        show(window);
        typeAndLeave(edit(window, "eQnom"), QStringLiteral("3.5"));
        QCOMPARE(cell(sensorList(window), 0, 2), QStringLiteral("3,50"));
        QCOMPARE(text(window, "eQnom"), QStringLiteral("3,50"));
        edit(window, "eReal")->selectAll();
        QTest::keyClicks(edit(window, "eReal"), QStringLiteral("8.x0"));
        QCOMPARE(text(window, "eReal"), QStringLiteral("8,0"));
    }

    void scalingSetsQnomOrNothing()
    {
        TfNormir window(fourSensors(), SensorLayout::FourSensors, 10.0F, DisplayLocale::russian(), dialogs);
        show(window);
        QToolButton* scale = requireChild<QToolButton>(window, "sbScale");
        QCOMPARE(scale->toolTip(), QStringLiteral("Выполнить расчет Qном"));
        edit(window, "eReal")->setText(QStringLiteral("8,00"));
        scale->click();
        QCOMPARE(text(window, "eQnom"), QStringLiteral("1450"));
        QCOMPARE(cell(sensorList(window), 0, 2), QStringLiteral("1450"));

        edit(window, "eReal")->setText(QStringLiteral("0"));
        scale->click();
        QCOMPARE(text(window, "eQnom"), QStringLiteral("1450"));
        QVERIFY(dialogs.calls.empty());
    }

    void confirmingAndCancelling()
    {
        TfNormir confirmedWindow(fourSensors(), SensorLayout::FourSensors, 10.0F, DisplayLocale::c(), dialogs);
        show(confirmedWindow);
        typeAndLeave(edit(confirmedWindow, "eQo"), QStringLiteral("100"));
        requireChild<QPushButton>(confirmedWindow, "bbUpdate")->click();
        QCOMPARE(confirmedWindow.result(), int(QDialog::Accepted));
        const auto& rows = confirmedWindow.confirmed();
        QCOMPARE(rows.size(), 4U);
        QCOMPARE(rows[0].zero, std::string("100"));
        QCOMPARE(rows[0].span, std::string("1100"));
        QCOMPARE(rows[3].span, std::string("1"));

        TfNormir cancelled(fourSensors(), SensorLayout::FourSensors, 10.0F, DisplayLocale::c(), dialogs);
        show(cancelled);
        QTest::keyClick(&cancelled, Qt::Key_Escape);
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));
        QVERIFY(cancelled.confirmed().empty());
    }

    void tickingChbNormirOnTheServicePage()
    {
        Session session;
        session.locale = DisplayLocale::russian();
        session.stats[kCrane].capacity = 25.0F;
        ToolsPage page;
        page.attachNormalisationEditor(dialogs, session);
        SettingsView settings;
        for (ListRow& row : settings.calibr)
            row.subItems = {"200", "1200", "1000", "17"};
        page.showSettings(settings, IdentificationView{});
        auto* calibr = requireChild<QTreeWidget>(page, "lvCalibr");
        auto* box = requireChild<QCheckBox>(page, "chbNormir");

        whenShown([](TfNormir& window) {
            QCOMPARE(text(window, "eNom"), QStringLiteral("25,00"));
            requireChild<QPushButton>(window, "bbCancel")->click();
        });
        box->setChecked(true);
        QVERIFY(!box->isChecked());
        QCOMPARE(calibr->topLevelItem(0)->text(4), QStringLiteral("17"));

        whenShown([](TfNormir& window) {
            edit(window, "eReal")->setText(QStringLiteral("20,00"));
            requireChild<QToolButton>(window, "sbScale")->click();
            requireChild<QPushButton>(window, "bbUpdate")->click();
        });
        box->setChecked(true);
        QVERIFY(box->isChecked());
        QCOMPARE(calibr->topLevelItem(0)->text(2), QStringLiteral("1450"));
        QCOMPARE(calibr->topLevelItem(0)->text(3), QStringLiteral("1250"));
        QCOMPARE(calibr->topLevelItem(1)->text(2), QStringLiteral("1200"));
        for (int k = 0; k < 4; ++k)
            QVERIFY(calibr->topLevelItem(k)->text(4).isEmpty());
    }

    // The main window hands over the capacity it decoded and the two-sensor layout.
    void openedFromTheMainWindow()
    {
        test::WindowHarness harness;
        MemoryImage image = test::readFile(harness.writeDemo(3));
        writeFloat(image, layout::kCraneCapacity, 32.5F);
        for (std::size_t i = 0; i < 3; ++i)
            image[layout::kProgramName + i] = static_cast<std::uint8_t>("2v1"[i]);
        writeI16(image, layout::kNormalisation + 2, 512);
        test::fixChecksum(image);
        harness.open(harness.writeImage(image, QStringLiteral("two.bbd")));

        whenShown([](TfNormir& window) {
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QCOMPARE(text(window, "eNom"), QStringLiteral("32,50"));
            QCOMPARE(text(window, "eQnom"), QStringLiteral("2,50"));
            QCOMPARE(cell(sensorList(window), 3, 1), QStringLiteral("0,00"));
            typeAndLeave(edit(window, "eQo"), QStringLiteral("1,5"));
            requireChild<QPushButton>(window, "bbUpdate")->click();
        });
        requireChild<QCheckBox>(*harness.window, "chbNormir")->setChecked(true);
        const auto* calibr = requireChild<QTreeWidget>(*harness.window, "lvCalibr");
        QCOMPARE(calibr->topLevelItem(0)->text(1), QStringLiteral("1,50"));
        QCOMPARE(calibr->topLevelItem(0)->text(3), QStringLiteral("1,00"));
    }
};

QTEST_MAIN(NormalisationWindowTest)
#include "NormalisationWindowTest.moc"
