// test-components: core pipe
// The OCPP link against ocpp-client-sim, the stand-in client: every message
// type in both directions, the simulator's reject / fail / silent options,
// and that the simulator always ends promptly.

#include "ptysupport.h"
#include "testsupport.h"
#include "thread_pipe.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <memory>

class tst_ocppsim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void exchangesEveryMessageType();
    void rejectsAndFailsOnRequest();
    void silentSimulatorAndPromptEnd();
    void helpText();

private:
    bool startSim(const QStringList &options);
    QString output() const { return QString::fromUtf8(m_sim->output()); }

    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<Simulator> m_sim;
};

static QString simPath() { return QStringLiteral(HMI_BIN_DIR "/ocpp-client-sim"); }

void tst_ocppsim::initTestCase()
{
    std::signal(SIGPIPE, SIG_IGN);
    QVERIFY2(QFile::exists(simPath()), "ocpp-client-sim is not built");
}

void tst_ocppsim::init()
{
    resetOcppState();
    m_dir = std::make_unique<TestDataDir>();
}

void tst_ocppsim::cleanup()
{
    m_sim.reset();
    m_dir.reset();
}

bool tst_ocppsim::startSim(const QStringList &options)
{
    m_sim = std::make_unique<Simulator>();
    m_sim->process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    return m_sim->start("ocpp-client-sim", QStringList{"--data-dir", m_dir->path()} + options)
        .startsWith("-- ocpp-client-sim on");
}

void tst_ocppsim::exchangesEveryMessageType()
{
    QVERIFY(startSim({}));
    Thread_pipe pipe;
    Status &gun = gun_status[1];

    gun.IDtag = QString::fromUtf8("KARTE-Ü1");
    gun.CardRead = 1;
    pipe.Authorize_Request(1);
    QTRY_COMPARE(gun.CardRead, quint16(2));
    QVERIFY(output().contains(QString::fromUtf8("\"idTag\": \"KARTE-Ü1\"")));

    gun.f_startmeter = 10.6f;
    pipe.StartTransaction_Request(1);
    QTRY_COMPARE(gun.startRequest, quint16(3));
    QCOMPARE(gun.transactionId, 1);
    QVERIFY(StartTransactionCache.isEmpty());

    gun.f_energy = 11.2f;
    pipe.MeterValue_Request(1);
    QTRY_VERIFY(MeterValueCache.isEmpty());

    gun.stopReason = Local;
    pipe.StopTransacation_Request(1);
    QTRY_VERIFY(StopTransactionCache.isEmpty());

    pipe.StatusNotification_Request(1);
    QTRY_VERIFY(output().contains("<- 1=StatusNotification={"));

    // The central system's commands, typed at the simulator.
    gun.status = sta_Preparing;
    QVERIFY(m_sim->send("RemoteStartTransaction REMOTE-7"));
    QTRY_COMPARE(gun.IDtag, QString("REMOTE-7"));
    QCOMPARE(gun.startRequest, quint16(6));
    QTRY_VERIFY(output().contains("== RemoteStartTransaction (cs1) answered: Accepted"));

    gun.status = sta_Charging;
    QVERIFY(m_sim->send("RemoteStopTransaction 1"));
    QTRY_COMPARE(gun.startRequest, quint16(8));
    QTRY_VERIFY(output().contains("== RemoteStopTransaction (cs2) answered: Accepted"));

    QVERIFY(m_sim->send("stop 99"));
    QTRY_COMPARE(gun.startRequest, quint16(9));
    QTRY_VERIFY(output().contains("== RemoteStopTransaction (cs3) answered: Rejected"));

    QVERIFY(m_sim->send("Reset Hard"));
    QTRY_COMPARE(SystemResetReq, quint16(2));
    QTRY_VERIFY(output().contains("== Reset (cs4) answered: Accepted"));

    QVERIFY(m_sim->send("quit"));
    QVERIFY(m_sim->process.waitForFinished(2000));
    QCOMPARE(m_sim->process.exitCode(), 0);
}

void tst_ocppsim::rejectsAndFailsOnRequest()
{
    QVERIFY(startSim({"--reject-authorize", "--reject-start", "Invalid", "--fail", "1", "--fail-only",
                      "StartTransaction"}));
    ConfigObj.insert("TransactionMessageAttempts", "3");
    Config.TransactionMessageRetryInterval = 300; // the answer comes long before a second tick
    Thread_pipe pipe;
    Status &gun = gun_status[1];

    pipe.Authorize_Request(1);
    QTRY_COMPARE(gun.CardRead, quint16(3));

    // Failed once, re-sent by the retry timer, then answered Invalid.
    pipe.StartTransaction_Request(1);
    QTRY_COMPARE(gun.startRequest, quint16(4));
    QTRY_VERIFY(StartTransactionCache.isEmpty());
    QVERIFY(!timer_starttransaction_retry_1->isActive());
    QCOMPARE(pipe.Retry_StartTransactionReq, quint16(1));
    QCOMPARE(output().count("failure to process the message"), 1);
    QCOMPARE(output().count("<- 1=StartTransaction={"), 2);

    // A transaction message not named by --fail-only is answered normally.
    pipe.StopTransacation_Request(1);
    QTRY_VERIFY(StopTransactionCache.isEmpty());
}

void tst_ocppsim::silentSimulatorAndPromptEnd()
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
    // The link is gone: the command waits for a reader that never comes,
    // and SIGTERM still ends the simulator at once.
    QVERIFY(m_sim->send("Reset Soft"));
    QTest::qWait(100);
    QElapsedTimer clock;
    clock.start();
    m_sim->process.terminate();
    QVERIFY(m_sim->process.waitForFinished(2000));
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(m_sim->process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_sim->process.exitCode(), 0);
}

void tst_ocppsim::helpText()
{
    QProcess help;
    help.start(simPath(), {"--help"});
    QVERIFY(help.waitForFinished(3000));
    QCOMPARE(help.exitCode(), 0);
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    for (const char *option : {"--data-dir", "--reject-authorize", "--reject-start", "--fail", "--silent",
                               "RemoteStartTransaction", "RemoteStopTransaction", "Reset Soft|Hard"})
        QVERIFY2(text.contains(option), option);

    QProcess wrong;
    wrong.start(simPath(), {"--no-such-option"});
    QVERIFY(wrong.waitForFinished(3000));
    QCOMPARE(wrong.exitCode(), 2);
}

QTEST_GUILESS_MAIN(tst_ocppsim)
#include "tst_ocppsim.moc"
