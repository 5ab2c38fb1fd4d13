// test-components: core pipe
// The OCPP messages over real FIFOs with a client at the far end: the bytes
// of the five requests, the dispatch of every inbound action with its answer,
// bad input, and the re-sending of transaction messages.

#include "testsupport.h"
#include "thread_pipe.h"
#include "tst_pipe_farend.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cmath>
#include <memory>

class tst_ocpp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void requestBytes_data();
    void requestBytes();
    void startTransactionMeterStart_data();
    void startTransactionMeterStart();
    void meterValuesSampledData_data();
    void meterValuesSampledData();
    void statusNotificationFile();
    void statusNotificationUnwritableFileStillSends();
    void unknownConnectorIsNotSent();

    void inbound_data();
    void inbound();

    void retryWorkedExample();
    void retryOnRealTimer();
    void retryGiveUpKeepsTimerForStopAndMeter_data();
    void retryGiveUpKeepsTimerForStopAndMeter();
    void retryWithoutAttemptLimitGivesUpAtOnce();
    void normalResponseEndsRetry();
    void secondFailureKeepsInterval();
    void responsesAfterStopLeaveTimersAlone();
    void authorizeRetryStaysUnwired();

private:
    bool dispatch(const QByteArray &message);
    bool nothingMoreWritten();
    QByteArray withTimestamp(const QByteArray &got, QByteArray expected);

    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<Thread_pipe> m_pipe;
    std::unique_ptr<FarEnd> m_client;
};

static const QByteArray StartFailure =
    "1=StartTransactionResponse={\"error\": \"failure to process the message\"}";
static const QByteArray StopFailure =
    "1=StopTransactionResponse={\"error\": \"failure to process the message\"}";
static const QByteArray MeterFailure =
    "1=MeterValuesResponse={\"error\": \"failure to process the message\"}";

void tst_ocpp::initTestCase() { std::signal(SIGPIPE, SIG_IGN); }

void tst_ocpp::init()
{
    resetOcppState();
    m_dir = std::make_unique<TestDataDir>();
    m_log = std::make_unique<LogCapture>();
    m_pipe = std::make_unique<Thread_pipe>();
    m_client = std::make_unique<FarEnd>(m_dir->path());
    m_client->startReading();
}

void tst_ocpp::cleanup()
{
    m_client.reset();
    m_pipe.reset();
    m_log.reset();
    m_dir.reset();
}

// Sends one message and waits until the link has dispatched it.
bool tst_ocpp::dispatch(const QByteArray &message)
{
    const int before = m_log->count("this ocppin is about = ");
    if (!m_client->send(message))
        return false;
    return QTest::qWaitFor([&] { return m_log->count("this ocppin is about = ") > before; }, 3000);
}

// Whatever the link wrote before this point has been read already.
bool tst_ocpp::nothingMoreWritten()
{
    emit m_pipe->ocppwrite("marker");
    return m_client->next() == "marker\n";
}

QByteArray tst_ocpp::withTimestamp(const QByteArray &got, QByteArray expected)
{
    const QRegularExpressionMatch m =
        QRegularExpression("\"timestamp\": \"([^\"]*)\"").match(QString::fromUtf8(got));
    if (!m.hasMatch())
        return expected;
    const QString stamp = m.captured(1);
    const QDateTime when = QDateTime::fromString(stamp, "yyyy-MM-dd'T'hh:mm:ss'Z'");
    if (!QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$").match(stamp).hasMatch() ||
        qAbs(QDateTime(when.date(), when.time(), Qt::UTC).secsTo(QDateTime::currentDateTimeUtc())) > 10)
        return "bad timestamp " + stamp.toUtf8();
    return expected.replace("%TS%", stamp.toUtf8());
}

// ---------------------------------------------------------------- requests

