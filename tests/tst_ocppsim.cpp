// test-components: core pipe
// The OCPP link against ocpp-client-sim, the stand-in client: every message
// type in both directions, the reject / fail / silent options, and a
// simulator that ends promptly.

#include "ptysupport.h"
#include "testsupport.h"
#include "thread_pipe.h"

#include <QtTest>

#include <csignal>
#include <memory>

class tst_ocppsim : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<Simulator> m_sim;

    bool startSim(const QStringList &options)
    {
        m_sim = std::make_unique<Simulator>();
        m_sim->process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        return m_sim->start("ocpp-client-sim", QStringList{"--data-dir", m_dir->path()} + options)
            .startsWith("-- ocpp-client-sim on");
    }
    QString output() const { return QString::fromUtf8(m_sim->output()); }

private slots:
    void initTestCase() { std::signal(SIGPIPE, SIG_IGN); }
    void init()
    {
        resetOcppState();
        m_dir = std::make_unique<TestDataDir>();
    }
    void cleanup() { m_sim.reset(), m_dir.reset(); }

    void exchangesEveryMessageType()
    {
        QVERIFY(startSim({}));
        Thread_pipe pipe;
        Status &gun = gun_status[1];
        gun.IDtag = QString::fromUtf8("KARTE-Ü1");
        gun.CardRead = 1;
        pipe.Authorize_Request(1);
        QTRY_COMPARE(gun.CardRead, quint16(2));
        QVERIFY(output().contains(QString::fromUtf8("\"idTag\": \"KARTE-Ü1\"")));
        pipe.StartTransaction_Request(1);
        QTRY_COMPARE(gun.startRequest, quint16(3));
        QCOMPARE(gun.transactionId, 1);
        pipe.MeterValue_Request(1);
        QTRY_VERIFY(MeterValueCache.isEmpty());
        pipe.StopTransacation_Request(1);
        QTRY_VERIFY(StopTransactionCache.isEmpty());
        pipe.StatusNotification_Request(1);
        QTRY_VERIFY(output().contains("<- 1=StatusNotification={"));

        // The central system's commands, typed at the simulator.
        gun.status = sta_Preparing;
        QVERIFY(m_sim->send("RemoteStartTransaction REMOTE-7"));
        QTRY_COMPARE(gun.IDtag, QString("REMOTE-7"));
        QTRY_VERIFY(output().contains("== RemoteStartTransaction (cs1) answered: Accepted"));
        gun.status = sta_Charging;
        QVERIFY(m_sim->send("RemoteStopTransaction 1"));
        QTRY_COMPARE(gun.startRequest, quint16(8));
        QTRY_VERIFY(output().contains("== RemoteStopTransaction (cs2) answered: Accepted"));
        QVERIFY(m_sim->send("Reset Hard"));
        QTRY_COMPARE(SystemResetReq, quint16(2));
        QTRY_VERIFY(output().contains("== Reset (cs3) answered: Accepted"));
        QVERIFY(m_sim->send("quit"));
        QVERIFY(m_sim->process.waitForFinished(2000));
        QCOMPARE(m_sim->process.exitCode(), 0);
    }

    void rejectsAndFailsOnRequest()
    {
        QVERIFY(startSim({"--reject-authorize", "--reject-start", "Invalid", "--fail", "1", "--fail-only",
                          "StartTransaction"}));
        ConfigObj.insert("TransactionMessageAttempts", "3");
        Config.TransactionMessageRetryInterval = 300; // the answer comes long before a second tick
        Thread_pipe pipe;
        pipe.Authorize_Request(1);
        QTRY_COMPARE(gun_status[1].CardRead, quint16(3));
        // Failed once, re-sent by the retry timer, then answered Invalid.
        pipe.StartTransaction_Request(1);
        QTRY_COMPARE(gun_status[1].startRequest, quint16(4));
        QTRY_VERIFY(StartTransactionCache.isEmpty());
        QVERIFY(!timer_starttransaction_retry_1->isActive());
        QCOMPARE(output().count("<- 1=StartTransaction={"), 2);
        // A transaction message not named by --fail-only is answered normally.
        pipe.StopTransacation_Request(1);
        QTRY_VERIFY(StopTransactionCache.isEmpty());
    }

    void silentSimulatorEndsPromptly()
    {
        QVERIFY(startSim({"--silent"}));
        {
            Thread_pipe pipe;
            gun_status[1].CardRead = 1;
            pipe.Authorize_Request(1);
            QTRY_VERIFY(output().contains("<- 1=Authorize={"));
            QTest::qWait(150);
            QCOMPARE(gun_status[1].CardRead, quint16(1));
        }
        // Its command waits for a reader that never comes; SIGTERM still ends it.
        QVERIFY(m_sim->send("Reset Soft"));
        QTest::qWait(100);
        m_sim->process.terminate();
        QVERIFY(m_sim->process.waitForFinished(1000));
        QCOMPARE(m_sim->process.exitStatus(), QProcess::NormalExit);
    }
};

QTEST_GUILESS_MAIN(tst_ocppsim)
#include "tst_ocppsim.moc"
