// test-components: core pipe
// The OCPP messages over real FIFOs with a client at the far end: the bytes
// of the five requests, every inbound action with its answer, bad input, and
// the re-sending of transaction messages.

#include "testsupport.h"
#include "thread_pipe.h"
#include "tst_pipe_farend.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextCodec>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <memory>

// Out of the class: its parser stumbles over backslashes in raw strings.
static const char EscapedQuotes[] = R"(1=AuthorizeResponse={\"idTagInfo\":{\"status\":\"Accepted\"}})";
static const char QuoteInValue[] = R"(1=AuthorizeResponse={"idTagInfo":{"status":"Acc\"epted"}})";

static QByteArray failure(const char *action)
{
    return QByteArray("1=") + action + "Response={\"error\": \"failure to process the message\"}";
}

// Before each row connector 1 is in `status` with transaction `ownTx`,
// CardRead 1, startRequest 2, IDtag "OLD", and no reset is asked for.
// `after`: CardRead,startRequest,transactionId,IDtag,SystemResetReq.
// `answer`: the status the link answers with under the message's key.
static void row(const char *name, const QByteArray &message, const char *after, const char *answer = "",
                const QString &status = sta_Available, int ownTx = 7)
{
    QTest::newRow(name) << message << QString::fromUtf8(after) << QByteArray(answer) << status << ownTx;
}

class tst_ocpp : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<Thread_pipe> m_pipe;
    std::unique_ptr<FarEnd> m_client;

    // Sends one message and waits until the link has dispatched it.
    bool dispatch(const QByteArray &message)
    {
        const int before = m_log->count("this ocppin is about = ");
        return m_client->send(message) &&
               QTest::qWaitFor([&] { return m_log->count("this ocppin is about = ") > before; }, 3000);
    }
    // Whatever the link wrote before this point has been read already.
    bool nothingMoreWritten()
    {
        emit m_pipe->ocppwrite("marker");
        return m_client->next() == "marker\n";
    }
    QJsonObject payload(const QByteArray &prefix)
    {
        const QByteArray got = m_client->next();
        return got.startsWith(prefix) ? QJsonDocument::fromJson(got.mid(prefix.size())).object() : QJsonObject();
    }

