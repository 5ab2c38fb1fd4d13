// test-components: common
// Runs the real program: start-up on a fresh data directory, then the
// service manager's stop.
#include "globalvariable.h"
#include "runtimeoptions.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QProcess>
#include <QtTest>

#include <csignal>

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void options_data();
    void options();
    void coldBootAndSigterm_data();
    void coldBootAndSigterm();
};

void tst_Startup::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("env");
    QTest::addColumn<QString>("dataDir");
    QTest::addColumn<QString>("ccuPort");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("defaults") << QStringList{"hmi"} << QString() << "/home/root/Tarnel-LCD/" << "ttymxc2"
                              << QStringList{"hmi"};
    QTest::newRow("slash added, qt options kept")
        << QStringList{"hmi", "--data-dir", "/tmp/x", "-platform", "offscreen"} << QString() << "/tmp/x/" << "ttymxc2"
        << QStringList{"hmi", "-platform", "offscreen"};
    QTest::newRow("environment") << QStringList{"hmi"} << "/dev/pts/9" << "/home/root/Tarnel-LCD/" << "/dev/pts/9"
                                 << QStringList{"hmi"};
    QTest::newRow("command line wins") << QStringList{"hmi", "--ccu-port=/dev/pts/3"} << "/dev/pts/9"
                                       << "/home/root/Tarnel-LCD/" << "/dev/pts/3" << QStringList{"hmi"};
}

void tst_Startup::options()
{
    QFETCH(QStringList, args);
    QFETCH(QString, env);
    const QString oldPath = FilePath;
    FilePath = "/home/root/Tarnel-LCD/";
    CcuPortName = "ttymxc2";
    if (env.isEmpty())
        qunsetenv("HMI_CCU_PORT");
    else
        qputenv("HMI_CCU_PORT", env.toUtf8());
    const RuntimeOptionsResult r = applyRuntimeOptions(args);
    qunsetenv("HMI_CCU_PORT");
    const QString gotPath = FilePath;
    FilePath = oldPath;
    QTEST(gotPath, "dataDir");
    QTEST(CcuPortName, "ccuPort");
    QTEST(r.remaining, "left");
    QVERIFY(r.error.isEmpty());
}

void tst_Startup::coldBootAndSigterm_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void tst_Startup::coldBootAndSigterm()
{
    QFETCH(int, signalNumber);
    TestDataDir dir;
    dir.write("StatusNotification.json", "stale");
    QProcess hmi;
    hmi.setProcessChannelMode(QProcess::MergedChannels);
    hmi.start(QStringLiteral(HMI_BIN_DIR "/charger-hmi"),
              {"-platform", "offscreen", "--data-dir", dir.path(), "--gpio-prefix", dir.file("gpio")});
    QVERIFY(hmi.waitForStarted(5000));

    // Cold boot writes the status snapshot before the event loop runs.
    QElapsedTimer t;
    t.start();
    QByteArray status;
    while (t.elapsed() < 20000 && !status.startsWith('{')) {
        QTest::qWait(50);
        status = dir.read("StatusNotification.json");
    }
    const QJsonObject o = QJsonDocument::fromJson(status).object();
    QCOMPARE(o.value("status").toString(), QString("Unavailable"));
    QCOMPARE(o.value("errorCode").toString(), QString("NoError"));
    QCOMPARE(o.value("connectorId").toInt(), 1);

    // Let the event loop come up, then stop it the way a service manager does.
    QTest::qWait(500);
    ::kill(pid_t(hmi.processId()), signalNumber);
    t.restart();
    // A hang bound, not a timing limit: the figure is reported.
    QVERIFY2(hmi.waitForFinished(10000), "the program did not end");
    qInfo("signal %d to exit: %lld ms", signalNumber, t.elapsed());
    const QByteArray output = hmi.readAll();
    QCOMPARE(hmi.exitStatus(), QProcess::NormalExit);
    QCOMPARE(hmi.exitCode(), 0);
    QVERIFY(output.contains("Timer stop"));
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
