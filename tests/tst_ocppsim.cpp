// test-components: common pipe
// The link against ocpp-client-sim: its commands and options (its default
// answers run in the device session and demo tests), and a client that
// restarts with FIFOs of its own.

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
    bool answered(const char *line) { return QTest::qWaitFor([&] { return output().contains(line); }, 3000); }

private slots:
    void initTestCase() { std::signal(SIGPIPE, SIG_IGN); }
    void init()
    {
        resetOcppState();
        m_dir = std::make_unique<TestDataDir>();
    }
    void cleanup() { m_sim.reset(), m_dir.reset(); }

    void commands()
    {
        QVERIFY(startSim({}));
        Thread_pipe pipe;
        Status &gun = gun_status[1];
        gun.status = sta_Charging;
        gun.transactionId = 1;
        QVERIFY(m_sim->send("RemoteStopTransaction 1"));
        QTRY_COMPARE(gun.startRequest, quint16(8));
        QVERIFY(answered("== RemoteStopTransaction (cs1) answered: Accepted"));
        QVERIFY(m_sim->send("Reset Hard"));
        QTRY_COMPARE(SystemResetReq, quint16(2));
        QVERIFY(answered("== Reset (cs2) answered: Accepted"));
        QVERIFY(m_sim->send("quit"));
        QVERIFY(m_sim->process.waitForFinished(2000));
        QCOMPARE(m_sim->process.exitCode(), 0);
    }

    // The client ends; a message for it waits; a new client removes both
    // FIFOs and makes them afresh. Both ends of the link move to the new
    // FIFOs: the waiting message reaches the client, its commands reach the
    // link, and the link still shuts down at once.
    void clientRestartsWithNewFifos()
    {
        QVERIFY(startSim({}));
        auto pipe = std::make_unique<Thread_pipe>();
        pipe->Authorize_Request(1);
        QTRY_COMPARE(gun_status[1].CardRead, quint16(2));
        m_sim.reset();

        gun_status[1].CardRead = 1;
        pipe->Authorize_Request(1); // no client now
        QTest::qWait(300);
        QVERIFY(startSim({"--new-fifos"}));
        QTRY_COMPARE_WITH_TIMEOUT(gun_status[1].CardRead, quint16(2), 8000);
        QVERIFY(m_sim->send("RemoteStartTransaction NEW-CLIENT"));
        QTRY_COMPARE_WITH_TIMEOUT(gun_status[1].IDtag, QString("NEW-CLIENT"), 8000);
        QVERIFY(answered("== RemoteStartTransaction (cs1) answered: Accepted"));

        QElapsedTimer clock;
        clock.start();
        pipe.reset();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
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
    }
};

QTEST_GUILESS_MAIN(tst_ocppsim)
#include "tst_ocppsim.moc"