void tst_ocpp::requestBytes_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Authorize") << "Authorize" << QByteArray("1=Authorize={\n    \"idTag\": \"Jürgen-ÄÖ✓\"\n}\n\n");
    QTest::newRow("StartTransaction") << "StartTransaction" << QByteArray(R"(1=StartTransaction={
    "connectorId": 1,
    "idTag": "Jürgen-ÄÖ✓",
    "meterStart": 1234,
    "reservationId": 0,
    "timestamp": "%TS%"
}

)");
    QTest::newRow("StopTransaction") << "StopTransaction" << QByteArray(R"(1=StopTransaction={
    "meterStop": 1250,
    "reason": "Remote",
    "timestamp": "%TS%",
    "transactionId": 42
}

)");
    QTest::newRow("MeterValues") << "MeterValues" << QByteArray(R"(1=MeterValues={
    "connectorId": 1,
    "meterValue": [
        {
            "sampledValue": [
                {
                    "format": "Raw",
                    "measurand": "Power.Active.Export",
                    "unit": "kWh",
                    "value": "12.3"
                },
                {
                    "format": "Raw",
                    "measurand": "Voltage",
                    "unit": "V",
                    "value": "400.1"
                },
                {
                    "format": "Raw",
                    "measurand": "Current.Export",
                    "unit": "A",
                    "value": "120.0"
                },
                {
                    "format": "Raw",
                    "measurand": "SoC",
                    "unit": "Percent",
                    "value": "80"
                }
            ],
            "timestamp": "%TS%"
        }
    ],
    "transactionId": 42
}

)");
    QTest::newRow("StatusNotification") << "StatusNotification" << QByteArray(R"(1=StatusNotification={
    "connectorId": 1,
    "errorCode": "NoError",
    "status": "Charging"
}

)");
}

void tst_ocpp::requestBytes()
{
    QFETCH(QString, action);
    QFETCH(QByteArray, bytes);
    Status &gun = gun_status[1];
    gun.IDtag = QString::fromUtf8("Jürgen-ÄÖ✓");
    gun.f_startmeter = 1234.9f;
    gun.f_stopmeter = 1250.7f;
    gun.stopReason = Remote;
    gun.transactionId = 42;
    gun.f_energy = 12.34f;
    gun.f_voltage = 400.06f;
    gun.f_current = 120.0f;
    gun.soc = 80;
    gun.status = sta_Charging;
    ConfigObj.insert("MeterValuesSampledData", "Power.Active.Export,Voltage,Current.Export,SoC");

    const QByteArray slot = (action == "StartTransaction" ? QByteArray("StartTransaction_Request")
                             : action == "StopTransaction" ? QByteArray("StopTransacation_Request")
                             : action == "MeterValues"     ? QByteArray("MeterValue_Request")
                                                           : action.toLatin1() + "_Request");
    QVERIFY(QMetaObject::invokeMethod(m_pipe.get(), slot.constData(), Q_ARG(ushort, 1)));
    const QByteArray got = m_client->next();
    QCOMPARE(got, withTimestamp(got, bytes));
    // One message per open-close: nothing but the message and its line feed.
    QCOMPARE(m_client->chunks().size(), 1);
    QVERIFY(m_log->contains(QString::fromUtf8(got.chopped(1))));

    // The transaction messages are kept for re-sending, exactly as sent.
    const QStringList kept = action == "StartTransaction" ? StartTransactionCache
                             : action == "StopTransaction" ? StopTransactionCache
                             : action == "MeterValues"     ? MeterValueCache
                                                           : QStringList();
    if (action == "StartTransaction" || action == "StopTransaction" || action == "MeterValues")
        QCOMPARE(kept, QStringList{QString::fromUtf8(got.chopped(1))});
    QCOMPARE(gun.startRequest, quint16(action == "StartTransaction" ? 2 : 0));
}

void tst_ocpp::startTransactionMeterStart_data()
{
    QTest::addColumn<float>("meter");
    QTest::addColumn<int>("sent");
    QTest::newRow("1234.9") << 1234.9f << 1234;
    QTest::newRow("0.99") << 0.99f << 0;
    QTest::newRow("99999.9") << 99999.9f << 99999;
    QTest::newRow("-2.5 toward zero") << -2.5f << -2;
    QTest::newRow("not a number") << float(std::nan("")) << 0;
}

void tst_ocpp::startTransactionMeterStart()
{
    QFETCH(float, meter);
    QFETCH(int, sent);
    gun_status[1].f_startmeter = meter;
    m_pipe->StartTransaction_Request(1);
    const QJsonObject payload =
        QJsonDocument::fromJson(m_client->next().mid(int(strlen("1=StartTransaction=")))).object();
    QCOMPARE(payload.value("meterStart").toVariant().toLongLong(), qlonglong(sent));
}

