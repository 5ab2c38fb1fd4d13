// test-components: common ccu
// test-switches: device
// The CCU link as the device build starts it, against ccu-sim over a real
// pseudo-terminal (the charging curve: the device session test): the line
// settings, answers that come late, damaged or after a stray byte, a charge
// under a warning, a CCU that goes away and comes back, a poll that goes on
// while the GUI thread is busy, and a prompt stop.

#include "globalvariable.h"
#include "ptysupport.h"
#include "runtimeoptions.h"
#include "testsupport.h"
#include "thread_rs232_ccu1.h"
#include "tst_ccu_codec_frames.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
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
        const QString device = m_sim->start("ccu-sim", arguments);
        if (!arguments.contains("--link"))
            CcuPortName = device;
        return device.startsWith('/');
    }
    // Every frame the simulator received, one "rx" line each.
    const QByteArray &simLog() const { return m_sim->errors(); }

    // As the program's start-up does it; a poll interval other than the
    // second keeps a test short (a request still times out first).
    static void startAsDevice(Thread_RS232_CCU1 &ccu, int pollMs = 1000)
    {
        QVERIFY(!timer_rs232_interval);
        if (!DebugMode || !DebugMode_ChargerGun)
            ccu.start();
        QVERIFY(timer_rs232_interval && timer_rs232_interval->thread() == &ccu.RS232_CCU1_Thread);
        QVERIFY(timer_rs232_interval->isActive() && timer_rs232_interval->interval() == 1000);
        if (pollMs != 1000)
            restartOnItsThread(timer_rs232_interval, pollMs);
    }

