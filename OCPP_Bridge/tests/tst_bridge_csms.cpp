// The ocpp-bridge program between the HMI's two FIFOs (played here byte for
// byte as the HMI writes and reads them) and ocpp-ts, an independent OCPP
// 1.6J central system that checks every payload against the standard's
// schemas.
#include "bridgetest.h"

#include <QSslSocket>
#include <QTemporaryDir>
#include <QtTest>

using namespace BridgeTest;

namespace {

constexpr int Long = 20000; // for what normally takes milliseconds, on a loaded machine

QJsonObject settings(const QJsonObject &extra = {})
{
    QJsonObject o{{"chargePointVendor", "TestVendor"},
                  {"chargePointModel", "TestModel"},
                  {"chargePointSerialNumber", "SN-0001"},
                  {"firmwareVersion", "1.2.3"},
                  {"reconnectMaxSeconds", 1},
                  {"hmiAnswerTimeoutSeconds", 2},
                  {"callTimeoutSeconds", 10}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

QJsonObject meterValues(const QString &energy, int transactionId)
{
    auto sample = [](const char *measurand, const char *unit, const QString &value) {
        return QJsonObject{{"format", "Raw"}, {"measurand", measurand}, {"unit", unit}, {"value", value}};
    };
    const QJsonArray samples{sample("Power.Active.Export", "kWh", energy), sample("Voltage", "V", "400.0"),
                             sample("Current.Export", "A", "60.0"), sample("SoC", "Percent", "80"),
                             sample("Temperature", "null", "NotSupported")};
    return {{"connectorId", 1},
            {"meterValue", QJsonArray{QJsonObject{{"sampledValue", samples}, {"timestamp", "2024-03-05T14:00:30Z"}}}},
            {"transactionId", transactionId}};
}

QJsonObject start(const QString &idTag, int meterStart)
{
    return {{"connectorId", 1}, {"idTag", idTag}, {"meterStart", meterStart}, {"reservationId", 0},
            {"timestamp", "2024-03-05T14:00:00Z"}};
}

QJsonObject stop(int meterStop, const QString &reason, int transactionId)
{
    return {{"meterStop", meterStop}, {"reason", reason}, {"timestamp", "2024-03-05T14:10:00Z"},
            {"transactionId", transactionId}};
}

QJsonObject status(const QString &s)
{
    return {{"connectorId", 1}, {"errorCode", "NoError"}, {"status", s}};
}

// One charger: its data directory, the bridge on it, the HMI's FIFO end,
// and a central system.
struct Rig
{
    QTemporaryDir dir;
    CsmsPeer csms;
    BridgeProcess bridge;
    std::unique_ptr<HmiEnd> hmi;

    QString path() const { return dir.path(); }
    bool up(const QStringList &csmsOptions = {}, const QJsonObject &extra = {}, const QStringList &bridgeOptions = {})
    {
        prepareDataDir(path(), settings(extra));
        hmi.reset(new HmiEnd(path()));
        return csms.start(csmsOptions) && bridge.start(path(), QStringList{"--csms", csms.url()} + bridgeOptions);
    }
};

// A URL where no central system listens (yet): one is started to find a
// free port and ended at once.
QString unreachable(CsmsPeer &csms, int *port)
{
    if (!csms.start())
        return QString();
    *port = csms.port();
    const QString url = csms.url();
    csms.kill();
    return url;
}

} // namespace

class tst_BridgeCsms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cardSession();
    void centralSystemRequests_data();
    void centralSystemRequests();
    void offlineQueueSurvivesRestart();
    void offlineStartRefusedLater();
    void refusedTransactionMessages();
    void securityProfiles_data();
    void securityProfiles();
    void garbageFromBothSides();
    void hungCentralSystemNoticedByPing();
    void backOffGrows();
    void endsOnSignal_data();
    void endsOnSignal();
    void commandLine();
    void cleanupTestCase();

private:
    QTemporaryDir m_certs;
    std::unique_ptr<Rig> m_shared; // one charger for every row of the request table
};

void tst_BridgeCsms::initTestCase()
{
    QString why;
    if (!csmsAvailable(&why))
        QSKIP(qPrintable(why));
    QVERIFY(QFile::exists(bridgeProgram()));
    // A CA and a server certificate for 127.0.0.1 signed by it.
    const QString d = m_certs.path();
    auto openssl = [&](const QStringList &args) {
        QProcess p;
        p.setWorkingDirectory(d);
        p.start("openssl", args);
        return p.waitForFinished(60000) && p.exitCode() == 0;
    };
    writeFile(d + "/ext", "subjectAltName=IP:127.0.0.1,DNS:localhost\n");
    QVERIFY(openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days",
                     "2", "-subj", "/CN=Bridge Test CA"}));
    QVERIFY(openssl({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr", "-subj",
                     "/CN=localhost"}));
    QVERIFY(openssl({"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
                     "-out", "server.pem", "-days", "2", "-extfile", "ext"}));
}