void tst_ocpp::meterValuesSampledData_data()
{
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<QStringList>("samples"); // measurand|unit|value
    const QStringList unknownEmpty{"|null|NotSupported"};
    QTest::newRow("absent") << QVariant() << unknownEmpty;
    QTest::newRow("empty") << QVariant("") << unknownEmpty;
    QTest::newRow("not a string") << QVariant(5) << unknownEmpty;
    QTest::newRow("double comma") << QVariant("Voltage,,SoC")
                                  << QStringList{"Voltage|V|230.0", "|null|NotSupported", "SoC|Percent|55"};
    QTest::newRow("blanks around names") << QVariant(" Voltage,SoC ")
                                         << QStringList{" Voltage|null|NotSupported", "SoC |null|NotSupported"};
    QTest::newRow("case matters") << QVariant("voltage") << QStringList{"voltage|null|NotSupported"};
    QTest::newRow("energy") << QVariant("Power.Active.Export") << QStringList{"Power.Active.Export|kWh|1234.5"};
    QTest::newRow("repeated") << QVariant("Current.Export,Current.Export")
                              << QStringList{"Current.Export|A|0.0", "Current.Export|A|0.0"};
}

void tst_ocpp::meterValuesSampledData()
{
    QFETCH(QVariant, setting);
    QFETCH(QStringList, samples);
    if (setting.isValid())
        ConfigObj.insert("MeterValuesSampledData", QJsonValue::fromVariant(setting));
    Status &gun = gun_status[1];
    gun.f_voltage = 230.04f;
    gun.soc = 55;
    gun.f_energy = 1234.5f;
    gun.transactionId = 9;
    m_pipe->MeterValue_Request(1);
    const QByteArray got = m_client->next();
    const QJsonObject payload = QJsonDocument::fromJson(got.mid(int(strlen("1=MeterValues=")))).object();
    QCOMPARE(payload.value("transactionId").toInt(), 9);
    const QJsonArray meterValue = payload.value("meterValue").toArray();
    QCOMPARE(meterValue.size(), 1);
    QStringList seen;
    for (const QJsonValue &v : meterValue.at(0).toObject().value("sampledValue").toArray()) {
        const QJsonObject s = v.toObject();
        QCOMPARE(s.value("format").toString(), QString("Raw"));
        seen << s.value("measurand").toString() + '|' + s.value("unit").toString() + '|' + s.value("value").toString();
    }
    QCOMPARE(seen, samples);
    QCOMPARE(m_log->count("=sampledData ="), samples.size());
    QCOMPARE(withTimestamp(got, "ok"), QByteArray("ok"));
}

void tst_ocpp::statusNotificationFile()
{
    // The file is written at once, while the message still waits for a
    // client to read.
    m_client->stopReading();
    gun_status[1].status = sta_Preparing;
    m_pipe->StatusNotification_Request(1);
    const QByteArray json = "{\n    \"connectorId\": 1,\n    \"errorCode\": \"NoError\",\n    \"status\": \"Preparing\"\n}\n";
    QCOMPARE(m_dir->read("StatusNotification.json"), json);

    gun_status[1].status = sta_Faulted;
    gun_status[1].errorcode = err_GroundFailure;
    m_pipe->StatusNotification_Request(1);
    const QByteArray json2 =
        "{\n    \"connectorId\": 1,\n    \"errorCode\": \"GroundFailure\",\n    \"status\": \"Faulted\"\n}\n";
    QCOMPARE(m_dir->read("StatusNotification.json"), json2);

    m_client->startReading();
    QCOMPARE(m_client->next(), "1=StatusNotification=" + json + "\n");
    QCOMPARE(m_client->next(), "1=StatusNotification=" + json2 + "\n");
}

void tst_ocpp::statusNotificationUnwritableFileStillSends()
{
    QVERIFY(QDir(m_dir->path()).mkdir("StatusNotification.json"));
    m_pipe->StatusNotification_Request(1);
    QVERIFY(m_client->next().startsWith("1=StatusNotification={\n"));
}

void tst_ocpp::unknownConnectorIsNotSent()
{
    m_pipe->StatusNotification_Request(3);
    m_pipe->MeterValue_Request(200);
    m_pipe->Authorize_Request(65535);
    QVERIFY(nothingMoreWritten());
    QVERIFY(MeterValueCache.isEmpty());
    QVERIFY(!QFile::exists(m_dir->file("StatusNotification.json")));
}

// ---------------------------------------------------------------- inbound

