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

    std::unique_ptr<Simulator> m_sim;

    bool startSimulator(const QStringList &arguments)
    {
        m_sim = std::make_unique<Simulator>();
        CcuPortName = m_sim->start("ccu-sim", arguments);
        return CcuPortName.startsWith('/');
    }
    // Every frame the simulator received, one "rx" line each.
    const QByteArray &simLog() const { return m_sim->errors(); }
    int received(const QByteArray &frame) const { return simLog().count("rx " + frame); }

    // As the program's start-up does it. A poll every 600 ms instead of every
    // second keeps the test short: a request still times out (500 ms) first.
    static void startAsDevice(Thread_RS232_CCU1 &ccu)
    {
        QVERIFY(!timer_rs232_interval->isActive());
        if (!DebugMode || !DebugMode_ChargerGun)
            ccu.start();
        timer_rs232_interval->setInterval(600);
    }

private slots:
    void init()
    {
        resetCcuState();
        Start_command_set_1 = Stop_command_set_1 = false;
    }
    void cleanup() { m_sim.reset(); }

    void sessionAgainstSimulator()
    {
        QVERIFY(startSimulator({"--plugged", "--soc", "50", "--temperature", "31.7", "--handshake-seconds", "0.5",
                                "--prepare-seconds", "0.5", "--charge-seconds", "10", "--stop-seconds", "0.8"}));
        Thread_RS232_CCU1 ccu;
        startAsDevice(ccu);
        QTRY_VERIFY_WITH_TIMEOUT(simLog().contains("rx "), 5000);
        QVERIFY(simLog().mid(simLog().indexOf("rx ")).startsWith("rx ~210150410000FDB2")); // boot-up read first
        QTRY_COMPARE_WITH_TIMEOUT(bootupinfo.Max_DC_Voltage.load(), 7500u, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Temperature.load(), 317u, 5000);
        QCOMPARE(systemstatus.Gun1_plugged_sta.load(), quint16(1));

        // The supervisor's start and stop reach the simulator; the records
        // follow its curve (in detail: the device session test).
        ccu.SendCommand_Gun1_Start_Request();
        QVERIFY(Start_command_set_1);
        QTRY_COMPARE_WITH_TIMEOUT(received("~21015045C0047101FCCE  start command"), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(charginfo.Charging_phase.load(), quint16(3), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(charginfo.DC_Current_Out > 100.0f && charginfo.SOC_Current > 50, 5000);
        ccu.SendCommand_Gun1_Stop_Request();
        QTRY_COMPARE_WITH_TIMEOUT(received("~21015045C0047100FCCF  stop command"), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(charginfo.Charging_phase.load(), quint16(6), 5000);
        QCOMPARE(charginfo.Stop_Reason.load(), quint16(5));

        // Every request was answered and every frame was sound to the other side.
        QCOMPARE(uint_err_rs232.load(), 0u);
        QVERIFY2(!simLog().contains("BAD"), simLog().constData());
        ccu.stop();
        QVERIFY(ccu.rs232_ccu.serial == nullptr); // released on the worker thread
        QCOMPARE(bootupinfo.CCU_FW_Ver.text(), QString("0102000720240501")); // texts once the worker has stopped
        QCOMPARE(systemstatus.TemperatureStr.text(), QString("31.0Centigrade"));
    }

    void stopIsPrompt_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("request in flight") << true; // every answer comes late
        QTest::newRow("idle, no port") << false;
    }
    void stopIsPrompt()
    {
        QFETCH(bool, busy);
        if (busy)
            QVERIFY(startSimulator({"--plugged", "--delay-ms", "450"}));
        else
            CcuPortName = "/nonexistent/ttyCCU";
        QElapsedTimer clock;
        {
            Thread_RS232_CCU1 ccu;
            startAsDevice(ccu);
            if (busy)
                QTRY_VERIFY_WITH_TIMEOUT(simLog().count("rx ") >= 3, 5000);
            QTest::qWait(100);
            clock.start();
            if (busy) {
                ccu.stop();
                QVERIFY(!ccu.RS232_CCU1_Thread.isRunning());
                ccu.stop(); // a second stop (exit after a reset) finds it stopped
            } // idle: destruction without stop() also ends the thread
        }
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!timer_rs232_interval);
    }
};

QTEST_GUILESS_MAIN(TestCcuLink)
#include "tst_ccu_link.moc"