void tst_BridgeCsms::cleanupTestCase() { m_shared.reset(); }

// A whole card session while the central system is there: what it receives,
// and what the HMI reads back.
void tst_BridgeCsms::cardSession()
{
    Rig r;
    prepareDataDir(r.path(), settings());
    // As the HMI leaves it at start-up and with every status.
    writeFile(r.path() + "/StatusNotification.json", QJsonDocument(status("Available")).toJson());
    r.hmi.reset(new HmiEnd(r.path()));
    QVERIFY(r.csms.start({"--first-transaction", "7"}));
    QVERIFY(r.bridge.start(r.path(), {"--csms", r.csms.url()}));
    HmiEnd &hmi = *r.hmi;

    const int boot = r.csms.waitForCall("BootNotification", Long);
    QVERIFY2(boot >= 0, r.bridge.log().constData());
    QCOMPARE(r.csms.events().at(boot).value("payload").toObject(),
             QJsonObject({{"chargePointVendor", "TestVendor"}, {"chargePointModel", "TestModel"},
                          {"chargePointSerialNumber", "SN-0001"}, {"firmwareVersion", "1.2.3"}}));
    QVERIFY(r.csms.waitForCall("StatusNotification", Long) > boot);

    QVERIFY(hmi.send("Authorize", {{"idTag", "CARD1"}}));
    HmiEnd::Message m = hmi.waitFor("AuthorizeResponse", Long);
    QVERIFY2(m.index >= 0, r.bridge.log().constData());
    QVERIFY(m.raw.startsWith("1=AuthorizeResponse={"));
    QCOMPARE(m.payload.value("idTagInfo").toObject().value("status").toString(), QString("Accepted"));

    QVERIFY(hmi.send("StatusNotification", status("Charging")));
    QVERIFY(hmi.send("StartTransaction", start("CARD1", 12)));
    m = hmi.waitFor("StartTransactionResponse", Long);
    QVERIFY2(m.index >= 0, r.bridge.log().constData());
    QCOMPARE(m.payload.value("transactionId").toInt(), 7);
    QCOMPARE(m.payload.value("idTagInfo").toObject().value("status").toString(), QString("Accepted"));

    QVERIFY(hmi.send("MeterValues", meterValues("12.4", 7)));
    QVERIFY(hmi.waitFor("MeterValuesResponse", Long).index >= 0);
    // The HMI starts again after a fault within the charge: the same transaction.
    QVERIFY(hmi.send("StatusNotification", status("Faulted")));
    QVERIFY(hmi.send("StatusNotification", status("Charging")));
    QVERIFY(hmi.send("StartTransaction", start("CARD1", 12)));
    m = hmi.waitFor("StartTransactionResponse", Long, m.index + 1);
    QCOMPARE(m.payload.value("transactionId").toInt(), 7);
    QVERIFY(hmi.send("StatusNotification", status("Finishing")));
    QVERIFY(hmi.send("StopTransaction", stop(12, "Local", 7)));
    QVERIFY(hmi.waitFor("StopTransactionResponse", Long).index >= 0);
    QVERIFY(r.csms.waitForCall("StopTransaction", Long) >= 0);

    QCOMPARE(r.csms.callSequence(),
             QStringList({"BootNotification", "StatusNotification:Available", "Authorize",
                          "StatusNotification:Charging", "StartTransaction", "MeterValues", "StatusNotification:Faulted",
                          "StatusNotification:Charging", "StatusNotification:Finishing", "StopTransaction:Local"}));
    QCOMPARE(r.csms.errorsSent(), QStringList());
    const QJsonObject started = r.csms.payloads("StartTransaction").value(0);
    QCOMPARE(started, QJsonObject({{"connectorId", 1}, {"idTag", "CARD1"}, {"meterStart", 12000},
                                   {"timestamp", "2024-03-05T14:00:00Z"}}));
    const QJsonArray samples = r.csms.payloads("MeterValues").value(0).value("meterValue").toArray().at(0)
                                   .toObject().value("sampledValue").toArray();
    QStringList measured;
    for (const QJsonValue &s : samples)
        measured << s.toObject().value("measurand").toString() + '=' + s.toObject().value("value").toString() +
                        s.toObject().value("unit").toString();
    QCOMPARE(measured, QStringList({"Energy.Active.Import.Register=12400Wh", "Voltage=400.0V", "Current.Import=60.0A",
                                    "SoC=80Percent"}));
    // The whole kWh of the stop, refined by the 0.1 kWh reading before it.
    const QJsonObject stopped = r.csms.payloads("StopTransaction").value(0);
    QCOMPARE(stopped.value("meterStop").toInt(), 12400);
    QCOMPARE(stopped.value("transactionId").toInt(), 7);
}