void tst_ocpp::inbound_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("gunStatus");
    QTest::addColumn<int>("ownTransactionId");
    QTest::addColumn<int>("cardRead");     // before: 1
    QTest::addColumn<int>("startRequest"); // before: 2
    QTest::addColumn<int>("transactionId");
    QTest::addColumn<QString>("idTag");    // before: OLD
    QTest::addColumn<int>("reset");        // before: 0
    QTest::addColumn<QByteArray>("answer"); // empty: none
    QTest::addColumn<QString>("logged");

    const QString A = sta_Available;
    const QByteArray none;
    auto accepted = [](const QByteArray &key, const QByteArray &action) {
        return key + '=' + action + "Response={\n    \"status\": \"Accepted\"\n}\n\n";
    };
    auto rejected = [](const QByteArray &key, const QByteArray &action) {
        return key + '=' + action + "Response={\n    \"status\": \"Rejected\"\n}\n\n";
    };

    // Responses to our requests.
    QTest::newRow("authorize accepted") << QByteArray(R"(1=AuthorizeResponse={"idTagInfo":{"status":"Accepted"}})")
                                        << A << 7 << 2 << 2 << 7 << "OLD" << 0 << none << "Authorize request accepted!!";
    QTest::newRow("authorize invalid") << QByteArray(R"(1=AuthorizeResponse={"idTagInfo":{"status":"Invalid"}})")
                                       << A << 7 << 3 << 2 << 7 << "OLD" << 0 << none << "Authorize request rejected!!";
    QTest::newRow("authorize without idTagInfo") << QByteArray("1=AuthorizeResponse={}\n") << A << 7 << 3 << 2 << 7
                                                 << "OLD" << 0 << none << "Authorize request rejected!!";
    QTest::newRow("authorize idTagInfo of wrong type")
        << QByteArray(R"(1=AuthorizeResponse={"idTagInfo":"Accepted"})") << A << 7 << 3 << 2 << 7 << "OLD" << 0
        << none << "Authorize request rejected!!";
    QTest::newRow("authorize with escaped quotes")
        << QByteArray(R"(1=AuthorizeResponse={\"idTagInfo\":{\"status\":\"Accepted\"}})") << A << 7 << 2 << 2 << 7
        << "OLD" << 0 << none << "Authorize request accepted!!";
    QTest::newRow("start accepted")
        << QByteArray(R"(1=StartTransactionResponse={"idTagInfo":{"expiryDate":"2030-01-01T00:00:00Z","status":"Accepted"},"transactionId":42})")
        << A << 7 << 1 << 3 << 42 << "OLD" << 0 << none << "expiryDate = 2030-01-01T00:00:00Z";
    for (const char *status : {"Blocked", "Expired", "Invalid", "ConcurrentTx"})
        QTest::newRow(qPrintable(QString("start %1").arg(status)))
            << QByteArray("1=StartTransactionResponse={\"idTagInfo\":{\"status\":\"") + status + "\"}}" << A << 7 << 1
            << 4 << 7 << "OLD" << 0 << none << "expiryDate = ";
    QTest::newRow("start other status") << QByteArray(R"(1=StartTransactionResponse={"idTagInfo":{"status":"Pending"}})")
                                        << A << 7 << 1 << 2 << 7 << "OLD" << 0 << none << "";
    QTest::newRow("start fractional transactionId") << QByteArray(R"(1=StartTransactionResponse={"transactionId":42.5})")
                                                    << A << 7 << 1 << 2 << 0 << "OLD" << 0 << none << "";
    QTest::newRow("start string transactionId") << QByteArray(R"(1=StartTransactionResponse={"transactionId":"42"})")
                                                << A << 7 << 1 << 2 << 0 << "OLD" << 0 << none << "";
    QTest::newRow("start transactionId out of range")
        << QByteArray(R"(1=StartTransactionResponse={"transactionId":1e300})") << A << 7 << 1 << 2 << 0 << "OLD" << 0
        << none << "";
    QTest::newRow("start accepted with failure phrase")
        << QByteArray(R"(1=StartTransactionResponse={"error":"failure to process the message","idTagInfo":{"status":"Accepted"},"transactionId":5})")
        << A << 7 << 1 << 3 << 5 << "OLD" << 0 << none << "start transaction request accepted!!";
    QTest::newRow("stop accepted") << QByteArray(R"(1=StopTransactionResponse={"idTagInfo":{"status":"Accepted"}})")
                                   << A << 7 << 1 << 2 << 7 << "OLD" << 0 << none << "stop transaction request accepted!!";
    QTest::newRow("status notification response ignored") << QByteArray("1=StatusNotificationResponse={}") << A << 7
                                                           << 1 << 2 << 7 << "OLD" << 0 << none << "";

    // The central system's requests.
    QTest::newRow("remote start while available")
        << QByteArray(R"(abc=RemoteStartTransaction={"connectorId":1,"idTag":"RS-ÄÖ"})") << A << 7 << 2 << 6 << 7
        << QString::fromUtf8("RS-ÄÖ") << 0 << accepted("abc", "RemoteStartTransaction") << "";
    QTest::newRow("remote start while preparing, no idTag")
        << QByteArray(R"(k1=RemoteStartTransaction={"connectorId":1})") << sta_Preparing << 7 << 2 << 6 << 7 << "OLD"
        << 0 << accepted("k1", "RemoteStartTransaction") << "";
    QTest::newRow("remote start while charging")
        << QByteArray(R"(k2=RemoteStartTransaction={"idTag":"X"})") << sta_Charging << 7 << 1 << 7 << 7 << "OLD" << 0
        << rejected("k2", "RemoteStartTransaction") << "";
    QTest::newRow("remote start idTag of wrong type")
        << QByteArray(R"(k3=RemoteStartTransaction={"idTag":5})") << A << 7 << 2 << 6 << 7 << "" << 0
        << accepted("k3", "RemoteStartTransaction") << "";
    QTest::newRow("remote stop matching") << QByteArray(R"(s1=RemoteStopTransaction={"transactionId":7})") << A << 7
                                          << 1 << 8 << 7 << "OLD" << 0 << accepted("s1", "RemoteStopTransaction") << "";
    QTest::newRow("remote stop other transaction")
        << QByteArray(R"(s2=RemoteStopTransaction={"transactionId":8})") << A << 7 << 1 << 9 << 7 << "OLD" << 0
        << rejected("s2", "RemoteStopTransaction") << "";
    QTest::newRow("remote stop string id, own id 0")
        << QByteArray(R"(s3=RemoteStopTransaction={"transactionId":"7"})") << A << 0 << 1 << 8 << 0 << "OLD" << 0
        << accepted("s3", "RemoteStopTransaction") << "";
    QTest::newRow("remote stop string id, own id 7")
        << QByteArray(R"(s4=RemoteStopTransaction={"transactionId":"7"})") << A << 7 << 1 << 9 << 7 << "OLD" << 0
        << rejected("s4", "RemoteStopTransaction") << "";
    QTest::newRow("remote stop without transactionId") << QByteArray(R"(s5=RemoteStopTransaction={"connectorId":1})")
                                                       << A << 7 << 1 << 2 << 7 << "OLD" << 0 << none << "";
    QTest::newRow("reset soft") << QByteArray(R"(r1=Reset={"type":"Soft"})") << A << 7 << 1 << 2 << 7 << "OLD" << 1
                                << accepted("r1", "Reset") << "";
    QTest::newRow("reset hard") << QByteArray(R"(r2=Reset={"type":"Hard"})") << A << 7 << 1 << 2 << 7 << "OLD" << 2
                                << accepted("r2", "Reset") << "";
    QTest::newRow("reset lower-case soft") << QByteArray(R"(r3=Reset={"type":"soft"})") << A << 7 << 1 << 2 << 7
                                           << "OLD" << 0 << none << "";
    QTest::newRow("reset without type") << QByteArray("r4=Reset={}") << A << 7 << 1 << 2 << 7 << "OLD" << 0 << none
                                        << "";
    QTest::newRow("reset type of wrong type") << QByteArray(R"(r5=Reset={"type":1})") << A << 7 << 1 << 2 << 7 << "OLD"
                                              << 0 << none << "";

    // Bad input.
    QTest::newRow("malformed json") << QByteArray(R"(1=AuthorizeResponse={"idTagInfo":)") << A << 7 << 1 << 2 << 7
                                    << "OLD" << 0 << none << "json error!";
    QTest::newRow("empty text") << QByteArray("") << A << 7 << 1 << 2 << 7 << "OLD" << 0 << none << "json error!";
    QTest::newRow("no equals sign, valid json") << QByteArray(R"({"idTagInfo":{"status":"Accepted"}})") << A << 7 << 1
                                                << 2 << 7 << "OLD" << 0 << none << "this ocppin is about = ";
    QTest::newRow("one equals sign") << QByteArray(R"(r=Reset{"type":"Soft"})") << A << 7 << 1 << 2 << 7 << "OLD" << 0
                                     << none << "json error!";
    QTest::newRow("array payload") << QByteArray("1=AuthorizeResponse=[1,2]") << A << 7 << 3 << 2 << 7 << "OLD" << 0
                                   << none << "Authorize request rejected!!";
    QTest::newRow("array remote stop stays unanswered") << QByteArray("s=RemoteStopTransaction=[7]") << A << 7 << 1 << 2
                                                        << 7 << "OLD" << 0 << none << "";
    QTest::newRow("NUL after the json") << QByteArray(R"(1=AuthorizeResponse={"idTagInfo":{"status":"Accepted"}})") + QByteArray("\0junk", 5)
                                        << A << 7 << 2 << 2 << 7 << "OLD" << 0 << none << "";
    QTest::newRow("NUL inside the json") << QByteArray("1=AuthorizeResponse={\"idTag") + QByteArray("\0Info\":1}", 9) << A << 7 << 1 << 2
                                         << 7 << "OLD" << 0 << none << "json error!";
    QTest::newRow("escaped quote inside a value")
        << QByteArray(R"(1=AuthorizeResponse={"idTagInfo":{"status":"Acc\"epted"}})") << A << 7 << 1 << 2 << 7 << "OLD"
        << 0 << none << "json error!";
    QTest::newRow("invalid utf-8") << QByteArray("1=AuthorizeResponse={\"idTagInfo\":{\"status\":\"\xff\xfe\"}}") << A
                                   << 7 << 3 << 2 << 7 << "OLD" << 0 << none << "";
    QTest::newRow("unknown action") << QByteArray("1=HeartbeatResponse={}") << A << 7 << 1 << 2 << 7 << "OLD" << 0
                                    << none << "this ocppin is about = HeartbeatResponse";
    QTest::newRow("action compared case-sensitively") << QByteArray(R"(r=reset={"type":"Soft"})") << A << 7 << 1 << 2
                                                      << 7 << "OLD" << 0 << none << "";
    QTest::newRow("deeply nested") << QByteArray("1=AuthorizeResponse=") + QByteArray(5000, '[') + QByteArray(5000, ']')
                                   << A << 7 << 1 << 2 << 7 << "OLD" << 0 << none << "";
}

