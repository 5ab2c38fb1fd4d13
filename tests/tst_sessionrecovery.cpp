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

// The three simulators, the data directory and the charger child of one case.
struct Bench
{
    TestDataDir dir;
    Simulator ccu, meter, client;
    QProcessEnvironment env;
    QProcess charger;
    double meterStart = 0;
};

class tst_SessionRecovery : public QObject
{
    Q_OBJECT

private slots:
    void endedTheHardWay_data();
    void endedTheHardWay();
    void ccuLostMidCharge_data();
    void ccuLostMidCharge();

private:
    // A session started at the screen of the charger child and charging, a
    // few MeterValues into the charge, its transaction in Transaction.json.
    void startCharging(Bench &b);
};

void tst_SessionRecovery::startCharging(Bench &b)
{
    b.dir.write("configuration.json",
                "{\"configurationKey\":[{\"key\":\"MeterValueSampleInterval\",\"value\":\"1\"},"
                "{\"key\":\"MeterValuesSampledData\",\"value\":\"Power.Active.Export\"}]}");
    b.dir.write("IDtag.json", "{\"IDtag\":\"KILL-CARD\"}");

    const QString ccuPort = b.ccu.start("ccu-sim", {"--plugged", "--handshake-seconds", "1", "--prepare-seconds", "1",
                                                    "--charge-seconds", "600"});
    QVERIFY2(ccuPort.startsWith("/dev/"), qPrintable(ccuPort));
    const QString meterPort = b.meter.start("meter-sim", {"--voltage", "400", "--current", "100", "--energy", "1000"});
    QVERIFY2(meterPort.startsWith("/dev/"), qPrintable(meterPort));
    b.client.process.setProcessChannelMode(QProcess::MergedChannels);
    b.client.start("ocpp-client-sim", {"--data-dir", b.dir.path(), "--transaction-id", "4711"});

    b.env = QProcessEnvironment::systemEnvironment();
    b.env.insert("HMI_DATA_DIR", b.dir.path());
    b.env.insert("HMI_CCU_PORT", ccuPort);
    b.env.insert("HMI_METER_PORT", meterPort);
    b.env.insert("HMI_GPIO_PREFIX", b.dir.file("gpio"));
    b.env.insert("QT_QPA_PLATFORM", "offscreen");
    b.env.insert("QT_LOGGING_RULES", "*.debug=false;qt.qpa.*=false");

    QProcess &charger = b.charger;
    QProcessEnvironment childEnv = b.env;
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
        QVERIFY(b.client.send("RemoteStartTransaction KILL-CARD"));
        line = nextLine();
    }
    QVERIFY2(!line.isEmpty(), "the session did not reach charging");
    QVERIFY2(line == "charging 4711", line.constData());
    QVERIFY(waitFor([&] { return received(b.client, "MeterValues").size() >= 3; }, 15000));
    const QJsonObject left = QJsonDocument::fromJson(b.dir.read("Transaction.json")).object();
    const QJsonObject open = left["transactions"].toArray().at(0).toObject();
    QCOMPARE(open["transactionId"].toInt(), 4711);
    b.meterStart = open["meterStart"].toDouble();
    QVERIFY(b.meterStart >= 1000.0);
    QVERIFY(!b.ccu.errors().contains("stop command"));
}

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
    Bench b;
    startCharging(b);
    if (QTest::currentTestFailed())
        return;
    TestDataDir &dir = b.dir;
    Simulator &ccu = b.ccu;
    Simulator &client = b.client;
    QProcess &charger = b.charger;
    const QProcessEnvironment &env = b.env;
    const double meterStart = b.meterStart;

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

void tst_SessionRecovery::ccuLostMidCharge_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("the CCU restarts and forgets the session") << "reboot";
    QTest::newRow("the CCU falls silent") << "silent on";
}

// No phase 6 ever comes: the charger itself ends the session after its grace,
// with one StopTransaction, and offers the connector again.
void tst_SessionRecovery::ccuLostMidCharge()
{
    QFETCH(QString, command);
    Bench b;
    startCharging(b);
    if (QTest::currentTestFailed())
        return;
    QElapsedTimer lost;
    lost.start();
    QVERIFY(b.ccu.send(command));
    QVERIFY2(waitFor([&] { return !received(b.client, "StopTransaction").isEmpty(); }, 90000),
             "the session stayed on the charging page");
    qInfo("%s: StopTransaction after %lld ms", qPrintable(command), lost.elapsed()); // a figure, not a limit
    const QList<QJsonObject> stops = received(b.client, "StopTransaction");
    QCOMPARE(stops.size(), 1);
    QCOMPARE(stops[0]["transactionId"].toInt(), 4711);
    QCOMPARE(stops[0]["reason"].toString(), QString("Other"));
    QVERIFY(stops[0]["meterStop"].toInt() >= int(b.meterStart));
    QVERIFY(waitFor([&] { return !QFile::exists(b.dir.file("Transaction.json")); }, 10000));
    QCOMPARE(b.charger.state(), QProcess::Running);
    ::kill(pid_t(b.charger.processId()), SIGTERM);
    QVERIFY(b.charger.waitForFinished(15000));
    QCOMPARE(b.charger.exitCode(), 0);
    QCOMPARE(received(b.client, "StopTransaction").size(), 1);
}

HMI_TEST_MAIN_WITH_CHARGING_CHILD(tst_SessionRecovery)

#include "tst_sessionrecovery.moc"
