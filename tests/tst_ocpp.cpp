// test-components: common pipe
// The OCPP messages over real FIFOs with a client at the far end.

#include "ocpplink.h"

#include <QtTest>

#include <cmath>
#include <csignal>

// Out of the class: its parser stumbles over backslashes in raw strings.
static const char EscapedQuotes[] = R"(1=AuthorizeResponse={\"idTagInfo\":{\"status\":\"Accepted\"}})";
static const char QuoteInValue[] = R"(1=AuthorizeResponse={"idTagInfo":{"status":"Acc\"epted"}})";

static QByteArray failure(const char *action)
{
    return QByteArray("1=") + action + "Response={\"error\": \"failure to process the message\"}";
}

// Before: connector 1 in `status`, transaction `ownTx`, CardRead 1, startRequest 2, IDtag "OLD".
// `after`: CardRead,startRequest,transactionId,IDtag,SystemResetReq; `answer`: the status answered.
static void row(const char *name, const QByteArray &message, const char *after, const char *answer = "",
                const QString &status = sta_Available, int ownTx = 7)
{
    QTest::newRow(name) << message << QString::fromUtf8(after) << QByteArray(answer) << status << ownTx;
}

class tst_ocpp : public QObject
{
    Q_OBJECT

    std::unique_ptr<OcppLink> m_link;
    TestDataDir *m_dir = nullptr;
    LogCapture *m_log = nullptr;
    Thread_pipe *m_pipe = nullptr;
    FarEnd *m_client = nullptr;