void tst_ocpp::inbound()
{
    QFETCH(QByteArray, message);
    QFETCH(QString, gunStatus);
    QFETCH(int, ownTransactionId);
    QFETCH(int, cardRead);
    QFETCH(int, startRequest);
    QFETCH(int, transactionId);
    QFETCH(QString, idTag);
    QFETCH(int, reset);
    QFETCH(QByteArray, answer);
    QFETCH(QString, logged);

    Status &gun = gun_status[1];
    gun.status = gunStatus;
    gun.transactionId = ownTransactionId;
    gun.CardRead = 1;
    gun.startRequest = 2;
    gun.IDtag = "OLD";

    QVERIFY(dispatch(message));
    QCOMPARE(int(gun.CardRead), cardRead);
    QCOMPARE(int(gun.startRequest), startRequest);
    QCOMPARE(int(gun.transactionId), transactionId);
    QCOMPARE(gun.IDtag, idTag);
    QCOMPARE(int(SystemResetReq), reset);
    if (!logged.isEmpty())
        QVERIFY2(m_log->contains(logged), qPrintable(m_log->lines().join('\n')));
    if (!answer.isEmpty())
        QCOMPARE(m_client->next(), answer);
    QVERIFY(nothingMoreWritten());
    // Nobody else's records move.
    QCOMPARE(gun_status[0].startRequest, quint16(0));
    QCOMPARE(gun_status[2].CardRead, quint16(0));
}