void tst_BridgeCsms::centralSystemRequests_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("hmiAction");      // what the HMI receives; "" for nothing
    QTest::addColumn<QByteArray>("hmiPayload");
    QTest::addColumn<QString>("hmiAnswer");      // the HMI's status; "" for silence
    QTest::addColumn<QByteArray>("answer");      // the start of the bridge's frame
    QTest::newRow("remote start accepted")
        << QByteArray(R"([2,"rs1","RemoteStartTransaction",{"connectorId":1,"idTag":"REMOTE1"}])")
        << "RemoteStartTransaction" << QByteArray(R"({"connectorId":1,"idTag":"REMOTE1"})") << "Accepted"
        << QByteArray(R"([3,"rs1",{"status":"Accepted"}])");
    QTest::newRow("remote start, id the HMI cannot carry")
        << QByteArray(R"([2,"a=b","RemoteStartTransaction",{"idTag":"REMOTE3"}])") << "RemoteStartTransaction"
        << QByteArray(R"({"idTag":"REMOTE3"})") << "Accepted" << QByteArray(R"([3,"a=b",{"status":"Accepted"}])");
    QTest::newRow("remote start, HMI silent")
        << QByteArray(R"([2,"rs4","RemoteStartTransaction",{"idTag":"REMOTE4"}])") << "RemoteStartTransaction"
        << QByteArray(R"({"idTag":"REMOTE4"})") << "" << QByteArray(R"([3,"rs4",{"status":"Rejected"}])");
    QTest::newRow("remote start, second connector")
        << QByteArray(R"([2,"rs5","RemoteStartTransaction",{"connectorId":2,"idTag":"REMOTE5"}])") << ""
        << QByteArray() << "" << QByteArray(R"([3,"rs5",{"status":"Rejected"}])");
    QTest::newRow("remote start, tag of wrong type")
        << QByteArray(R"([2,"rs6","RemoteStartTransaction",{"idTag":5}])") << "" << QByteArray() << ""
        << QByteArray(R"([4,"rs6","TypeConstraintViolation")");
    QTest::newRow("remote stop") << QByteArray(R"([2,"st1","RemoteStopTransaction",{"transactionId":77}])")
                                 << "RemoteStopTransaction" << QByteArray(R"({"transactionId":77})") << "Accepted"
                                 << QByteArray(R"([3,"st1",{"status":"Accepted"}])");
    QTest::newRow("remote stop without id") << QByteArray(R"([2,"st2","RemoteStopTransaction",{}])") << ""
                                            << QByteArray() << "" << QByteArray(R"([4,"st2","ProtocolError")");
    QTest::newRow("reset hard, refused by the HMI") << QByteArray(R"([2,"re1","Reset",{"type":"Hard"}])") << "Reset"
                                                   << QByteArray(R"({"type":"Hard"})") << "Rejected"
                                                   << QByteArray(R"([3,"re1",{"status":"Rejected"}])");
    QTest::newRow("reset, lower-case type") << QByteArray(R"([2,"re2","Reset",{"type":"soft"}])") << ""
                                            << QByteArray() << "" << QByteArray(R"([4,"re2","PropertyConstraintViolation")");
    QTest::newRow("get configuration")
        << QByteArray(R"([2,"gc1","GetConfiguration",{"key":["HeartbeatInterval","MeterValuesSampledData","Nope"]}])")
        << "" << QByteArray() << ""
        << QByteArray(R"([3,"gc1",{"configurationKey":[{"key":"HeartbeatInterval","readonly":false,"value":"60"},)"
                      R"({"key":"MeterValuesSampledData","readonly":false,)"
                      R"("value":"Energy.Active.Import.Register,Voltage,Current.Import,SoC"}],"unknownKey":["Nope"]}])");
    QTest::newRow("change configuration")
        << QByteArray(R"([2,"cc1","ChangeConfiguration",{"key":"MeterValueSampleInterval","value":"20"}])") << ""
        << QByteArray() << "" << QByteArray(R"([3,"cc1",{"status":"RebootRequired"}])");
    QTest::newRow("action not implemented") << QByteArray(R"([2,"dt1","DataTransfer",{"vendorId":"x"}])") << ""
                                            << QByteArray() << "" << QByteArray(R"([4,"dt1","NotImplemented")");
    QTest::newRow("not JSON") << QByteArray("[2,\"x\",") << "" << QByteArray() << ""
                              << QByteArray(R"([4,"-1","FormationViolation")");
}

