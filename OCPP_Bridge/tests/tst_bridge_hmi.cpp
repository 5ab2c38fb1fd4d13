// The whole chain: the HMI's simulation build driven by the demo driver
// (real clicks on the real widgets), ocpp-bridge on its FIFOs, and the
// ocpp-ts central system. Card sessions through an outage of the central
// system, then a session the central system starts, stops and ends with a
// reset, with a configuration change on the way.
#include "bridgetest.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace BridgeTest;

namespace {

constexpr int Long = 30000;
constexpr int DemoMs = 150000;

QString demoProgram() { return QStringLiteral(HMI_BIN_DIR "/hmi-demo"); }

// The HMI's data directory as ./run.sh lays it out, with meter values every
// 10 s (its shortest) so that a charge carries some, and a bridge.json.
void prepare(const QString &dir)
{
    for (const char *f : {"IDtag.json", "DynamicStatus.json"})
        QFile::copy(QStringLiteral(HMI_SOURCE_DIR "/deploy/") + f, dir + '/' + f);
    prepareDataDir(dir, QJsonObject{{"chargePointVendor", "Tarnel"},
                                    {"chargePointModel", "DC Fast Charger"},
                                    {"reconnectMaxSeconds", 1},
                                    {"hmiAnswerTimeoutSeconds", 5}});
    setConfigKey(dir, "MeterValueSampleInterval", "10");
    setConfigKey(dir, "TransactionMessageRetryInterval", "1");
    // The reset leaves a trace instead of ending the program.
    writeFile(dir + "/softwarereset.sh", "#!/bin/sh\necho soft >> \"$(dirname \"$0\")/reset-ran\"\n");
}

struct Demo
{
    QProcess proc;
    QByteArray out;

    void start(const QString &dir, const QStringList &options)
    {
        proc.setProcessChannelMode(QProcess::MergedChannels);
        QObject::connect(&proc, &QProcess::readyReadStandardOutput, [this] { out += proc.readAllStandardOutput(); });
        proc.start(demoProgram(), QStringList{"--data-dir", dir, "--out", dir + "/pictures", "--no-ocpp-sim"} + options);
    }
    bool saw(const char *text) const { return out.contains(text); }
    int finish()
    {
        if (!waitUntil([this] { return proc.state() == QProcess::NotRunning; }, DemoMs))
            proc.kill();
        proc.waitForFinished(5000);
        out += proc.readAllStandardOutput();
        return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
    }
};

// The messages' order in one transaction: start, meter values, stop, with
// the register never going back.
void checkTransaction(const CsmsPeer &csms, int transactionId, int minMeterValues)
{
    qint64 lastWh = -1;
    QString lastTime;
    int meterValues = 0;
    bool started = false, stopped = false;
    for (const QJsonObject &e : csms.events()) {
        if (e.value("ev") != "call")
            continue;
        const QString action = e.value("action").toString();
        const QJsonObject p = e.value("payload").toObject();
        if (action == "StartTransaction" && !started) {
            started = true;
            lastWh = p.value("meterStart").toInt();
            lastTime = p.value("timestamp").toString();
        } else if (action == "MeterValues" && p.value("transactionId").toInt() == transactionId) {
            QVERIFY(started && !stopped);
            const QJsonObject mv = p.value("meterValue").toArray().at(0).toObject();
            QVERIFY(mv.value("timestamp").toString() >= lastTime);
            lastTime = mv.value("timestamp").toString();
            for (const QJsonValue &s : mv.value("sampledValue").toArray())
                if (s.toObject().value("measurand") == "Energy.Active.Import.Register") {
                    const qint64 wh = s.toObject().value("value").toString().toLongLong();
                    QVERIFY2(wh >= lastWh, qPrintable(QString("%1 after %2").arg(wh).arg(lastWh)));
                    lastWh = wh;
                }
            ++meterValues;
        } else if (action == "StopTransaction" && p.value("transactionId").toInt() == transactionId) {
            QVERIFY(started && !stopped);
            stopped = true;
            QVERIFY(p.value("meterStop").toInt() >= lastWh);
            QVERIFY(p.value("timestamp").toString() >= lastTime);
        }
    }
    QVERIFY2(stopped, qPrintable(QString("no StopTransaction of %1").arg(transactionId)));
    QVERIFY(meterValues >= minMeterValues);
}

} // namespace

class tst_BridgeHmi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cardSessionsThroughAnOutage();
    void remoteSessionAndReset();
};

void tst_BridgeHmi::initTestCase()
{
    QString why;
    if (!csmsAvailable(&why))
        QSKIP(qPrintable(why));
    QVERIFY(QFile::exists(demoProgram()));
}