// ---------------------------------------------------------------- retry

void tst_ocpp::retryWorkedExample()
{
    ConfigObj.insert("TransactionMessageAttempts", "3");
    m_pipe->StartTransaction_Request(1);
    const QByteArray first = m_client->next();
    QVERIFY(!first.isEmpty());
    QTimer *timer = timer_starttransaction_retry_1;

    for (int k = 0; k < 3; ++k) {
        QVERIFY(dispatch(StartFailure));
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 10000 * (k + 1));
        QCOMPARE(int(m_pipe->Retry_StartTransactionReq), k);
        m_pipe->Retry_StartTransactionRequest();
        QCOMPARE(m_client->next(), first); // same text, same timestamp
        QCOMPARE(int(m_pipe->Retry_StartTransactionReq), k + 1);
        QCOMPARE(gun_status[1].startRequest, quint16(2));
        QCOMPARE(StartTransactionCache.size(), 1);
    }
    QVERIFY(dispatch(StartFailure));
    QCOMPARE(timer->interval(), 40000);
    m_pipe->Retry_StartTransactionRequest();
    QCOMPARE(gun_status[1].startRequest, quint16(3));
    QVERIFY(!timer->isActive());
    QVERIFY(StartTransactionCache.isEmpty());
    QCOMPARE(int(m_pipe->Retry_StartTransactionReq), 4);
    QVERIFY(nothingMoreWritten());

    // The counter carries over: the next failed start is given up at once.
    m_pipe->StartTransaction_Request(1);
    QVERIFY(!m_client->next().isEmpty());
    QVERIFY(dispatch(StartFailure));
    QCOMPARE(timer->interval(), 50000);
    m_pipe->Retry_StartTransactionRequest();
    QCOMPARE(gun_status[1].startRequest, quint16(3));
    QVERIFY(StartTransactionCache.isEmpty());
    QVERIFY(nothingMoreWritten());
}