void tst_BridgeCsms::centralSystemRequests()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, hmiAction);
    QFETCH(QByteArray, hmiPayload);
    QFETCH(QString, hmiAnswer);
    QFETCH(QByteArray, answer);
    if (!m_shared) {
        m_shared.reset(new Rig);
        QVERIFY(m_shared->up());
    }
    Rig &r = *m_shared;
    QVERIFY2(r.csms.waitForCall("BootNotification", Long) >= 0, r.bridge.log().constData());
    QVERIFY(r.csms.waitFor([](const QJsonObject &e) { return e.value("ev") == "result" || e.value("ev") == "call"; },
                           Long) >= 0);
    const int eventsBefore = r.csms.events().size();
    const int hmiBefore = r.hmi->received().size();

    r.csms.send({{"raw", QString::fromUtf8(frame)}});
    if (!hmiAction.isEmpty()) {
        const HmiEnd::Message m = r.hmi->waitFor(hmiAction, Long, hmiBefore);
        QVERIFY2(m.index >= 0, r.bridge.log().right(3000).constData());
        QCOMPARE(m.payload, json(hmiPayload));
        QVERIFY(!m.key.contains('=') && !m.key.isEmpty());
        if (!hmiAnswer.isEmpty())
            QVERIFY(r.hmi->send(hmiAction + "Response", {{"status", hmiAnswer}}, m.key));
    }
    const int at = r.csms.waitFor(
        [&](const QJsonObject &e) {
            return e.value("ev") == "frame" && e.value("text").toString().toUtf8().startsWith(answer.left(8));
        },
        Long, eventsBefore);
    QVERIFY2(at >= 0, r.bridge.log().right(3000).constData());
    QVERIFY2(r.csms.events().at(at).value("text").toString().toUtf8().startsWith(answer),
             qPrintable(r.csms.events().at(at).value("text").toString()));
    if (hmiAction.isEmpty()) // nothing reached the HMI
        QCOMPARE(r.hmi->received().size(), hmiBefore);
    // Every CALLRESULT passes the response schema.
    if (answer.startsWith("[3,")) {
        const int result = r.csms.waitFor([](const QJsonObject &e) { return e.value("ev") == "result"; }, Long, at);
        QVERIFY(result >= 0);
        QVERIFY2(r.csms.events().at(result).value("valid").toBool(),
                 QJsonDocument(r.csms.events().at(result)).toJson().constData());
    }
}