    bool dispatch(const QByteArray &message) { return m_link->deliver(message); }
    bool nothingMoreWritten() { return m_link->nothingMoreWritten(); }
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
        m_link = std::make_unique<OcppLink>();
        m_dir = &m_link->dir, m_log = &m_link->log, m_pipe = &m_link->pipe, m_client = &m_link->client;
    }
    void cleanup() { m_link.reset(); }

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
        QVERIFY(QMetaObject::invokeMethod(m_pipe, slot.constData(), Q_ARG(ushort, 1)));
        if (action == "StatusNotification") // rewritten before the message goes out
            QCOMPARE(m_dir->read("StatusNotification.json"), QJsonDocument::fromJson(json).toJson());
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
        QTest::newRow("double comma") << QVariant("Voltage,,SoC")
                                      << QStringList{"Voltage|V|230.0", "|null|NotSupported", "SoC|Percent|55"};
        QTest::newRow("blanks around names")
            << QVariant(" Voltage,SoC ") << QStringList{" Voltage|null|NotSupported", "SoC |null|NotSupported"};
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

    void inbound_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("ownTx");
        const char *same = "1,2,7,OLD,0";
        row("authorize accepted", R"(1=AuthorizeResponse={"idTagInfo":{"status":"Accepted"}})", "2,2,7,OLD,0");
        row("authorize idTagInfo of wrong type", R"(1=AuthorizeResponse={"idTagInfo":"Accepted"})", "3,2,7,OLD,0");
        row("authorize escaped quotes", EscapedQuotes, "2,2,7,OLD,0");
        row("start accepted", R"(1=StartTransactionResponse={"idTagInfo":{"status":"Accepted"},"transactionId":42})",
            "1,3,42,OLD,0");
        row("start blocked", R"(1=StartTransactionResponse={"idTagInfo":{"status":"Blocked"}})", "1,4,7,OLD,0");
        // Without idTagInfo or with a status outside the list: no answer, nothing changes.
        row("start without idTagInfo", R"(1=StartTransactionResponse={"transactionId":42})", "1,2,7,OLD,0");
        row("start unknown status", R"(1=StartTransactionResponse={"idTagInfo":{"status":"Pending"},"transactionId":42})",
            "1,2,7,OLD,0");
        row("start accepted with failure phrase",
            R"(1=StartTransactionResponse={"error":"failure to process the message",)"
            R"("idTagInfo":{"status":"Accepted"},"transactionId":5})",
            "1,3,5,OLD,0");
        row("remote start", R"(abc=RemoteStartTransaction={"connectorId":1,"idTag":"RS-ÄÖ"})", "2,6,7,RS-ÄÖ,0",
            "Accepted");
        row("remote start charging", R"(k2=RemoteStartTransaction={"idTag":"X"})", "1,7,7,OLD,0", "Rejected",
            sta_Charging);
        row("remote stop", R"(s1=RemoteStopTransaction={"transactionId":7})", "1,8,7,OLD,0", "Accepted");
        row("remote stop other", R"(s2=RemoteStopTransaction={"transactionId":8})", "1,9,7,OLD,0", "Rejected");
        row("remote stop string id, own 0", R"(s3=RemoteStopTransaction={"transactionId":"7"})", "1,8,0,OLD,0",
            "Accepted", sta_Available, 0);
        row("reset soft", R"(r1=Reset={"type":"Soft"})", "1,2,7,OLD,1", "Accepted");
        row("reset hard", R"(r2=Reset={"type":"Hard"})", "1,2,7,OLD,2", "Accepted");
        row("reset lower-case soft", R"(r3=Reset={"type":"soft"})", same);
        row("malformed json", R"(1=AuthorizeResponse={"idTagInfo":)", same);
        row("empty text", "", same);
        row("no equals sign", R"({"idTagInfo":{"status":"Accepted"}})", same);
        row("array payload", "1=AuthorizeResponse=[1,2]", "3,2,7,OLD,0");
        row("array remote stop stays unanswered", "s=RemoteStopTransaction=[7]", same);
        row("NUL after the json",
            QByteArray(R"(1=AuthorizeResponse={"idTagInfo":{"status":"Accepted"}})") + QByteArray("\0junk", 5),
            "2,2,7,OLD,0");
        row("escaped quote in a value", QuoteInValue, same);
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
            QCOMPARE(m_client->next(),
                     parts[0] + '=' + parts[1] + "Response={\n    \"status\": \"" + answer + "\"\n}\n\n");
        QVERIFY(nothingMoreWritten());
    }

    // Three attempts at 10 s: re-sent at 10, 20, 30 s, given up at the fourth tick.
    void retryWorkedExample()
    {
        ConfigObj.insert("TransactionMessageAttempts", "3");
        m_pipe->StartTransaction_Request(1);
        const QByteArray first = m_client->next();
        QTimer *timer = timer_starttransaction_retry_1;
        for (int k = 0; k < 4; ++k) {
            QVERIFY(dispatch(failure("StartTransaction")));
            QVERIFY(timer->isActive());
            QCOMPARE(timer->interval(), 10000 * (k + 1));
            m_pipe->Retry_StartTransactionRequest();
            QCOMPARE(int(m_pipe->Retry_StartTransactionReq), k < 3 ? k + 1 : 0); // a give-up starts afresh
            QCOMPARE(gun_status[1].startRequest, quint16(k < 3 ? 2 : 3));
            if (k < 3)
                QCOMPARE(m_client->next(), first); // same text, same timestamp
        }
        QVERIFY(!timer->isActive() && StartTransactionCache.isEmpty());
        // The next start has attempts of its own: it goes out again.
        m_pipe->StartTransaction_Request(1);
        const QByteArray second = m_client->next();
        QVERIFY(dispatch(failure("StartTransaction")));
        QCOMPARE(timer->interval(), 10000);
        m_pipe->Retry_StartTransactionRequest();
        QCOMPARE(m_client->next(), second);
    }

    // A FIFO client answers in the order of sending: each answer settles the
    // oldest message awaiting one, a failed one is sent again in its turn,
    // and its attempts end with its success.
    void answersSettleInOrder_data()
    {
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QByteArray>("accepted");
        QTest::newRow("StartTransaction") << QByteArray("StartTransaction_Request") << QByteArray("StartTransaction")
                                          << QByteArray(R"({"idTagInfo":{"status":"Accepted"},"transactionId":9})");
        QTest::newRow("StopTransaction") << QByteArray("StopTransacation_Request") << QByteArray("StopTransaction")
                                         << QByteArray(R"({"idTagInfo":{"status":"Accepted"}})");
        QTest::newRow("MeterValues") << QByteArray("MeterValue_Request") << QByteArray("MeterValues") << QByteArray("{}");
    }
    void answersSettleInOrder()
    {
        QFETCH(QByteArray, slot);
        QFETCH(QByteArray, action);
        QFETCH(QByteArray, accepted);
        ConfigObj.insert("TransactionMessageAttempts", "3");
        QStringList &cache = action == "StartTransaction" ? StartTransactionCache
                             : action == "StopTransaction" ? StopTransactionCache : MeterValueCache;
        QTimer *timer = action == "StartTransaction" ? timer_starttransaction_retry_1
                        : action == "StopTransaction" ? timer_stoptransaction_retry_1 : timer_metervalue_retry_1;
        const QByteArray retrySlot = "Retry_" + QByteArray(action).replace("MeterValues", "MeterValue") + "Request";
        auto retry = [&] { QVERIFY(QMetaObject::invokeMethod(m_pipe, retrySlot.constData())); };
        for (const char *tag : {"older", "newer"}) {
            gun_status[1].IDtag = tag;
            gun_status[1].transactionId = tag[0];
            QVERIFY(QMetaObject::invokeMethod(m_pipe, slot.constData(), Q_ARG(ushort, 1)));
        }
        const QByteArray older = m_client->next(), newer = m_client->next();
        QVERIFY(older != newer);
        const QByteArray ok = "1=" + action + "Response=" + accepted;
        QVERIFY(dispatch(ok)); // answers the older
        QCOMPARE(cache, QStringList{QString::fromUtf8(newer.chopped(1))});
        QVERIFY(dispatch(failure(action))); // the newer failed
        retry();
        QCOMPARE(m_client->next(), newer);
        QVERIFY(dispatch(failure(action)));
        retry();
        QCOMPARE(m_client->next(), newer);
        QVERIFY(dispatch(ok));
        QVERIFY(cache.isEmpty() && !timer->isActive());
        QCOMPARE(action == "StartTransaction" ? int(m_pipe->Retry_StartTransactionReq)
                 : action == "StopTransaction" ? int(m_pipe->Retry_StopTransactionReq)
                                               : int(m_pipe->Retry_MeterValueReq),
                 0);
        QVERIFY(nothingMoreWritten());
    }

    // A response that is no answer (no idTagInfo, or a status outside the
    // list) leaves the start to the retry, whose give-up ends the wait.
    void malformedStartIsSentAgain()
    {
        ConfigObj.insert("TransactionMessageAttempts", "1");
        m_pipe->StartTransaction_Request(1);
        const QByteArray start = m_client->next();
        QVERIFY(dispatch(R"(1=StartTransactionResponse={"status":"Accepted","transactionId":4})"));
        QVERIFY(timer_starttransaction_retry_1->isActive());
        QCOMPARE(StartTransactionCache.size(), 1);
        m_pipe->Retry_StartTransactionRequest();
        QCOMPARE(m_client->next(), start);
        QVERIFY(dispatch(R"(1=StartTransactionResponse={"idTagInfo":{"status":"Maybe"}})"));
        m_pipe->Retry_StartTransactionRequest();
        QCOMPARE(gun_status[1].startRequest, quint16(3)); // given up: the session goes on
        QVERIFY(StartTransactionCache.isEmpty());
    }

    // A client that never answers: MeterValues are kept up to a bound, the
    // oldest going first; starts and stops are never dropped.
    void unansweredCachesAreBounded()
    {
        for (int i = 0; i < Thread_pipe::MaxMeterValuesKept - 1; ++i)
            MeterValueCache << QString("1=MeterValues=old %1").arg(i);
        for (int i = 0; i < Thread_pipe::MaxMeterValuesKept; ++i)
            StopTransactionCache << QString("1=StopTransaction=old %1").arg(i);
        m_pipe->MeterValue_Request(1);
        QCOMPARE(MeterValueCache.size(), Thread_pipe::MaxMeterValuesKept);
        QCOMPARE(MeterValueCache.first(), QString("1=MeterValues=old 0"));
        m_pipe->MeterValue_Request(1);
        QCOMPARE(MeterValueCache.size(), Thread_pipe::MaxMeterValuesKept);
        QCOMPARE(MeterValueCache.first(), QString("1=MeterValues=old 1"));
        QVERIFY(m_log->contains("MeterValues not answered"));
        m_pipe->StopTransacation_Request(1);
        QCOMPARE(StopTransactionCache.size(), Thread_pipe::MaxMeterValuesKept + 1);
    }

    void responsesAfterStopLeaveTimersAlone()
    {
        ConfigObj.insert("TransactionMessageAttempts", "3");
        m_pipe->StartTransaction_Request(1);
        QVERIFY(!m_client->next().isEmpty() && dispatch(failure("StartTransaction"))); // its timer runs
        m_pipe->stop();
        for (const char *action : {"StartTransaction", "StopTransaction", "MeterValues"})
            QVERIFY(dispatch(failure(action))); // the reader still delivers; no deleted timer is touched
        m_pipe->Retry_StartTransactionRequest();
        m_pipe->Retry_StopTransactionRequest();
    }
};

QTEST_GUILESS_MAIN(tst_ocpp)
#include "tst_ocpp.moc"
