// test-switches: device
// A charge in the device build ended the hard way: the charger (this binary
// run as the program, see sessionchild.h) charges against ccu-sim, meter-sim
// and ocpp-client-sim over real pseudo-terminals and FIFOs, is killed with
// SIGKILL or stopped with SIGTERM, and the real program starts again on the
// same data directory. The OCPP client must see exactly one StopTransaction
// of the transaction, with the right reason and register.
#include "globalvariable.h"
#include "ptysupport.h"
#include "sessionchild.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <csignal>

namespace {
// Every message of one action the client received, as JSON.
QList<QJsonObject> received(const Simulator &client, const QByteArray &action)
{
    QList<QJsonObject> messages;
    const QByteArray &out = client.output();
    const QByteArray mark = "<- 1=" + action + "=";
    for (int at = out.indexOf(mark); at >= 0; at = out.indexOf(mark, at + 1)) {
        const int from = at + mark.size();
        const int end = out.indexOf("\n}", from);
        messages << QJsonDocument::fromJson(out.mid(from, end + 2 - from)).object();
    }
    return messages;
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    return QTest::qWaitFor(done, ms);
}
} // namespace

class tst_SessionRecovery : public QObject
{
    Q_OBJECT

private slots:
    void endedTheHardWay_data();
    void endedTheHardWay();
};

void tst_SessionRecovery::endedTheHardWay_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("reason");
    QTest::newRow("kill -9 mid-charge") << int(SIGKILL) << "PowerLoss";
    QTest::newRow("SIGTERM mid-charge") << int(SIGTERM) << "Reboot";
}

void tst_SessionRecovery::endedTheHardWay()
{
    QFETCH(int, signalNumber);
    QFETCH(QString, reason);
    TestDataDir dir;
    dir.write("configuration.json",
              "{\"configurationKey\":[{\"key\":\"MeterValueSampleInterval\",\"value\":\"1\"},"
              "{\"key\":\"MeterValuesSampledData\",\"value\":\"Power.Active.Export\"}]}");
    dir.write("IDtag.json", "{\"IDtag\":\"KILL-CARD\"}");

    Simulator ccu, meter, client;
    const QString ccuPort = ccu.start("ccu-sim", {"--plugged", "--handshake-seconds", "1", "--prepare-seconds", "1",
                                                  "--charge-seconds", "600"});
    QVERIFY2(ccuPort.startsWith("/dev/"), qPrintable(ccuPort));
    const QString meterPort = meter.start("meter-sim", {"--voltage", "400", "--current", "100", "--energy", "1000"});
    QVERIFY2(meterPort.startsWith("/dev/"), qPrintable(meterPort));
    client.process.setProcessChannelMode(QProcess::MergedChannels);
    client.start("ocpp-client-sim", {"--data-dir", dir.path(), "--transaction-id", "4711"});

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HMI_DATA_DIR", dir.path());
    env.insert("HMI_CCU_PORT", ccuPort);
    env.insert("HMI_METER_PORT", meterPort);
    env.insert("HMI_GPIO_PREFIX", dir.file("gpio"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "*.debug=false;qt.qpa.*=false");

    // The session, up to a few MeterValues into the charge.
    QProcess charger;
    QProcessEnvironment childEnv = env;
    childEnv.insert("HMI_TEST_CHILD", "1");
    charger.setProcessEnvironment(childEnv);
    charger.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    charger.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(charger.waitForStarted(5000));
    const auto nextLine = [&] {
        if (!waitFor([&] { return charger.canReadLine() || charger.state() == QProcess::NotRunning; }, 60000) ||
            !charger.canReadLine())
            return QByteArray();
        return charger.readLine().trimmed();
    };
    QByteArray line = nextLine();
    if (line == "card") {
        // No card reader on the test bench: the central system starts it.
        QVERIFY(client.send("RemoteStartTransaction KILL-CARD"));
        line = nextLine();
    }
    QVERIFY2(!line.isEmpty(), "the session did not reach charging");
    QVERIFY2(line == "charging 4711", line.constData());
    QVERIFY(waitFor([&] { return received(client, "MeterValues").size() >= 3; }, 15000));
    const QJsonObject left = QJsonDocument::fromJson(dir.read("Transaction.json")).object();
    const QJsonObject open = left["transactions"].toArray().at(0).toObject();
    QCOMPARE(open["transactionId"].toInt(), 4711);
    const double meterStart = open["meterStart"].toDouble();
    QVERIFY(meterStart >= 1000.0);
    QVERIFY(!ccu.errors().contains("stop command"));

    QElapsedTimer stopping;
    stopping.start();
    ::kill(pid_t(charger.processId()), signalNumber);
    QVERIFY2(charger.waitForFinished(15000), "the charger did not end");
    qInfo("signal %d to exit: %lld ms", signalNumber, stopping.elapsed()); // a figure, not a limit
    if (signalNumber == SIGTERM) {
        QCOMPARE(charger.exitStatus(), QProcess::NormalExit);
        QCOMPARE(charger.exitCode(), 0);
        // The stop frame was written before the program ended.
        QVERIFY(waitFor([&] { return ccu.errors().contains("stop command"); }, 3000));
        QVERIFY2(!QFile::exists(dir.file("Transaction.json")), "the StopTransaction was answered");
    } else {
        QCOMPARE(charger.exitStatus(), QProcess::CrashExit);
        QVERIFY(received(client, "StopTransaction").isEmpty());
    }

    // The real program starts again on the same directory and lines.
    QProcess restarted;
    restarted.setProcessEnvironment(env);
    restarted.setProcessChannelMode(QProcess::MergedChannels);
    const int polledBefore = ccu.errors().count("rx ");
    restarted.start(QStringLiteral(HMI_BIN_DIR "/charger-hmi-device"), {"-platform", "offscreen"});
    QVERIFY(restarted.waitForStarted(5000));
    // Polling the CCU means its start-up, recovery included, is done.
    QVERIFY(waitFor([&] { return ccu.errors().count("rx ") > polledBefore + 2; }, 15000));
    QVERIFY(waitFor([&] { return !QFile::exists(dir.file("Transaction.json")); }, 10000));
    ::kill(pid_t(restarted.processId()), SIGTERM);
    QVERIFY(restarted.waitForFinished(15000));
    QCOMPARE(restarted.exitCode(), 0);

    const QList<QJsonObject> stops = received(client, "StopTransaction");
    QCOMPARE(stops.size(), 1);
    QCOMPARE(stops[0]["transactionId"].toInt(), 4711);
    QCOMPARE(stops[0]["reason"].toString(), reason);
    QVERIFY(stops[0]["meterStop"].toInt() >= int(meterStart));
    QCOMPARE(received(client, "StartTransaction").size(), 1);
    const QByteArray restartLog = restarted.readAll();
    QCOMPARE(restartLog.contains("Transaction.json of the previous run"), signalNumber == SIGKILL);
    QVERIFY(ccu.errors().contains("stop command")); // after a kill, at the restart
}

HMI_TEST_MAIN_WITH_CHARGING_CHILD(tst_SessionRecovery)

#include "tst_sessionrecovery.moc"