// The central system is away: the session is answered by the bridge, the
// transaction messages wait in the data directory, survive a restart of
// the bridge, and reach the central system in order, under its ids.
void tst_BridgeCsms::offlineQueueSurvivesRestart()
{
    QTemporaryDir dir;
    prepareDataDir(dir.path(), settings({{"offlineIdTags", QJsonArray{"FRIEND"}}}));
    setConfigKey(dir.path(), "TransactionMessageRetryInterval", "1");
    CsmsPeer csms;
    int port = 0;
    const QString url = unreachable(csms, &port);
    HmiEnd hmi(dir.path());
    BridgeProcess bridge;
    QVERIFY(bridge.start(dir.path(), {"--csms", url}));

    QVERIFY(hmi.send("Authorize", {{"idTag", "STRANGER"}}));
    HmiEnd::Message m = hmi.waitFor("AuthorizeResponse", Long);
    QCOMPARE(m.payload.value("idTagInfo").toObject().value("status").toString(), QString("Invalid"));
    QVERIFY(hmi.send("Authorize", {{"idTag", "FRIEND"}}));
    m = hmi.waitFor("AuthorizeResponse", Long, m.index + 1);
    QCOMPARE(m.payload.value("idTagInfo").toObject().value("status").toString(), QString("Accepted"));

    QVERIFY(hmi.send("StatusNotification", status("Charging")));
    QVERIFY(hmi.send("StartTransaction", start("FRIEND", 5)));
    m = hmi.waitFor("StartTransactionResponse", Long);
    QCOMPARE(m.payload.value("idTagInfo").toObject().value("status").toString(), QString("Accepted"));
    const int provisional = m.payload.value("transactionId").toInt();
    QVERIFY(provisional < 0);
    QVERIFY(hmi.send("MeterValues", meterValues("5.2", provisional)));
    QVERIFY(hmi.send("StatusNotification", status("Finishing")));
    QVERIFY(hmi.send("StopTransaction", stop(5, "Local", provisional)));
    QVERIFY(hmi.waitFor("StopTransactionResponse", Long).index >= 0);
    QVERIFY(hmi.waitFor("MeterValuesResponse", Long).index >= 0);
    const int answered = hmi.received().size();

    QCOMPARE(bridge.stop(), 0);
    const QJsonArray queued = json(readFile(dir.filePath("OcppQueue.json"))).value("queue").toArray();
    QCOMPARE(queued.size(), 3);

    QVERIFY(bridge.start(dir.path(), {"--csms", url}));
    QVERIFY(csms.start({"--first-transaction", "41"}, port));
    QVERIFY2(csms.waitForCall("StopTransaction", Long) >= 0, bridge.log().constData());
    QCOMPARE(csms.callSequence(), QStringList({"BootNotification", "StatusNotification:Finishing", "StartTransaction",
                                               "MeterValues", "StopTransaction:Local"}));
    QCOMPARE(csms.errorsSent(), QStringList());
    QCOMPARE(csms.payloads("StartTransaction").value(0).value("timestamp").toString(), QString("2024-03-05T14:00:00Z"));
    QCOMPARE(csms.payloads("MeterValues").value(0).value("transactionId").toInt(), 41);
    QCOMPARE(csms.payloads("StopTransaction").value(0).value("transactionId").toInt(), 41);
    QCOMPARE(csms.payloads("StopTransaction").value(0).value("meterStop").toInt(), 5200);
    QVERIFY(waitUntil([&] { return json(readFile(dir.filePath("OcppQueue.json"))).value("queue").toArray().isEmpty(); },
                      Long));
    // Everything had been answered before the restart: nothing twice.
    QCOMPARE(hmi.received().size(), answered);
}

// A start the bridge had to accept alone is refused by the central system
// later: the HMI is asked to stop, and the stop goes as "DeAuthorized".
void tst_BridgeCsms::offlineStartRefusedLater()
{
    QTemporaryDir dir;
    prepareDataDir(dir.path(), settings());
    CsmsPeer csms;
    int port = 0;
    const QString url = unreachable(csms, &port);
    HmiEnd hmi(dir.path());
    BridgeProcess bridge;
    QVERIFY(bridge.start(dir.path(), {"--csms", url}));
    QVERIFY(hmi.send("StartTransaction", start("LATE", 3)));
    const int provisional = hmi.waitFor("StartTransactionResponse", Long).payload.value("transactionId").toInt();
    QVERIFY(provisional < 0);

    QVERIFY(csms.start({"--reject-tag", "LATE"}, port));
    const HmiEnd::Message m = hmi.waitFor("RemoteStopTransaction", Long);
    QVERIFY2(m.index >= 0, bridge.log().constData());
    QCOMPARE(m.payload.value("transactionId").toInt(), provisional);
    QVERIFY(hmi.send("RemoteStopTransactionResponse", {{"status", "Accepted"}}, m.key));
    QVERIFY(hmi.send("StopTransaction", stop(3, "Remote", provisional)));
    QVERIFY(csms.waitForCall("StopTransaction", Long) >= 0);
    const QJsonObject stopped = csms.payloads("StopTransaction").value(0);
    QCOMPARE(stopped.value("reason").toString(), QString("DeAuthorized"));
    QCOMPARE(stopped.value("transactionId").toInt(), 1);
}

