// The real program in the device build against ccu-sim, meter-sim and
// ocpp-client-sim over real pseudo-terminals and FIFOs: when the CCU or the
// meter stops answering, the home page goes out of order with the fault in
// words, and comes back by itself once the link answers again.
#include "ptysupport.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <functional>

namespace {
bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        QThread::msleep(50);
    }
    return true;
}
} // namespace

class tst_OutOfOrder : public QObject
{
    Q_OBJECT
private slots:
    void linkDownAndBack_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("lossMs"); // the link's own loss detection, with room
        QTest::newRow("CCU") << "ccu" << "out of order: CCU link lost" << 20000;
        QTest::newRow("meter") << "meter" << "out of order: DC meter not answering (PowerMeterFailure)" << 60000;
    }
    void linkDownAndBack()
    {
        QFETCH(QString, link);
        QFETCH(QString, words);
        QFETCH(int, lossMs);
        TestDataDir dir;
        dir.write("configuration.json", "{\"configurationKey\":[]}");
        Simulator ccu, meter, client;
        const QString ccuPort = ccu.start("ccu-sim", {});
        QVERIFY2(ccuPort.startsWith("/dev/"), qPrintable(ccuPort));
        const QString meterPort = meter.start("meter-sim", {"--verbose"});
        QVERIFY2(meterPort.startsWith("/dev/"), qPrintable(meterPort));
        client.process.setProcessChannelMode(QProcess::MergedChannels);
        client.start("ocpp-client-sim", {"--data-dir", dir.path()});

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HMI_DATA_DIR", dir.path());
        env.insert("HMI_CCU_PORT", ccuPort);
        env.insert("HMI_METER_PORT", meterPort);
        env.insert("HMI_GPIO_PREFIX", dir.file("gpio"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_LOGGING_RULES", "*.debug=false;qt.qpa.*=false");
        QProcess charger;
        QByteArray log;
        connect(&charger, &QProcess::readyReadStandardOutput, this, [&] { log += charger.readAllStandardOutput(); });
        charger.setProcessEnvironment(env);
        charger.setProcessChannelMode(QProcess::MergedChannels);
        charger.start(QStringLiteral(HMI_BIN_DIR "/charger-hmi-device"), {"-platform", "offscreen"});
        QVERIFY(charger.waitForStarted(5000));

        // Both links answer first: the charger is in order.
        QVERIFY2(waitFor([&] { return ccu.errors().count("rx ") > 3 && meter.errors().contains("answered"); }, 15000),
                 (ccu.errors().right(300) + "\n" + meter.errors().right(300) + "\n" + log.right(600)).constData());
        QVERIFY2(!log.contains("out of order"), log.constData());

        Simulator &sim = link == "ccu" ? ccu : meter;
        QVERIFY(sim.send("silent on")); // the two simulators acknowledge it in words of their own
        QVERIFY2(waitFor([&] { return log.contains(words.toUtf8()); }, lossMs), log.constData());
        QVERIFY(sim.send("silent off"));
        QVERIFY2(waitFor([&] { return log.contains("back in order"); }, lossMs), log.constData());

        ::kill(pid_t(charger.processId()), SIGTERM);
        QVERIFY(charger.waitForFinished(15000));
        QCOMPARE(charger.exitCode(), 0);
    }
};

QTEST_MAIN(tst_OutOfOrder)
#include "tst_outoforder.moc"