private slots:
    void initTestCase()
    {
        std::signal(SIGPIPE, SIG_IGN);
        // A panel in the C locale must still speak UTF-8 on the link.
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    }
    void init()
    {
        resetOcppState();
        m_dir = std::make_unique<TestDataDir>();
        m_log = std::make_unique<LogCapture>();
        m_pipe = std::make_unique<Thread_pipe>();
        m_client = std::make_unique<FarEnd>(m_dir->path());
        m_client->startReading();
    }
    void cleanup() { m_client.reset(), m_pipe.reset(), m_log.reset(), m_dir.reset(); }

    void requestBytes_data()
    {
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QByteArray>("json"); // compact here, indented on the link
        auto req = [](const char *action, const char *slot, const char *json) {
            QTest::newRow(action) << QByteArray(slot) << QByteArray(action) << QByteArray(json);
        };
        req("Authorize", "Authorize_Request", R"({"idTag":"Jürgen-ÄÖ✓"})");
        req("StartTransaction", "StartTransaction_Request",
            R"({"connectorId":1,"idTag":"Jürgen-ÄÖ✓","meterStart":1234,"reservationId":0,"timestamp":"%TS%"})");
        req("StopTransaction", "StopTransacation_Request",
            R"({"meterStop":1250,"reason":"Remote","timestamp":"%TS%","transactionId":42})");
        req("MeterValues", "MeterValue_Request",
            R"({"connectorId":1,"meterValue":[{"sampledValue":[{"format":"Raw","measurand":"Voltage","unit":"V",)"
            R"("value":"400.1"}],"timestamp":"%TS%"}],"transactionId":42})");
        req("StatusNotification", "StatusNotification_Request",
            R"({"connectorId":1,"errorCode":"NoError","status":"Charging"})");
    }
    void requestBytes()
    {
        QFETCH(QByteArray, slot);
        QFETCH(QByteArray, action);
        QFETCH(QByteArray, json);
        Status &gun = gun_status[1];
        gun.IDtag = QString::fromUtf8("Jürgen-ÄÖ✓");
        gun.f_startmeter = 1234.9f;
        gun.f_stopmeter = 1250.7f;
        gun.stopReason = Remote;
        gun.transactionId = 42;
        gun.f_voltage = 400.06f;
        gun.status = sta_Charging;
        ConfigObj.insert("MeterValuesSampledData", "Voltage");
        QVERIFY(QMetaObject::invokeMethod(m_pipe.get(), slot.constData(), Q_ARG(ushort, 1)));
        const QRegularExpression stamp(R"("timestamp": "\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ")");
        QCOMPARE(QString::fromUtf8(m_client->next()).replace(stamp, R"("timestamp": "%TS%")"),
                 QString::fromUtf8("1=" + action + '=' + QJsonDocument::fromJson(json).toJson() + '\n'));
    }

    void meterStartTruncatesTowardZero()
    {
        for (const auto &c : QList<QPair<float, qlonglong>>{{-2.5f, -2}, {99999.9f, 99999}, {std::nanf(""), 0}}) {
            gun_status[1].f_startmeter = c.first;
            m_pipe->StartTransaction_Request(1);
            QCOMPARE(payload("1=StartTransaction=").value("meterStart").toVariant().toLongLong(), c.second);
        }
    }

    void meterValuesSampledData_data()
    {
        QTest::addColumn<QVariant>("setting");
        QTest::addColumn<QStringList>("samples"); // measurand|unit|value
        const QStringList unknownEmpty{"|null|NotSupported"};
        QTest::newRow("absent") << QVariant() << unknownEmpty;
        QTest::newRow("empty") << QVariant("") << unknownEmpty;
        QTest::newRow("not a string") << QVariant(5) << unknownEmpty;
        QTest::newRow("double comma") << QVariant("Voltage,,SoC")
                                      << QStringList{"Voltage|V|230.0", "|null|NotSupported", "SoC|Percent|55"};
        QTest::newRow("blanks around names")
            << QVariant(" Voltage,SoC ") << QStringList{" Voltage|null|NotSupported", "SoC |null|NotSupported"};
        QTest::newRow("energy, current") << QVariant("Power.Active.Export,Current.Export")
                                         << QStringList{"Power.Active.Export|kWh|1234.5", "Current.Export|A|0.0"};
    }
    void meterValuesSampledData()
    {
        QFETCH(QVariant, setting);
        QFETCH(QStringList, samples);
        if (setting.isValid())
            ConfigObj.insert("MeterValuesSampledData", QJsonValue::fromVariant(setting));
        gun_status[1].f_voltage = 230.04f;
        gun_status[1].soc = 55;
        gun_status[1].f_energy = 1234.5f;
        m_pipe->MeterValue_Request(1);
        const QJsonArray meterValue = payload("1=MeterValues=").value("meterValue").toArray();
        QCOMPARE(meterValue.size(), 1);
        QStringList seen;
        for (const QJsonValue &v : meterValue.at(0)["sampledValue"].toArray())
            seen << v["measurand"].toString() + '|' + v["unit"].toString() + '|' + v["value"].toString();
        QCOMPARE(seen, samples);
    }

    void statusNotificationFile()
    {
        // Written at once, while the message still waits for a reader.
        m_client->stopReading();
        gun_status[1].status = sta_Faulted;
        gun_status[1].errorcode = err_GroundFailure;
        m_pipe->StatusNotification_Request(1);
        const QByteArray json =
            "{\n    \"connectorId\": 1,\n    \"errorCode\": \"GroundFailure\",\n    \"status\": \"Faulted\"\n}\n";
        QCOMPARE(m_dir->read("StatusNotification.json"), json);
        m_client->startReading();
        QCOMPARE(m_client->next(), "1=StatusNotification=" + json + "\n");
        // A file that cannot be written does not hold the message back.
        QVERIFY(QFile::remove(m_dir->file("StatusNotification.json")));
        QVERIFY(QDir(m_dir->path()).mkdir("StatusNotification.json"));
        m_pipe->StatusNotification_Request(1);
        QCOMPARE(m_client->next(), "1=StatusNotification=" + json + "\n");
    }

    void unknownConnectorIsNotSent()
    {
        m_pipe->StatusNotification_Request(3);
        m_pipe->MeterValue_Request(200);
        m_pipe->Authorize_Request(65535);
        QVERIFY(nothingMoreWritten());
        QVERIFY(MeterValueCache.isEmpty());
        QVERIFY(!QFile::exists(m_dir->file("StatusNotification.json")));
    }

    void inbound_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("ownTx");
        const char *same = "1,2,7,OLD,0";
        // Answers to our requests.
        row("authorize accepted", R"(1=AuthorizeResponse={"idTagInfo":{"status":"Accepted"}})", "2,2,7,OLD,0");
        row("authorize invalid", R"(1=AuthorizeResponse={"idTagInfo":{"status":"Invalid"}})", "3,2,7,OLD,0");
        row("authorize idTagInfo of wrong type", R"(1=AuthorizeResponse={"idTagInfo":"Accepted"})", "3,2,7,OLD,0");
        row("authorize escaped quotes", EscapedQuotes, "2,2,7,OLD,0");
        row("start accepted", R"(1=StartTransactionResponse={"idTagInfo":{"status":"Accepted"},"transactionId":42})",
            "1,3,42,OLD,0");
        for (const char *s : {"Blocked", "Expired", "Invalid", "ConcurrentTx"})
            row(s, QByteArray("1=StartTransactionResponse={\"idTagInfo\":{\"status\":\"") + s + "\"}}", "1,4,7,OLD,0");
        row("start string transactionId", R"(1=StartTransactionResponse={"transactionId":"42"})", "1,2,0,OLD,0");
        row("start transactionId out of range", R"(1=StartTransactionResponse={"transactionId":1e300})", "1,2,0,OLD,0");
        row("start accepted with failure phrase",
            R"(1=StartTransactionResponse={"error":"failure to process the message",)"
            R"("idTagInfo":{"status":"Accepted"},"transactionId":5})",
            "1,3,5,OLD,0");
        row("stop accepted", R"(1=StopTransactionResponse={"idTagInfo":{"status":"Accepted"}})", same);
        // The central system's requests.
        row("remote start", R"(abc=RemoteStartTransaction={"connectorId":1,"idTag":"RS-ÄÖ"})", "2,6,7,RS-ÄÖ,0",
            "Accepted");
        row("remote start preparing, no idTag", R"(k1=RemoteStartTransaction={"connectorId":1})", "2,6,7,OLD,0",
            "Accepted", sta_Preparing);
        row("remote start charging", R"(k2=RemoteStartTransaction={"idTag":"X"})", "1,7,7,OLD,0", "Rejected",
            sta_Charging);
        row("remote start idTag of wrong type", R"(k3=RemoteStartTransaction={"idTag":5})", "2,6,7,,0", "Accepted");
        row("remote stop", R"(s1=RemoteStopTransaction={"transactionId":7})", "1,8,7,OLD,0", "Accepted");
        row("remote stop other", R"(s2=RemoteStopTransaction={"transactionId":8})", "1,9,7,OLD,0", "Rejected");
        row("remote stop string id, own 0", R"(s3=RemoteStopTransaction={"transactionId":"7"})", "1,8,0,OLD,0",
            "Accepted", sta_Available, 0);
        row("remote stop string id, own 7", R"(s4=RemoteStopTransaction={"transactionId":"7"})", "1,9,7,OLD,0",
            "Rejected");
        row("remote stop without transactionId", R"(s5=RemoteStopTransaction={"connectorId":1})", same);
        row("reset soft", R"(r1=Reset={"type":"Soft"})", "1,2,7,OLD,1", "Accepted");
        row("reset hard", R"(r2=Reset={"type":"Hard"})", "1,2,7,OLD,2", "Accepted");
        row("reset lower-case soft", R"(r3=Reset={"type":"soft"})", same);
        row("reset type of wrong type", R"(r5=Reset={"type":1})", same);
        // Bad input.
        row("malformed json", R"(1=AuthorizeResponse={"idTagInfo":)", same);
        row("empty text", "", same);
        row("no equals sign", R"({"idTagInfo":{"status":"Accepted"}})", same);
        row("array payload", "1=AuthorizeResponse=[1,2]", "3,2,7,OLD,0");
        row("array remote stop stays unanswered", "s=RemoteStopTransaction=[7]", same);
        row("NUL after the json",
            QByteArray(R"(1=AuthorizeResponse={"idTagInfo":{"status":"Accepted"}})") + QByteArray("\0junk", 5),
            "2,2,7,OLD,0");
        row("NUL inside the json", QByteArray("1=AuthorizeResponse={\"idTag") + QByteArray("\0Info\":1}", 9), same);
        row("escaped quote in a value", QuoteInValue, same);
        row("unknown action", "1=HeartbeatResponse={}", same);
        row("deeply nested", "1=AuthorizeResponse=" + QByteArray(5000, '[') + QByteArray(5000, ']'), same);
    }
    void inbound()
    {
        QFETCH(QByteArray, message);
        QFETCH(QString, after);
        QFETCH(QByteArray, answer);
        QFETCH(QString, status);
        QFETCH(int, ownTx);
        Status &gun = gun_status[1];
        gun.status = status;
        gun.transactionId = ownTx;
        gun.CardRead = 1;
        gun.startRequest = 2;
        gun.IDtag = "OLD";
        QVERIFY(dispatch(message));
        QCOMPARE(QString("%1,%2,%3,%4,%5")
                     .arg(gun.CardRead).arg(gun.startRequest).arg(gun.transactionId).arg(gun.IDtag).arg(SystemResetReq),
                 after);
        const QList<QByteArray> parts = message.split('=');
        if (!answer.isEmpty())
            QCOMPARE(m_client->next(), parts[0] + '=' + parts[1] + "Response={\n    \"status\": \"" + answer + "\"\n}\n\n");
        QVERIFY(nothingMoreWritten());
        QVERIFY(gun_status[0].startRequest == 0 && gun_status[2].CardRead == 0); // nobody else's record moves
    }

    // Three attempts at 10 s: re-sent at 10, 20, 30 s, given up at the fourth tick.
    void retryWorkedExample()
    {
        ConfigObj.insert("TransactionMessageAttempts", "3");
        m_pipe->StartTransaction_Request(1);
        const QByteArray first = m_client->next();
        QVERIFY(!first.isEmpty());
        QTimer *timer = timer_starttransaction_retry_1;
        for (int k = 0; k < 4; ++k) {
            QVERIFY(dispatch(failure("StartTransaction")));
            QVERIFY(timer->isActive());
            QCOMPARE(timer->interval(), 10000 * (k + 1));
            m_pipe->Retry_StartTransactionRequest();
            QCOMPARE(int(m_pipe->Retry_StartTransactionReq), k + 1);
            QCOMPARE(gun_status[1].startRequest, quint16(k < 3 ? 2 : 3));
            if (k < 3)
                QCOMPARE(m_client->next(), first); // same text, same timestamp
        }
        QVERIFY(!timer->isActive());
        QVERIFY(StartTransactionCache.isEmpty());
        QVERIFY(nothingMoreWritten());
        // The counter carries over: the next failed start is given up at once.
        m_pipe->StartTransaction_Request(1);
        QVERIFY(!m_client->next().isEmpty());
        QVERIFY(dispatch(failure("StartTransaction")));
        QCOMPARE(timer->interval(), 50000);
        m_pipe->Retry_StartTransactionRequest();
        QVERIFY(StartTransactionCache.isEmpty());
        QVERIFY(nothingMoreWritten());
    }

    // Unlike a start, a stop or meter message given up makes way for the one before it.
    void retryGiveUpKeepsTimerForStopAndMeter_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::newRow("StopTransaction") << true;
        QTest::newRow("MeterValues") << false;
    }
    void retryGiveUpKeepsTimerForStopAndMeter()
    {
        QFETCH(bool, stop);
        ConfigObj.insert("TransactionMessageAttempts", "2");
        QTimer *timer = stop ? timer_stoptransaction_retry_1 : timer_metervalue_retry_1;
        auto request = [&] { stop ? m_pipe->StopTransacation_Request(1) : m_pipe->MeterValue_Request(1); };
        auto tick = [&] { stop ? m_pipe->Retry_StopTransactionRequest() : m_pipe->Retry_MeterValueRequest(); };
        gun_status[1].transactionId = 1;
        request();
        gun_status[1].transactionId = 2;
        request();
        const QByteArray older = m_client->next(), newer = m_client->next();
        QVERIFY(!older.isEmpty() && older != newer);
        QVERIFY(dispatch(failure(stop ? "StopTransaction" : "MeterValues")));
        for (int i = 0; i < 5; ++i)
            tick(); // newer, newer, give up, older, give up
        for (const QByteArray &m : {newer, newer, older})
            QCOMPARE(m_client->next(), m);
        QVERIFY((stop ? StopTransactionCache : MeterValueCache).isEmpty());
        QVERIFY(timer->isActive());
        tick(); // nothing left: the timer ends
        QVERIFY(!timer->isActive());
        QCOMPARE(int(stop ? m_pipe->Retry_StopTransactionReq : m_pipe->Retry_MeterValueReq), 1);
        QVERIFY(nothingMoreWritten());
    }

    void normalResponseEndsRetry()
    {
        ConfigObj.insert("TransactionMessageAttempts", "5");
        m_pipe->StopTransacation_Request(1);
        QVERIFY(!m_client->next().isEmpty());
        QVERIFY(dispatch(failure("StopTransaction")));
        QVERIFY(dispatch(R"(1=StopTransactionResponse={"idTagInfo":{"status":"Accepted"}})"));
        QVERIFY(!timer_stoptransaction_retry_1->isActive());
        QVERIFY(StopTransactionCache.isEmpty());
    }

    void responsesAfterStopLeaveTimersAlone()
    {
        ConfigObj.insert("TransactionMessageAttempts", "3");
        m_pipe->StartTransaction_Request(1);
        QVERIFY(!m_client->next().isEmpty());
        QVERIFY(dispatch(failure("StartTransaction"))); // its timer runs when deleted
        m_pipe->stop();
        QVERIFY(!timer_starttransaction_retry_1 && !timer_stoptransaction_retry_1 && !timer_metervalue_retry_1 &&
                !timer_authorize_retry_1);
        // The reader still delivers; nothing reaches a deleted timer.
        for (const char *action : {"StartTransaction", "StopTransaction", "MeterValues"})
            QVERIFY(dispatch(failure(action)));
        QVERIFY(dispatch(R"(q=Reset={"type":"Hard"})"));
        QCOMPARE(SystemResetReq, quint16(2));
        m_pipe->Retry_StartTransactionRequest();
        m_pipe->Retry_MeterValueRequest();
        m_pipe->Retry_StopTransactionRequest();
    }

    void authorizeRetryStaysUnwired()
    {
        ConfigObj.insert("TransactionMessageAttempts", "2");
        gun_status[1].IDtag = "CARD";
        QVERIFY(dispatch(failure("Authorize")));
        QVERIFY(!timer_authorize_retry_1->isActive());
        // Called by hand it re-sends once, then reports the central system silent.
        QSignalSpy noResponse(m_pipe.get(), &Thread_pipe::signal_CS_NoResponse);
        m_pipe->Retry_AuthorizeRequest();
        QCOMPARE(m_client->next(), QByteArray("1=Authorize={\n    \"idTag\": \"CARD\"\n}\n\n"));
        m_pipe->Retry_AuthorizeRequest();
        QCOMPARE(noResponse.count(), 1);
        QVERIFY(nothingMoreWritten());
    }
};

QTEST_GUILESS_MAIN(tst_ocpp)
#include "tst_ocpp.moc"
