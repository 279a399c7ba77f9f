// "Загрузить" and "Записать в ПСИ" through a USB-to-I2C adapter (the simulated one,
// KESTREL_PORTIO=i2c-sim:FILE): the window says where it found the reader device, loads
// what the device holds, says that it is a simulator, and never loads the port library.
#include "core/config/ConfigurationMessages.h"
#include "core/demo/DemoImage.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/image/DataFile.h"
#include "gui/app/TDataModule1.h"
#include "gui/support/GuiTestSupport.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTest>

#include <algorithm>

using namespace kestrel;
using namespace kestrel::gui;
using namespace kestrel::gui::test;

class UsbAdapterLoadTest : public QObject {
    Q_OBJECT

    QTemporaryDir files_;
    QString device_;

private slots:
    void initTestCase()
    {
        device_ = files_.filePath(QStringLiteral("adapter.bbd"));
        saveImage(QFile::encodeName(device_).toStdString(), makeDemoImage(71));
        qputenv("KESTREL_PORTIO", (QStringLiteral("i2c-sim:") + device_ + QStringLiteral(",profile=ft260")).toLocal8Bit());
    }

    void loadsThroughTheAdapter()
    {
        WindowHarness h;
        QCOMPARE(requireChild<QLabel>(*h.window, "StatusSimulator")->text(), QStringLiteral("Симулятор ПСИ"));
        h.window->dataModule().GetFromCopyr->trigger();
        QVERIFY2(h.dialogs.calls.empty(), qPrintable(h.dialogs.kinds().join(',')));
        QCOMPARE(h.window->statusText(0), QString::fromUtf8(kReadDone));
        QCOMPARE(h.window->session().image, makeDemoImage(71));
        // No 500 ms or 1 s pauses of the port: the adapter goes at its own speed.
        QVERIFY(std::none_of(h.clock.sleeps.begin(), h.clock.sleeps.end(), [](auto ms) { return ms == 1000; }));
    }

    void writesBackThroughTheAdapter()
    {
        WindowHarness h;
        h.open(h.writeDemo(71));
        h.dialogs.clear();
        h.identification.answers = {OperatorCredentials{"Иванов И.И.", "1234"}};
        h.window->PkrSaveExecute();
        QCOMPARE(h.dialogs.callsOf(QStringLiteral("message")).size(), std::size_t{1});
        QCOMPARE(h.dialogs.callsOf(QStringLiteral("message"))[0].text, QString::fromUtf8(config_text::kWriteBackDone));
    }
};

QTEST_MAIN(UsbAdapterLoadTest)
#include "UsbAdapterLoadTest.moc"