// A central system that cannot take a transaction message gets it again
// after TransactionMessageRetryInterval, up to TransactionMessageAttempts
// times; then it is dropped and what follows goes on.
void tst_BridgeCsms::refusedTransactionMessages()
{
    Rig r;
    prepareDataDir(r.path(), settings());
    setConfigKey(r.path(), "TransactionMessageRetryInterval", "1");
    setConfigKey(r.path(), "TransactionMessageAttempts", "2");
    r.hmi.reset(new HmiEnd(r.path()));
    QVERIFY(r.csms.start({"--refuse", "MeterValues", "1", "--refuse", "StopTransaction", "9"}));
    QVERIFY(r.bridge.start(r.path(), {"--csms", r.csms.url()}));
    QVERIFY(r.csms.waitForCall("BootNotification", Long) >= 0);
    // Registered first: a status that reaches the bridge before the boot is
    // answered is, rightly, the first thing the central system hears.
    QVERIFY(r.bridge.waitForLog("BootNotification accepted", Long));
    QVERIFY(r.hmi->send("StartTransaction", start("CARD1", 1)));
    const int id = r.hmi->waitFor("StartTransactionResponse", Long).payload.value("transactionId").toInt();
    QVERIFY(r.hmi->send("MeterValues", meterValues("1.5", id)));
    QVERIFY(r.hmi->send("StopTransaction", stop(1, "Local", id)));
    QVERIFY(r.hmi->send("StatusNotification", status("Finishing")));
    QVERIFY(r.csms.waitFor(
                [](const QJsonObject &e) {
                    return e.value("ev") == "call" && e.value("payload").toObject().value("status") == "Finishing";
                },
                Long) >= 0);
    const QStringList calls = r.csms.callSequence().mid(1);
    QVERIFY2(calls == QStringList({"StartTransaction", "MeterValues", "MeterValues", "StopTransaction:Local",
                                   "StopTransaction:Local", "StatusNotification:Finishing"}),
             qPrintable(calls.join(", ")));
    // One answer for each message, whatever became of it.
    QVERIFY(r.hmi->waitFor("StopTransactionResponse", Long).index >= 0);
    QVERIFY(r.hmi->waitFor("MeterValuesResponse", Long).index >= 0);
    QVERIFY(r.bridge.waitForLog("given up", Long));
}

void tst_BridgeCsms::securityProfiles_data()
{
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("csmsPassword");
    QTest::addColumn<QString>("bridgePassword");
    QTest::addColumn<bool>("trustCa");
    QTest::addColumn<bool>("connects");
    QTest::newRow("profile 1") << false << "0123456789abcdef" << "0123456789abcdef" << false << true;
    QTest::newRow("profile 1, wrong password") << false << "0123456789abcdef" << "guessed" << false << false;
    QTest::newRow("profile 2") << true << "0123456789abcdef" << "0123456789abcdef" << true << true;
    QTest::newRow("profile 2, CA not trusted") << true << "0123456789abcdef" << "0123456789abcdef" << false << false;
}