private slots:
    void init() { resetCcuState(); }
    void cleanup() { m_sim.reset(); }

    void recordsHoldTheSimulatorsValues()
    {
        QVERIFY(startSimulator({"--plugged", "--temperature", "31.7"}));
        Thread_RS232_CCU1 ccu;
        startAsDevice(ccu);
        QTRY_VERIFY_WITH_TIMEOUT(simLog().contains("rx "), 5000);
        QVERIFY(simLog().mid(simLog().indexOf("rx ")).startsWith("rx ~210150410000FDB2")); // boot-up read first
        QCOMPARE(lineSettings(CcuPortName), QString("19200 8N1"));
        QTRY_COMPARE_WITH_TIMEOUT(bootupinfo.Max_DC_Voltage.load(), 7500u, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Temperature.load(), 317u, 5000);
        QCOMPARE(systemstatus.TemperatureStr.text(), QString("31.7Centigrade"));
        QCOMPARE(systemstatus.Gun1_plugged_sta.load(), quint16(1));

        // Every request was answered and every frame was sound to the other side.
        QCOMPARE(uint_err_rs232.load(), 0u);
        QVERIFY2(!simLog().contains("BAD"), simLog().constData());
        ccu.stop();
        QVERIFY(ccu.rs232_ccu.serial == nullptr); // released on the worker thread
        QVERIFY(!timer_rs232_interval);           // and the poll timer with it
    }

    // Whatever shape the answers come in, the records never take a wrong
    // value and the line counts as alive; a sound answer is decoded.
    void answersOutOfShape_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("decoded");
        QTest::addColumn<QString>("line");
        QTest::newRow("late, 1100 ms") << QStringList{"--delay-ms", "1100"} << true << "CCU answer came after its time-out";
        QTest::newRow("one digit damaged") << QStringList{"--corrupt"} << false << "CCU frame with a bad checksum dropped";
        QTest::newRow("stray byte first") << QStringList{"--stray"} << true << "";
    }
    void answersOutOfShape()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, decoded);
        QFETCH(QString, line);
        QVERIFY(startSimulator(QStringList{"--plugged", "--temperature", "31.7"} + options));
        LogCapture log;
        Thread_RS232_CCU1 ccu;
        startAsDevice(ccu);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5500) { // longer than five unanswered requests
            QTest::qWait(50);
            const quint32 t = systemstatus.Temperature;
            QVERIFY2(t == 0 || t == 317, qPrintable(QString::number(t)));
            if (t == 317) {
                QCOMPARE(systemstatus.Gun1_plugged_sta.load(), quint16(1));
                QCOMPARE(systemstatus.Gun1_available_sta.load(), quint16(0));
                QCOMPARE(systemstatus.Sys_available_sta.load(), quint16(0));
            }
            QVERIFY(!errorinfo.Err_Gun1_ISO && !errorinfo.Err_Sys_DoorOpen);
        }
        QCOMPARE(systemstatus.Temperature.load(), decoded ? 317u : 0u);
        QCOMPARE(bootupinfo.Max_DC_Voltage.load(), decoded ? 7500u : 0u);
        QVERIFY(!errorinfo.Err_Sys_RS232);
        if (!line.isEmpty())
            QCOMPARE(log.count(line), 1);
    }

    // Under a warning (system state 1) the charge goes on: its figures stay
    // current and its end is seen; the warning's flag goes with the warning.
    void chargeUnderAWarning()
    {
        QVERIFY(startSimulator({"--plugged", "--soc", "90", "--handshake-seconds", "0.5", "--prepare-seconds", "0.5",
                                "--charge-seconds", "5"}));
        Thread_RS232_CCU1 ccu;
        startAsDevice(ccu, 600);
        QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Gun1_plugged_sta.load(), quint16(1), 5000);
        ccu.SendCommand_Gun1_Start_Request();
        QTRY_COMPARE_WITH_TIMEOUT(charginfo.Charging_phase.load(), quint16(3), 8000);
        m_sim->send("fault sys spd");
        QTRY_VERIFY_WITH_TIMEOUT(systemstatus.Sys_available_sta == 1 && errorinfo.Err_Sys_SPD, 5000);
        const quint16 soc = charginfo.SOC_Current;
        QTRY_VERIFY_WITH_TIMEOUT(charginfo.SOC_Current > soc, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(charginfo.Charging_phase.load(), quint16(6), 10000);
        QCOMPARE(charginfo.SOC_Current.load(), quint16(100));
        QCOMPARE(charginfo.DC_Current_Out.load(), 0.0f);

        m_sim->send("clear all");
        QTRY_VERIFY_WITH_TIMEOUT(systemstatus.Sys_available_sta == 0, 5000);
        QVERIFY(!errorinfo.Err_Sys_SPD);
    }

    // The CCU's device goes away (the simulator ends) and a new one comes up
    // under the same name: the port is closed at once and rebuilt.
    void deviceGoneAndBack()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("ttyCCU");
        CcuPortName = link;
        QVERIFY(startSimulator({"--link", link, "--temperature", "20"}));
        LogCapture log;
        Thread_RS232_CCU1 ccu;
        startAsDevice(ccu, 600);
        QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Temperature.load(), 200u, 5000);
        m_sim.reset();
        QTRY_VERIFY_WITH_TIMEOUT(errorinfo.Err_Sys_RS232, 6000);
        QVERIFY(startSimulator({"--link", link, "--temperature", "30"}));
        QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Temperature.load(), 300u, 15000);
        QVERIFY(!errorinfo.Err_Sys_RS232);
        QCOMPARE(log.count("RS232 communication lost."), 1);
        QCOMPARE(lineSettings(link), QString("19200 8N1"));
    }

    // The poll does not depend on the GUI thread: while it is busy (a long
    // file write, a reset script) the requests still go out once a second.
    void pollGoesOnWhileTheGuiThreadIsBusy()
    {
        PtyLine line;
        QVERIFY(line.isValid());
        CcuPortName = line.path();
        Thread_RS232_CCU1 ccu;
        ccu.start();
        QVERIFY(line.nextFrame().startsWith("~21015041")); // boot-up read, made as the line opens
        int polls = 0;
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 2600) // no event loop runs here meanwhile
            polls += line.nextFrame(200).isEmpty() ? 0 : 1;
        QVERIFY2(polls >= 2, qPrintable(QString::number(polls)));
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
        auto ccu = std::make_unique<Thread_RS232_CCU1>();
        startAsDevice(*ccu, 600);
        if (busy)
            QTRY_VERIFY_WITH_TIMEOUT(simLog().count("rx ") >= 3, 5000);
        QTest::qWait(100);
        QElapsedTimer clock;
        clock.start();
        if (busy) {
            ccu->stop();
            QVERIFY(!ccu->RS232_CCU1_Thread.isRunning());
            ccu->stop(); // a second stop (exit after a reset) finds it stopped
        }
        ccu.reset(); // idle: destruction alone ends the thread
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!timer_rs232_interval);
    }
};

QTEST_GUILESS_MAIN(TestCcuLink)
#include "tst_ccu_link.moc"