void tst_ocpp::retryOnRealTimer()
{
    ConfigObj.insert("TransactionMessageAttempts", "2");
    Config.TransactionMessageRetryInterval = 60;
    m_pipe->StartTransaction_Request(1);
    const QByteArray start = m_client->next();
    QVERIFY(start.startsWith("1=StartTransaction="));
    // The client fails every sending of the start.
    int sent = 1;
    QVERIFY(m_client->send(StartFailure));
    for (;;) {
        QVERIFY(QTest::qWaitFor([&] { return m_client->pending() > 0 || gun_status[1].startRequest == 3; }, 3000));
        if (gun_status[1].startRequest == 3)
            break;
        QCOMPARE(m_client->next(), start);
        ++sent;
        QVERIFY(m_client->send(StartFailure));
    }
    QCOMPARE(sent, 3);
    // A failure answer that came after the give-up arms the timer once more;
    // its tick finds nothing to send and ends it.
    QTRY_VERIFY(!timer_starttransaction_retry_1->isActive());
    QVERIFY(StartTransactionCache.isEmpty());
    QCOMPARE(m_client->next(200), QByteArray());
}

void tst_ocpp::retryGiveUpKeepsTimerForStopAndMeter_data()
{
    QTest::addColumn<bool>("stop");
    QTest::newRow("StopTransaction") << true;
    QTest::newRow("MeterValues") << false;
}

void tst_ocpp::retryGiveUpKeepsTimerForStopAndMeter()
{
    QFETCH(bool, stop);
    ConfigObj.insert("TransactionMessageAttempts", "2");
    QStringList &cache = stop ? StopTransactionCache : MeterValueCache;
    QTimer *timer = stop ? timer_stoptransaction_retry_1 : timer_metervalue_retry_1;
    quint16 &counter = stop ? m_pipe->Retry_StopTransactionReq : m_pipe->Retry_MeterValueReq;
    auto request = [&] { stop ? m_pipe->StopTransacation_Request(1) : m_pipe->MeterValue_Request(1); };
    auto tick = [&] { stop ? m_pipe->Retry_StopTransactionRequest() : m_pipe->Retry_MeterValueRequest(); };

    gun_status[1].transactionId = 1;
    request();
    gun_status[1].transactionId = 2;
    request();
    const QByteArray older = m_client->next();
    const QByteArray newer = m_client->next();
    QVERIFY(!older.isEmpty() && older != newer);
    QVERIFY(dispatch(stop ? StopFailure : MeterFailure));
    QVERIFY(timer->isActive());

    tick();
    QCOMPARE(m_client->next(), newer);
    tick();
    QCOMPARE(m_client->next(), newer);
    QCOMPARE(int(counter), 2);
    tick(); // give up the newest: counter back to 0, then counted
    QCOMPARE(int(counter), 1);
    QCOMPARE(cache.size(), 1);
    QVERIFY(timer->isActive());
    tick();
    QCOMPARE(m_client->next(), older);
    tick();
    QCOMPARE(int(counter), 1);
    QVERIFY(cache.isEmpty());
    QVERIFY(timer->isActive());
    tick(); // nothing left: the timer ends
    QVERIFY(!timer->isActive());
    QCOMPARE(int(counter), 1);
    QVERIFY(nothingMoreWritten());
}