// Session 1 (charged full) loses the central system at its StartTransaction;
// the bridge answers the HMI itself and queues; the central system comes back
// during the charge and receives the queued messages in order under the id
// it assigns. Session 2 (fixed amount, stopped with the card) runs online.
void tst_BridgeHmi::cardSessionsThroughAnOutage()
{
    QTemporaryDir dir;
    prepare(dir.path());
    CsmsPeer before, after;
    QVERIFY(before.start({"--crash-on", "StartTransaction", "--first-transaction", "100"}));
    BridgeProcess bridge;
    QVERIFY(bridge.start(dir.path(), {"--csms", before.url("CP-E2E")}));
    QVERIFY(before.waitForCall("BootNotification", Long) >= 0);

    Demo demo;
    demo.start(dir.path(), {});
    QVERIFY2(bridge.waitForLog("MeterValues queued", 90000), demo.out.right(2000).constData());
    QVERIFY(before.finished());
    QVERIFY(after.start({"--first-transaction", "200"}, before.port()));
    QCOMPARE(demo.finish(), 0);
    QVERIFY(demo.saw("session sequence complete"));
    QVERIFY(after.waitFor(
                [](const QJsonObject &e) {
                    return e.value("ev") == "call" && e.value("payload").toObject().value("status") == "Available" &&
                           e.value("action") == "StatusNotification";
                },
                Long, after.callSequence().size()) >= 0);

    const QStringList first = before.callSequence();
    const QStringList second = after.callSequence();
    qInfo().noquote() << "central system before the outage:" << first.join(' ');
    qInfo().noquote() << "central system after it:" << second.join(' ');
    QCOMPARE(first.mid(first.indexOf("Authorize")),
             QStringList({"Authorize", "StatusNotification:Charging", "StartTransaction"}));
    QCOMPARE(second.mid(0, 3), QStringList({"BootNotification", "StatusNotification:Charging", "StartTransaction"}));
    // The start that never got through goes again as the HMI sent it.
    QCOMPARE(after.payloads("StartTransaction").value(0), before.payloads("StartTransaction").value(0));
    checkTransaction(after, 200, 1);
    checkTransaction(after, 201, 0);
    QCOMPARE(after.payloads("StopTransaction").value(0).value("reason").toString(), QString("Other"));
    QCOMPARE(after.payloads("StopTransaction").value(1).value("reason").toString(), QString("Local"));
    QCOMPARE(second.count("StartTransaction"), 2);
    QVERIFY(second.indexOf("Authorize") > second.indexOf("StopTransaction:Other"));
    QCOMPARE(before.errorsSent() + after.errorsSent(), QStringList());
    QVERIFY(json(readFile(dir.filePath("OcppQueue.json"))).value("queue").toArray().isEmpty());
    QCOMPARE(bridge.stop(), 0);
}

void tst_BridgeHmi::remoteSessionAndReset()
{
    QTemporaryDir dir;
    prepare(dir.path());
    CsmsPeer csms;
    QVERIFY(csms.start({"--first-transaction", "300"}));
    BridgeProcess bridge;
    QVERIFY(bridge.start(dir.path(), {"--csms", csms.url("CP-E2E")}));
    QVERIFY(csms.waitForCall("BootNotification", Long) >= 0);
    Demo demo;
    demo.start(dir.path(), {"--remote"});

    auto statusSeen = [&](const char *s, int from) {
        return csms.waitFor(
            [s](const QJsonObject &e) {
                return e.value("ev") == "call" && e.value("payload").toObject().value("status") == s;
            },
            90000, from);
    };
    auto answer = [&](const QString &action) {
        const int at = csms.waitForAnswer(action, Long);
        return at < 0 ? QJsonObject() : csms.events().at(at);
    };
    // Plugged in and waiting on the authorization page: started from afar.
    QVERIFY2(statusSeen("Preparing", 0) >= 0, demo.out.right(2000).constData());
    csms.call("RemoteStartTransaction", {{"connectorId", 1}, {"idTag", "REMOTE1"}});
    QJsonObject result = answer("RemoteStartTransaction");
    QCOMPARE(result.value("payload").toObject().value("status").toString(), QString("Accepted"));
    QVERIFY(result.value("valid").toBool());
    QVERIFY(csms.waitForCall("StartTransaction", Long) >= 0);
    QCOMPARE(csms.payloads("StartTransaction").value(0).value("idTag").toString(), QString("REMOTE1"));

    csms.call("ChangeConfiguration", {{"key", "MeterValueSampleInterval"}, {"value", "15"}});
    result = answer("ChangeConfiguration");
    QCOMPARE(result.value("payload").toObject().value("status").toString(), QString("RebootRequired"));
    csms.call("GetConfiguration", {{"key", QJsonArray{"MeterValueSampleInterval"}}});
    result = answer("GetConfiguration");
    QVERIFY(result.value("valid").toBool());
    QCOMPARE(result.value("payload").toObject().value("configurationKey").toArray().at(0).toObject().value("value"),
             QJsonValue("15"));

    csms.call("RemoteStopTransaction", {{"transactionId", 300}});
    QCOMPARE(answer("RemoteStopTransaction").value("payload").toObject().value("status").toString(),
             QString("Accepted"));
    const int stopped = csms.waitForCall("StopTransaction", Long);
    QVERIFY(stopped >= 0);
    QVERIFY2(statusSeen("Available", stopped) > stopped, demo.out.right(2000).constData());

    QVERIFY(waitUntil([&] { return demo.saw("driver: back to available"); }, Long));
    csms.call("Reset", {{"type", "Soft"}});
    QCOMPARE(answer("Reset").value("payload").toObject().value("status").toString(), QString("Accepted"));
    // The HMI hands over to the reset script and then ends with its own code for "reset done,
    // start me again" (3), which tells the service manager to restart it.
    QCOMPARE(demo.finish(), 3);
    QVERIFY(waitUntil([&] { return QFile::exists(dir.filePath("reset-ran")); }, Long));

    const QStringList sequence = csms.callSequence();
    qInfo().noquote() << "central system:" << sequence.join(' ');
    // (The HMI keeps the remote start's authorization after the session and
    // may announce "Preparing" again right after; that is its own doing.)
    const QStringList session = sequence.mid(sequence.indexOf("StatusNotification:Preparing"), 6);
    QCOMPARE(session, QStringList({"StatusNotification:Preparing", "StatusNotification:Charging", "StartTransaction",
                                   "StatusNotification:Finishing", "StopTransaction:Remote",
                                   "StatusNotification:Available"}));
    checkTransaction(csms, 300, 0);
    QCOMPARE(csms.errorsSent(), QStringList());
    QCOMPARE(bridge.stop(), 0);
}

QTEST_GUILESS_MAIN(tst_BridgeHmi)
#include "tst_bridge_hmi.moc"
