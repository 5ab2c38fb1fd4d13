// test-components: core ccu
// test-switches: device
//
// The CCU link as the device build runs it: the owner made, wired and
// started like the program does, its worker thread talking over a real
// pseudo-terminal to ccu-sim (an independent implementation of the CCU
// side), until the records hold what the simulator reports. Also the stop
// and destruction of the owner, busy or idle.

#include "globalvariable.h"
#include "ptysupport.h"
#include "runtimeoptions.h"
#include "testsupport.h"
#include "thread_rs232_ccu1.h"
#include "tst_ccu_codec_frames.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestCcuLink : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void notStartedGeneratesNoTicks();
    void sessionAgainstSimulator();
    void linkLossAndRecoveryAgainstSimulator();
    void stopPromptWhenBusy(); // a request in flight
    void stopPromptWhenIdle();

private:
    bool startSimulator(const QStringList &arguments);
    // Starts the owner the way the program's start-up does.
    void startAsDevice(Thread_RS232_CCU1 &ccu);
    int received(const QByteArray &fragment) const;
    // Every frame the simulator received, one "rx" line each.
    const QByteArray &simLog() const { return m_sim->errors(); }

    std::unique_ptr<Simulator> m_sim;
};

void TestCcuLink::init()
{
    resetCcuState();
    Start_command_set_1 = false;
    Stop_command_set_1 = false;
}

void TestCcuLink::cleanup()
{
    m_sim.reset();
}

bool TestCcuLink::startSimulator(const QStringList &arguments)
{
    m_sim = std::make_unique<Simulator>();
    CcuPortName = m_sim->start("ccu-sim", arguments);
    return CcuPortName.startsWith('/');
}

void TestCcuLink::startAsDevice(Thread_RS232_CCU1 &ccu)
{
    if (!DebugMode || !DebugMode_ChargerGun)
        ccu.start();
    // A poll every 600 ms instead of every second keeps the test short; the
    // schedule is the same, and a request still times out (500 ms) before
    // the next one is sent.
    timer_rs232_interval->setInterval(600);
}

int TestCcuLink::received(const QByteArray &fragment) const
{
    return simLog().count("rx " + fragment);
}

void TestCcuLink::notStartedGeneratesNoTicks()
{
    Thread_RS232_CCU1 ccu;
    QVERIFY(!timer_rs232_interval->isActive());
    QVERIFY(!ccu.RS232_CCU1_Thread.isRunning());
    ccu.stop(); // harmless on a thread that never ran
}