void tst_ocpp::retryWithoutAttemptLimitGivesUpAtOnce()
{
    m_pipe->StartTransaction_Request(1);
    QVERIFY(!m_client->next().isEmpty());
    QVERIFY(dispatch(StartFailure));
    m_pipe->Retry_StartTransactionRequest();
    QCOMPARE(gun_status[1].startRequest, quint16(3));
    QVERIFY(StartTransactionCache.isEmpty());
    QVERIFY(!timer_starttransaction_retry_1->isActive());
    QVERIFY(nothingMoreWritten());
}

void tst_ocpp::normalResponseEndsRetry()
{
    ConfigObj.insert("TransactionMessageAttempts", "5");
    m_pipe->StopTransacation_Request(1);
    QVERIFY(!m_client->next().isEmpty());
    QVERIFY(dispatch(StopFailure));
    m_pipe->Retry_StopTransactionRequest();
    QVERIFY(!m_client->next().isEmpty());
    QVERIFY(dispatch(R"(1=StopTransactionResponse={"idTagInfo":{"status":"Accepted"}})"));
    QVERIFY(!timer_stoptransaction_retry_1->isActive());
    QVERIFY(StopTransactionCache.isEmpty());
    QCOMPARE(int(m_pipe->Retry_StopTransactionReq), 1);
    // A further answer finds the cache empty and leaves it so.
    QVERIFY(dispatch("1=StopTransactionResponse={}"));
    QVERIFY(StopTransactionCache.isEmpty());
}

void tst_ocpp::secondFailureKeepsInterval()
{
    m_pipe->MeterValue_Request(1);
    QVERIFY(!m_client->next().isEmpty());
    QVERIFY(dispatch(MeterFailure));
    QCOMPARE(timer_metervalue_retry_1->interval(), 10000);
    QVERIFY(dispatch(MeterFailure));
    QCOMPARE(timer_metervalue_retry_1->interval(), 10000);
    QVERIFY(timer_metervalue_retry_1->isActive());
    QCOMPARE(MeterValueCache.size(), 1);
}

void tst_ocpp::responsesAfterStopLeaveTimersAlone()
{
    ConfigObj.insert("TransactionMessageAttempts", "3");
    m_pipe->StartTransaction_Request(1);
    m_pipe->StopTransacation_Request(1);
    QVERIFY(!m_client->next().isEmpty());
    QVERIFY(!m_client->next().isEmpty());
    QVERIFY(dispatch(StartFailure));
    m_pipe->stop();
    QVERIFY(!timer_starttransaction_retry_1 && !timer_stoptransaction_retry_1 && !timer_metervalue_retry_1 &&
            !timer_authorize_retry_1);
    // The reader still delivers; nothing reaches a deleted timer.
    QVERIFY(dispatch(StartFailure));
    QVERIFY(dispatch(StopFailure));
    QVERIFY(dispatch(MeterFailure));
    QVERIFY(dispatch("1=StopTransactionResponse={}"));
    QVERIFY(StopTransactionCache.isEmpty());
    QVERIFY(dispatch(R"(q=Reset={"type":"Hard"})"));
    QCOMPARE(SystemResetReq, quint16(2));
    m_pipe->Retry_StartTransactionRequest();
    m_pipe->Retry_MeterValueRequest();
    m_pipe->Retry_StopTransactionRequest();
    QCOMPARE(StartTransactionCache.size(), 1);
}

void tst_ocpp::authorizeRetryStaysUnwired()
{
    ConfigObj.insert("TransactionMessageAttempts", "2");
    gun_status[1].IDtag = "CARD";
    QVERIFY(dispatch(R"(1=AuthorizeResponse={"error":"failure to process the message"})"));
    QVERIFY(!timer_authorize_retry_1->isActive());
    QSignalSpy noResponse(m_pipe.get(), &Thread_pipe::signal_CS_NoResponse);
    m_pipe->Retry_AuthorizeRequest();
    QCOMPARE(m_client->next(), QByteArray("1=Authorize={\n    \"idTag\": \"CARD\"\n}\n\n"));
    QCOMPARE(noResponse.count(), 0);
    m_pipe->Retry_AuthorizeRequest();
    QCOMPARE(noResponse.count(), 1);
    QVERIFY(nothingMoreWritten());
}

QTEST_GUILESS_MAIN(tst_ocpp)
#include "tst_ocpp.moc"
