// test-components: common pipe session
// The open transaction in Transaction.json: kept in step with the messages
// the OCPP link writes and the answers a client gives over real FIFOs, and
// closed at the next start the way the previous run left it.
#include "datafiles.h"
#include "sessionsupervisor.h"
#include "ocpplink.h"
#include "sessionview.h"
#include "transactionrecord.h"

#include <QtTest>

#include <csignal>

namespace {
struct NoView : SessionView
{
    void showClock(const QString &) override {}
    void showPlugIcon(bool) override {}
    void showNetworkIcon(quint16) override {}
    void setPluginPrompt(bool) override {}
    void openStandbyPage() override {}
    void openChargingPage() override {}
    void openCompletionPage() override {}
    void openStopConfirmation() override {}
    void closeStopConfirmation() override {}
    void refreshChargingFigures() override {}
    void refreshCompletionFigures() override {}
    void showErrorPopup(const QString &) override {}
};

QJsonObject payloadOf(const QByteArray &message)
{
    const int second = message.indexOf('=', message.indexOf('=') + 1);
    return QJsonDocument::fromJson(message.mid(second + 1)).object();
}

QByteArray actionOf(const QByteArray &message)
{
    return message.split('=').value(1);
}

// A message as the link writes it, for a record the previous run left.
QString message(const char *action, const QJsonObject &payload)
{
    return QString("1=%1=").arg(action) + QString::fromUtf8(QJsonDocument(payload).toJson());
}
} // namespace

class tst_TransactionRecord : public QObject
{
    Q_OBJECT

    std::unique_ptr<OcppLink> m_link;
    NoView m_view;
    std::unique_ptr<SessionSupervisor> m_session;

    // The client answers; true once the link has taken the answer in.
    bool answer(const QByteArray &action, const QByteArray &json)
    {
        return m_link->deliver("1=" + action + "Response=" + json);
    }
    bool nothingMoreWritten() { return m_link->nothingMoreWritten(); }
    QJsonObject record() const { return QJsonDocument::fromJson(m_link->dir.read("Transaction.json")).object(); }
    bool recordGone() const { return !QFile::exists(m_link->dir.file("Transaction.json")); }

private slots:
    void initTestCase()
    {
        std::signal(SIGPIPE, SIG_IGN);
        SessionSupervisor::setPauseScale(0);
    }
    void init()
    {
        resetOcppState();
        Stop_command_set_1 = false;
        m_link = std::make_unique<OcppLink>();
        m_session = std::make_unique<SessionSupervisor>(&m_view);
        // As the application wires them.
        connect(m_session.get(), &SessionSupervisor::MeterValue_req, &m_link->pipe, &Thread_pipe::MeterValue_Request);
        connect(m_session.get(), &SessionSupervisor::resendTransactionMessage, &m_link->pipe,
                &Thread_pipe::resendTransactionMessage);
        connect(m_session.get(), &SessionSupervisor::stopRecoveredTransaction, &m_link->pipe,
                &Thread_pipe::sendStopTransaction);
    }
    void cleanup()
    {
        m_session.reset();
        m_link.reset();
        timer_SendMeterValue_1.stop();
    }

    void recordFollowsTheTransaction()
    {
        Status &gun = gun_status[1];
        gun.IDtag = "CARD";
        gun.f_startmeter = 1000.4;
        m_link->pipe.StartTransaction_Request(1);
        const QByteArray start = m_link->client.next();
        QJsonObject t = record()["transactions"].toArray().at(0).toObject();
        QCOMPARE(t["idTag"].toString(), QString("CARD"));
        QCOMPARE(t["meterStart"].toDouble(), 1000.4);
        QVERIFY(!t.contains("transactionId"));
        QCOMPARE(t["startMessage"].toString() + '\n', QString::fromUtf8(start));
        QCOMPARE(record()["messages"].toArray().size(), 1);

        QVERIFY(answer("StartTransaction", R"({"idTagInfo":{"status":"Accepted"},"transactionId":42})"));
        QCOMPARE(record()["transactions"].toArray().at(0)["transactionId"].toInt(), 42);
        QVERIFY(record()["messages"].toArray().isEmpty());

        // Every MeterValues tick saves the register with its time.
        gun.f_energy_LcdCal = 1001.75;
        m_session->SendMeterValue_1();
        QVERIFY(actionOf(m_link->client.next()) == "MeterValues");
        QCOMPARE(record()["energyRegister"].toDouble(), 1001.75);
        QVERIFY(record()["saved"].toString().endsWith('Z'));
        QCOMPARE(record()["messages"].toArray().size(), 1);
        QVERIFY(answer("MeterValues", "{}"));
        QVERIFY(record()["messages"].toArray().isEmpty());
        QCOMPARE(record()["transactions"].toArray().size(), 1); // still open

        gun.f_stopmeter = 1002.2;
        gun.stopReason = Local;
        m_link->pipe.StopTransacation_Request(1);
        QCOMPARE(payloadOf(m_link->client.next())["transactionId"].toInt(), 42);
        QVERIFY(record()["transactions"].toArray().isEmpty());
        QCOMPARE(record()["messages"].toArray().size(), 1);
        QVERIFY(answer("StopTransaction", R"({"idTagInfo":{"status":"Accepted"}})"));
        QVERIFY(recordGone());
        // Rewritten by rename and synced: no temporary file is left behind.
        QCOMPARE(QDir(m_link->dir.path()).entryList({"Transaction*"}, QDir::Files), QStringList());
    }