void TestCcuLink::sessionAgainstSimulator()
{
    QVERIFY2(startSimulator({"--plugged", "--soc", "50", "--temperature", "31.7", "--handshake-seconds", "0.5",
                             "--prepare-seconds", "0.5", "--charge-seconds", "10", "--stop-seconds", "0.8"}),
             "ccu-sim did not start");
    Thread_RS232_CCU1 ccu;
    startAsDevice(ccu);

    // The first frame on the line is the boot-up read.
    QTRY_VERIFY_WITH_TIMEOUT(simLog().contains("rx "), 5000);
    QVERIFY(simLog().mid(simLog().indexOf("rx ")).startsWith("rx ~210150410000FDB2"));
    // (The texts of the records are compared once the worker has stopped.)
    QTRY_COMPARE_WITH_TIMEOUT(bootupinfo.Max_DC_Voltage.load(), 7500u, 5000);
    QCOMPARE(bootupinfo.Fan_Speed.load(), quint16(50));
    QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Temperature.load(), 317u, 5000);
    QCOMPARE(systemstatus.Gun1_plugged_sta.load(), quint16(1));
    QTRY_VERIFY_WITH_TIMEOUT(received("~21015043E00201FD38") > 0, 5000);

    // The supervisor's start reaches the simulator; the records follow the curve.
    ccu.SendCommand_Gun1_Start_Request();
    QVERIFY(Start_command_set_1);
    QTRY_VERIFY_WITH_TIMEOUT(received("~21015045C0047101FCCE  start command") == 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Gun1_available_sta.load(), quint16(1), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(charginfo.Charging_phase.load(), quint16(3), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(charginfo.DC_Current_Out > 100.0f && charginfo.SOC_Current > 50, 5000);
    QVERIFY(charginfo.DC_Voltage_Out > 380.0f);
    QVERIFY(charginfo.Time_Full_Togo > 0u);
    const quint16 soc = charginfo.SOC_Current;
    QTRY_VERIFY_WITH_TIMEOUT(charginfo.SOC_Current > soc, 5000);

    ccu.SendCommand_Gun1_Stop_Request();
    QVERIFY(Stop_command_set_1);
    QTRY_VERIFY_WITH_TIMEOUT(received("~21015045C0047100FCCF  stop command") == 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(charginfo.Charging_phase.load(), quint16(6), 5000);
    QCOMPARE(charginfo.Stop_Reason.load(), quint16(5));
    QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Gun1_available_sta.load(), quint16(0), 5000);

    // Every request was answered and every frame was sound to the other side.
    QCOMPARE(uint_err_rs232.load(), 0u);
    QVERIFY(!errorinfo.Err_Sys_RS232);
    QVERIFY2(!simLog().contains("BAD"), simLog().constData());

    QElapsedTimer clock;
    clock.start();
    ccu.stop();
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY(!ccu.RS232_CCU1_Thread.isRunning());
    QVERIFY(ccu.rs232_ccu.serial == nullptr); // released on the worker thread
    QCOMPARE(bootupinfo.CCU_FW_Ver.text(), QString("0102000720240501"));
    QCOMPARE(systemstatus.TemperatureStr.text(), QString("31.0Centigrade"));

    // After stop nothing more reaches the line (the simulator's log of the
    // last frame before it may still be on its way).
    QTest::qWait(300);
    const int frames = simLog().count("rx ");
    ccu.SendCommand_Gun1_Start_Request();
    QTest::qWait(600);
    QCOMPARE(simLog().count("rx "), frames);
}

void TestCcuLink::linkLossAndRecoveryAgainstSimulator()
{
    QVERIFY2(startSimulator({"--plugged"}), "ccu-sim did not start");
    Thread_RS232_CCU1 ccu;
    LogCapture log;
    startAsDevice(ccu);
    QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Gun1_plugged_sta.load(), quint16(1), 5000);

    m_sim->send("silent on");
    QTRY_VERIFY_WITH_TIMEOUT(errorinfo.Err_Sys_RS232, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(log.lines().contains("RS232 communication lost."), 2000);
    QVERIFY(uint_err_rs232 >= RS232_CCU::LinkLossThreshold);

    // Unplugged while the link was down; seen after the rebuild of the port.
    m_sim->send("unplug\nsilent off");
    QTRY_VERIFY_WITH_TIMEOUT(!errorinfo.Err_Sys_RS232, 12000);
    QTRY_VERIFY_WITH_TIMEOUT(log.lines().contains("RS232 communication sucessed."), 2000);
    QCOMPARE(uint_err_rs232.load(), 0u);
    QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Gun1_plugged_sta.load(), quint16(0), 5000);
    ccu.stop();
}

void TestCcuLink::stopPromptWhenBusy()
{
    // Every answer comes late: most of the time a request is in flight and
    // its response timer armed when stop() arrives.
    QVERIFY2(startSimulator({"--plugged", "--delay-ms", "450"}), "ccu-sim did not start");
    QElapsedTimer clock;
    {
        Thread_RS232_CCU1 ccu;
        startAsDevice(ccu);
        QTRY_VERIFY_WITH_TIMEOUT(simLog().count("rx ") >= 3, 5000);
        QTest::qWait(100);
        clock.start();
        ccu.stop();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        ccu.stop(); // a second stop (exit after a reset) finds it stopped
        clock.restart();
    }
    QVERIFY(clock.elapsed() < 1000);
}

void TestCcuLink::stopPromptWhenIdle()
{
    CcuPortName = "/nonexistent/ttyCCU";
    QElapsedTimer clock;
    {
        Thread_RS232_CCU1 ccu;
        startAsDevice(ccu);
        QTest::qWait(300);
        clock.start();
        // Destruction without stop() first also ends the thread.
    }
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY(timer_rs232_interval == nullptr);
}

QTEST_GUILESS_MAIN(TestCcuLink)
#include "tst_ccu_link.moc"
