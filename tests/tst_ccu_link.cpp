// test-components: common ccu
// test-switches: device
// The CCU link as the device build starts it, against ccu-sim over a real
// pseudo-terminal (the charging curve: the device session test); and a
// prompt stop, busy or idle.

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
    void init() { resetCcuState(); }
    void cleanup() { m_sim.reset(); }

    void recordsHoldTheSimulatorsValues()
    {
        QVERIFY(startSimulator({"--plugged", "--temperature", "31.7"}));
        Thread_RS232_CCU1 ccu;
        startAsDevice(ccu);
        QTRY_VERIFY_WITH_TIMEOUT(simLog().contains("rx "), 5000);
        QVERIFY(simLog().mid(simLog().indexOf("rx ")).startsWith("rx ~210150410000FDB2")); // boot-up read first
        QTRY_COMPARE_WITH_TIMEOUT(bootupinfo.Max_DC_Voltage.load(), 7500u, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(systemstatus.Temperature.load(), 317u, 5000);
        QCOMPARE(systemstatus.Gun1_plugged_sta.load(), quint16(1));

        // Every request was answered and every frame was sound to the other side.
        QCOMPARE(uint_err_rs232.load(), 0u);
        QVERIFY2(!simLog().contains("BAD"), simLog().constData());
        ccu.stop();
        QVERIFY(ccu.rs232_ccu.serial == nullptr); // released on the worker thread
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
        startAsDevice(*ccu);
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