void tst_BridgeCsms::securityProfiles()
{
    QFETCH(bool, tls);
    QFETCH(QString, csmsPassword);
    QFETCH(QString, bridgePassword);
    QFETCH(bool, trustCa);
    QFETCH(bool, connects);
    if (tls && !QSslSocket::supportsSsl())
        QSKIP("no TLS library for the toolkit");
    QTemporaryDir dir;
    QJsonObject extra{{"authorizationKey", bridgePassword}};
    if (trustCa)
        extra.insert("caFile", m_certs.filePath("ca.pem"));
    prepareDataDir(dir.path(), settings(extra));
    HmiEnd hmi(dir.path());
    CsmsPeer csms;
    QStringList options{"--password", csmsPassword};
    if (tls)
        options << "--tls" << m_certs.filePath("server.pem") << m_certs.filePath("server.key");
    QVERIFY(csms.start(options));
    BridgeProcess bridge;
    QVERIFY(bridge.start(dir.path(), {"--csms", csms.url("CP-SECURE", tls ? "wss" : "ws")}));
    if (connects) {
        QVERIFY2(csms.waitForCall("BootNotification", Long) >= 0, bridge.log().constData());
        QCOMPARE(csms.events().at(csms.waitFor([](const QJsonObject &e) { return e.value("ev") == "connected"; }, Long))
                     .value("protocol").toString(),
                 QString("ocpp1.6"));
    } else {
        QVERIFY(bridge.waitForLog("cannot connect", Long));
        QVERIFY(bridge.waitForLog("next connection attempt", Long));
        QCOMPARE(csms.waitForCall("BootNotification", 500), -1);
    }
}

// Nothing either side sends stops the bridge from serving the next message.
void tst_BridgeCsms::garbageFromBothSides()
{
    Rig r;
    QVERIFY(r.up());
    QVERIFY(r.csms.waitForCall("BootNotification", Long) >= 0);
    const QList<QByteArray> fromHmi = {
        QByteArray("no envelope at all"), QByteArray("1=Authorize="), QByteArray("=="), QByteArray("1=Authorize={\0}", 15),
        QByteArray("1=Authorize=[\"idTag\"]"), QByteArray("1=StartTransaction={\"connectorId\": \"one\"}"),
        QByteArray("1=MeterValues={\"meterValue\": 5}"), QByteArray("1=StopTransaction={}"),
        QByteArray("zz=ResetResponse={\"status\": \"Accepted\"}"), QByteArray("1=StatusNotification={\"status\": 3}"),
        QByteArray(300000, '{'), QByteArray("1=Authorize={\"idTag\": \"") + QByteArray(5000, 'A') + "\"}"};
    for (const QByteArray &g : fromHmi)
        QVERIFY(r.hmi->write(g));
    // The close of a write is the only boundary between two messages on the
    // FIFO: a bridge still busy with the 300 kB line when the next message is
    // written reads both as one. The HMI's 20 ms pause covers a bridge at its
    // usual pace, not one under ThreadSanitizer, so it catches up here before
    // the message that must get through.
    QVERIFY(r.bridge.waitForLog(QString(40, 'A') + "\"}", Long));
    const QStringList fromCsms = {"[", "[]", "[3]", "[3,\"nobody\",{}]", "[4,\"nobody\",\"X\",\"y\",{}]", "{}",
                                  "[2,\"g1\",\"Reset\",{\"type\":[]}]", "[2,\"g2\",\"GetConfiguration\",{\"key\":[1]}]",
                                  "[2,\"g3\",\"RemoteStopTransaction\",{\"transactionId\":1.5}]", "null", "[\"2\"]"};
    for (const QString &g : fromCsms)
        r.csms.send({{"raw", g}});
    QVERIFY(r.hmi->send("Authorize", {{"idTag", "AFTER"}}));
    const HmiEnd::Message m = r.hmi->waitFor("AuthorizeResponse", Long);
    QVERIFY2(m.index >= 0, r.bridge.log().right(4000).constData());
    QCOMPARE(r.csms.payloads("Authorize").last().value("idTag").toString(), QString("AFTER"));
    QCOMPARE(r.csms.errorsSent(), QStringList());
    QCOMPARE(r.bridge.stop(), 0);
}