    // The session ends before its StartTransaction is answered: the stop
    // waits for the transactionId, or is not sent when none ever comes.
    void stopWaitsForItsTransactionId_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::newRow("answered later") << true;
        QTest::newRow("start given up") << false;
    }
    void stopWaitsForItsTransactionId()
    {
        QFETCH(bool, answered);
        Status &gun = gun_status[1];
        gun.transactionId = 41; // the previous session's
        m_link->pipe.StartTransaction_Request(1);
        const QByteArray start = m_link->client.next();
        gun.f_stopmeter = 1003.6;
        gun.stopReason = Local;
        gun.startRequest = 5;
        m_link->pipe.StopTransacation_Request(1);
        QVERIFY(nothingMoreWritten());
        QVERIFY(m_link->log.contains("StopTransaction waits for the answer to its StartTransaction"));
        const QJsonObject held = record()["transactions"].toArray().at(0)["stop"].toObject();
        QCOMPARE(held["reason"].toString(), QString("Local"));
        QCOMPARE(held["meterStop"].toDouble(), 1003.6);
        if (answered) {
            QVERIFY(answer("StartTransaction", R"({"idTagInfo":{"status":"Accepted"},"transactionId":43})"));
            const QJsonObject stop = payloadOf(m_link->client.next());
            QCOMPARE(stop["transactionId"].toInt(), 43);
            QCOMPARE(stop["reason"].toString(), QString("Local"));
            QCOMPARE(stop["meterStop"].toInt(), 1003);
            QCOMPARE(stop["timestamp"].toString(), held["timestamp"].toString());
            // The session on the screen has ended: its state stays.
            QCOMPARE(gun.startRequest, quint16(5));
            QVERIFY(answer("StopTransaction", R"({"idTagInfo":{"status":"Accepted"}})"));
        } else {
            ConfigObj.insert("TransactionMessageAttempts", "0");
            QVERIFY(answer("StartTransaction", R"({"error":"failure to process the message"})"));
            m_link->pipe.Retry_StartTransactionRequest();
            QVERIFY(m_link->log.contains("StopTransaction not sent: its StartTransaction was given up unanswered"));
            QVERIFY(nothingMoreWritten());
        }
        QCOMPARE(gun.transactionId, 41);
        QVERIFY(recordGone());
    }

    // Start-up with the record a previous run left: its unanswered messages
    // go out again in their order, then the StopTransaction of the open
    // transaction, with the register and time of the last save.
    void recoveryAtStartUp_data()
    {
        QTest::addColumn<QJsonObject>("left");
        QTest::addColumn<QStringList>("expected"); // action:transactionId:reason:meterStop:timestamp, answered in turn
        QTest::addColumn<bool>("wasOpen");          // a transaction was open: the CCU is told to stop
        const QJsonObject startPayload{{"connectorId", 1}, {"idTag", "CARD"}, {"meterStart", 1000},
                                       {"reservationId", 0}, {"timestamp", "2024-03-05T14:00:00Z"}};
        const QString start = message("StartTransaction", startPayload);
        const QString meter = message("MeterValues", {{"connectorId", 1}, {"transactionId", 42}});
        const QString stop = message("StopTransaction", {{"meterStop", 999}, {"reason", "Local"},
                                                         {"timestamp", "2024-03-04T10:00:00Z"}, {"transactionId", 40}});
        auto transaction = [&](const QJsonObject &extra) {
            QJsonObject t{{"connectorId", 1}, {"idTag", "CARD"}, {"meterStart", 1000.0}, {"startMessage", start},
                          {"startTime", "2024-03-05T14:00:00Z"}};
            for (auto it = extra.begin(); it != extra.end(); ++it)
                t.insert(it.key(), it.value());
            return t;
        };
        auto left = [](const QStringList &messages, const QJsonArray &transactions) {
            return QJsonObject{{"energyRegister", 1003.8},
                               {"messages", QJsonArray::fromStringList(messages)},
                               {"saved", "2024-03-05T14:20:00Z"},
                               {"transactions", transactions}};
        };
        const QString powerLossStop = "StopTransaction:42:PowerLoss:1003:2024-03-05T14:20:00Z";
        QTest::newRow("power cut") << left({stop, meter}, {transaction({{"transactionId", 42}})})
                                   << QStringList{"StopTransaction:40:Local:999:2024-03-04T10:00:00Z",
                                                  "MeterValues:42", powerLossStop}
                                   << true;
        QTest::newRow("reset on its way")
            << left({}, {transaction({{"transactionId", 42}, {"reset", "HardReset"}})})
            << QStringList{"StopTransaction:42:HardReset:1003:2024-03-05T14:20:00Z"} << true;
        // The StartTransaction never answered: it goes again, and its
        // answer brings the transactionId the stop needs.
        QTest::newRow("start unanswered") << left({start}, {transaction({})})
                                          << QStringList{"StartTransaction:77", "StopTransaction:77:PowerLoss:1003:"
                                                                                "2024-03-05T14:20:00Z"}
                                          << true;
        const QJsonObject heldStop{{"meterStop", 1002.9}, {"reason", "Reboot"}, {"timestamp", "2024-03-05T14:10:00Z"}};
        QTest::newRow("stop held for the id") << left({start}, {transaction({{"stop", heldStop}})})
                                              << QStringList{"StartTransaction:77",
                                                             "StopTransaction:77:Reboot:1002:2024-03-05T14:10:00Z"}
                                              << false;
        QTest::newRow("start given up, no id") << left({}, {transaction({})}) << QStringList() << true;
    }
    void recoveryAtStartUp()
    {
        QFETCH(QJsonObject, left);
        QFETCH(QStringList, expected);
        QVERIFY(writeJsonFile(m_link->dir.file("Transaction.json"), left));
        gun_status[1].startRequest = 0;
        QSignalSpy ccuStop(m_session.get(), &SessionSupervisor::signal_gun_Stop_Command);
        m_session->recoverTransactions();
        QFETCH(bool, wasOpen);
        QCOMPARE(ccuStop.count(), wasOpen ? 1 : 0); // what the CCU still delivers belongs to no session
        QVERIFY(m_link->log.contains("Transaction.json of the previous run"));
        QStringList seen;
        for (int i = 0; i < expected.size(); ++i) {
            const QByteArray got = m_link->client.next();
            const QByteArray action = actionOf(got);
            const QJsonObject p = payloadOf(got);
            QString line = action + ':';
            if (action == "StartTransaction") {
                line += "77";
                QVERIFY(answer(action, R"({"idTagInfo":{"status":"Accepted"},"transactionId":77})"));
            } else {
                line += QString::number(p["transactionId"].toInt());
                if (action == "StopTransaction")
                    line += QString(":%1:%2:%3")
                                .arg(p["reason"].toString())
                                .arg(p["meterStop"].toInt())
                                .arg(p["timestamp"].toString());
                QVERIFY(answer(action, action == "MeterValues" ? "{}" : R"({"idTagInfo":{"status":"Accepted"}})"));
            }
            seen << line;
        }
        QCOMPARE(seen, expected);
        QVERIFY(nothingMoreWritten());
        QVERIFY(recordGone());
        // The session on the screen is not touched by the old answers.
        QCOMPARE(gun_status[1].startRequest, quint16(0));
        QCOMPARE(gun_status[1].transactionId, 0);
    }

    void damagedRecordIsKeptAside()
    {
        m_link->dir.write("Transaction.json", "{\"messages\": [\"1=StopTrans");
        m_session->recoverTransactions();
        QVERIFY(m_link->log.contains("transaction record unreadable"));
        QCOMPARE(m_link->dir.read("Transaction.json.corrupt"), QByteArray("{\"messages\": [\"1=StopTrans"));
        QVERIFY(recordGone());
        QVERIFY(nothingMoreWritten());
    }
};

QTEST_GUILESS_MAIN(tst_TransactionRecord)
#include "tst_transactionrecord.moc"
