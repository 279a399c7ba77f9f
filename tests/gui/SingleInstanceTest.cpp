// One program per user: a second start asks the running one to come forward and ends;
// a socket left by a program that was killed does not keep the next start from running.
#include "gui/app/SingleInstance.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrel::gui;

namespace {

// The name the program computes for this home folder.
QString instanceName(const QString& home)
{
    const QByteArray saved = qgetenv("HOME");
    qputenv("HOME", home.toLocal8Bit());
    const QString name = SingleInstance::defaultName();
    qputenv("HOME", saved);
    return name;
}

bool listening(const QString& name, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(200)) {
            socket.abort();
            return true;
        }
        QTest::qWait(100);
    }
    return false;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    QProcessEnvironment environment_;

    void start(QProcess& process)
    {
        process.setProcessEnvironment(environment_);
        process.start(QStringLiteral(KESTREL_GUI_PATH), {});
        QVERIFY(process.waitForStarted(10000));
    }

private slots:
    void initTestCase()
    {
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("HOME"), home_.path());
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QVERIFY(instanceName(home_.path()) != instanceName(home_.path() + QStringLiteral("/other")));
    }

    void secondStartEndsAtOnce()
    {
        const QString name = instanceName(home_.path());
        QProcess first;
        start(first);
        QVERIFY2(listening(name, 20000), "the first start listens");

        QProcess second;
        start(second);
        QVERIFY2(second.waitForFinished(15000), "the second start ends by itself");
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // Killed, the first leaves its socket behind; the next start runs all the same.
        first.kill();
        first.waitForFinished(10000);
        QProcess third;
        start(third);
        QVERIFY2(!third.waitForFinished(3000), "a stale socket does not stop a start");
        QVERIFY(listening(name, 20000));

        QProcess fourth;
        start(fourth);
        QVERIFY(fourth.waitForFinished(15000));
        QCOMPARE(fourth.exitCode(), 0);
        QCOMPARE(third.state(), QProcess::Running);

        third.kill();
        third.waitForFinished(10000);
        QLocalServer::removeServer(name);
    }

    // A double click on a data file while the program runs: the running window opens it
    // (and keeps it in the user's archive), the second start ends.
    void secondStartOnAFileHasTheRunningWindowOpenIt()
    {
        const QString name = instanceName(home_.path());
        const QString file = home_.filePath(QStringLiteral("кран 7.bbd"));
        QCOMPARE(QProcess::execute(QStringLiteral(KESTREL_CLI_PATH),
                     {QStringLiteral("demo-image"), QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("-o"), file}),
            0);
        const QString archive = home_.filePath(QStringLiteral(".local/share/kestrel/archive.sqlite"));
        const auto stored = [&archive] {
            QProcess list;
            list.start(QStringLiteral(KESTREL_CLI_PATH),
                {QStringLiteral("archive"), QStringLiteral("list"), QStringLiteral("--archive"), archive});
            return list.waitForFinished(10000) && QString::fromUtf8(list.readAllStandardOutput()).contains(QStringLiteral("кран 7.bbd"));
        };

        QProcess first;
        start(first);
        QVERIFY2(listening(name, 20000), "the first start listens");
        QVERIFY(!stored());

        QProcess second;
        second.setProcessEnvironment(environment_);
        second.start(QStringLiteral(KESTREL_GUI_PATH), {file});
        QVERIFY2(second.waitForFinished(15000), "the second start ends by itself");
        QCOMPARE(second.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(stored(), 15000);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        first.waitForFinished(10000);
        QLocalServer::removeServer(name);
    }

    void commandLineErrorsEndTheStart()
    {
        QProcess process;
        process.setProcessEnvironment(environment_);
        process.start(QStringLiteral(KESTREL_GUI_PATH), {QStringLiteral("--device"), QStringLiteral("floppy")});
        QVERIFY(process.waitForFinished(15000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().contains("--device"));
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