// A central system that stops answering with its connection open is found
// out by the WebSocket ping; the bridge goes offline and connects again.
// Before that, heartbeats at the interval the central system gave.
void tst_BridgeCsms::hungCentralSystemNoticedByPing()
{
    Rig r;
    QVERIFY(r.up({"--heartbeat", "1"}, {{"pingIntervalSeconds", 1}}));
    const int boot = r.csms.waitForCall("BootNotification", Long);
    QVERIFY(boot >= 0);
    QVERIFY(r.csms.waitForCall("Heartbeat", Long) > boot); // at the interval the central system gave
    r.csms.signal(SIGSTOP);
    QVERIFY(r.bridge.waitForLog("no answer to the last ping", Long));
    QVERIFY(r.hmi->send("Authorize", {{"idTag", "CARD1"}}));
    const HmiEnd::Message m = r.hmi->waitFor("AuthorizeResponse", Long);
    QCOMPARE(m.payload.value("idTagInfo").toObject().value("status").toString(), QString("Invalid"));
    r.csms.signal(SIGCONT);
    QVERIFY2(r.csms.waitForCall("BootNotification", Long, boot + 1) >= 0, r.bridge.log().constData());
}

void tst_BridgeCsms::backOffGrows()
{
    QTemporaryDir dir;
    prepareDataDir(dir.path(), settings({{"reconnectMaxSeconds", 2}}));
    CsmsPeer csms;
    int port = 0;
    const QString url = unreachable(csms, &port);
    BridgeProcess bridge;
    QVERIFY(bridge.start(dir.path(), {"--csms", url}));
    const QByteArray marker = "next connection attempt in ";
    QVERIFY(bridge.waitForLog(marker, Long));
    QVERIFY(waitUntil([&] { return bridge.log().count(marker) >= 3; }, Long));
    QList<int> pauses;
    for (int at = bridge.log().indexOf(marker); at >= 0; at = bridge.log().indexOf(marker, at + 1))
        pauses << bridge.log().mid(at + marker.size()).split(' ').value(0).toInt();
    // 1 s, 2 s, then no longer than the longest, each with up to a quarter more at random.
    QVERIFY2(pauses.at(0) >= 1000 && pauses.at(0) <= 1250, bridge.log());
    QVERIFY2(pauses.at(1) >= 2000 && pauses.at(2) >= 2000 && pauses.at(2) <= 2500, bridge.log());
    QCOMPARE(bridge.stop(), 0);
}

void tst_BridgeCsms::endsOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("csmsThere");
    QTest::newRow("SIGTERM, connected") << int(SIGTERM) << true;
    QTest::newRow("SIGINT, while connecting") << int(SIGINT) << false;
}

void tst_BridgeCsms::endsOnSignal()
{
    QFETCH(int, signal);
    QFETCH(bool, csmsThere);
    Rig r;
    QVERIFY(r.up());
    if (csmsThere)
        QVERIFY(r.csms.waitForCall("BootNotification", Long) >= 0);
    else
        r.csms.kill();
    // A message on its way to an HMI that is not reading does not hold it up.
    r.hmi.reset();
    QVERIFY(r.bridge.waitForLog("connecting to", Long));
    QCOMPARE(r.bridge.stop(signal), 0);
    QVERIFY(r.bridge.log().contains("ocpp-bridge stopped"));
}

void tst_BridgeCsms::commandLine()
{
    QProcess p;
    p.start(bridgeProgram(), {"--help"});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    const QString help = QString::fromUtf8(p.readAllStandardOutput());
    for (const char *option : {"--data-dir", "--config", "--csms", "--ca-file", "--offline-authorize",
                               "--reconnect-max", "--help"})
        QVERIFY2(help.contains(option), option);
    QTemporaryDir dir;
    const QList<QStringList> refused = {
        {"--data-dir", dir.path()},                                           // no central system named
        {"--data-dir", dir.path(), "--csms", "http://host/ocpp/CP1"},         // not a WebSocket URL
        {"--data-dir", dir.path(), "--csms", "ws://host/"},                   // no charge point identity
        {"--data-dir", dir.path(), "--csms", "ws://host/CP1", "--offline-authorize", "maybe"},
        {"--data-dir", dir.path(), "--csms", "ws://host/CP1", "--bogus"},
        {"--data-dir", dir.path(), "--csms", "ws://host/CP1", "--ca-file", dir.filePath("missing.pem")},
    };
    for (const QStringList &args : refused) {
        p.start(bridgeProgram(), args);
        QVERIFY(p.waitForFinished(10000));
        QVERIFY2(p.exitCode() == 2, qPrintable(args.join(' ')));
        QVERIFY(!p.readAllStandardError().isEmpty());
    }
}

QTEST_GUILESS_MAIN(tst_BridgeCsms)
#include "tst_bridge_csms.moc"
