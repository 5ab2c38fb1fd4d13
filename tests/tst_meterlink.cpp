// test-components: common meter
// The meter link end to end: the owner's thread reads meter-sim (libmodbus)
// over a real pseudo-terminal: line settings, an outage, a late answer, a
// device that goes away or is missing at start, a poll that goes on while
// the GUI thread is busy, and the teardown.
#include "dc_meter.h"
#include "dc_meter_data.h"
#include "ptysupport.h"
#include "runtimeoptions.h"
#include "testsupport.h"
#include "thread_rs485.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {
constexpr int ExchangeMs = 5000;

// One poll tick, as the poll timer would deliver it.
void poll(Thread_rs485 &owner)
{
    QMetaObject::invokeMethod(&owner.dc_meter1, "ReadAllInputRegister", Qt::QueuedConnection);
}
} // namespace

class tst_MeterLink : public QObject
{
    Q_OBJECT

    std::unique_ptr<LogCapture> m_log;

    // The periodic tick is held back: the test alone decides when a poll happens.
    void startOwner(Thread_rs485 &owner, const QString &port, bool opens = true)
    {
        MeterPortName = port;
        owner.start();
        QVERIFY(timer_rs485_interval && timer_rs485_interval->thread() == &owner.RS485_DCMeter_Thread);
        QCOMPARE(timer_rs485_interval->interval(), 3000);
        stopOnItsThread(timer_rs485_interval);
        QTRY_VERIFY(m_log->contains("serialport: Open " + port + (opens ? " sucessed!!" : " failed!!")));
    }

    // Polls until the voltage reads `volts` or `polls` polls have failed.
    static bool pollUntilVoltage(Thread_rs485 &owner, float volts, int polls)
    {
        for (int i = 0; i < polls; ++i) {
            poll(owner);
            if (QTest::qWaitFor([&] { return dc_meter_data[1].voltage == volts; }, 700))
                return true;
        }
        return false;
    }

private slots:
    void init()
    {
        for (DC_Meter_Data &d : dc_meter_data) {
            d.voltage = d.current = d.Powerquantity = 0;
            d.Com_error = false;
        }
        m_log.reset(new LogCapture);
    }
    void cleanup() { m_log.reset(); }

    void readsTheSimulatorAfterAnOutage()
    {
        Simulator sim;
        const QString device = sim.start("meter-sim", {"--silent", "--voltage", "375", "--current", "100", "--energy", "12.5"});
        QVERIFY(device.startsWith("/dev/"));
        Thread_rs485 owner;
        owner.dc_meter1.Rs485_error_num = 10; // the count itself is the reader's unit test
        startOwner(owner, device);
        QCOMPARE(lineSettings(device), QString("9600 8N1"));
        poll(owner); // the 11th silent poll
        QTRY_VERIFY_WITH_TIMEOUT(dc_meter_data[1].Com_error, ExchangeMs);

        QVERIFY(sim.command("silent off"));
        poll(owner);
        QTRY_COMPARE_WITH_TIMEOUT(dc_meter_data[1].voltage.load(), 375.0f, ExchangeMs);
        QVERIFY(!dc_meter_data[1].Com_error);
        QCOMPARE(dc_meter_data[1].current.load(), 100.0f);
        QVERIFY(dc_meter_data[1].Powerquantity >= 12.5f && dc_meter_data[1].Powerquantity < 12.6f);
        QCOMPARE(m_log->count("Communication with DC meter 1 is error."), 1);
        QCOMPARE(m_log->count("Communication with DC meter 1 is restored."), 1);
    }

    // An answer that comes after its evaluation costs its own poll only.
    void lateAnswerCostsOnlyItsPoll()
    {
        Simulator sim;
        const QString device = sim.start("meter-sim", {"--late=800", "--voltage", "375"});
        Thread_rs485 owner;
        startOwner(owner, device);
        poll(owner);
        QTest::qWait(1300); // evaluated after 500 ms with nothing there; the answer came at 800 ms
        QCOMPARE(dc_meter_data[1].voltage.load(), 0.0f);
        QVERIFY(sim.command("late off"));
        poll(owner);
        QTRY_COMPARE_WITH_TIMEOUT(dc_meter_data[1].voltage.load(), 375.0f, ExchangeMs);
    }

    // The meter's device goes away (adapter unplugged, re-enumerated) and
    // comes back under its name, or is not there yet when the HMI starts:
    // the port is opened afresh and the readings come back.
    void deviceGoneOrLate_data()
    {
        QTest::addColumn<bool>("presentAtStart");
        QTest::newRow("gone and back") << true;
        QTest::newRow("missing at start") << false;
    }
    void deviceGoneOrLate()
    {
        QFETCH(bool, presentAtStart);
        QTemporaryDir dir;
        const QString link = dir.filePath("ttyMeter");
        auto sim = std::make_unique<Simulator>();
        Thread_rs485 owner;
        if (presentAtStart) {
            QVERIFY(sim->start("meter-sim", {"--link", link, "--voltage", "375"}).startsWith("/dev/"));
            startOwner(owner, link);
            QVERIFY(pollUntilVoltage(owner, 375.0f, 1));
            sim.reset();
            poll(owner);
            QTRY_VERIFY_WITH_TIMEOUT(m_log->contains("ttyMeter lost:"), ExchangeMs);
            sim = std::make_unique<Simulator>();
        } else {
            startOwner(owner, link, false);
        }
        QVERIFY(sim->start("meter-sim", {"--link", link, "--voltage", "400"}).startsWith("/dev/"));
        QVERIFY(pollUntilVoltage(owner, 400.0f, presentAtStart ? 2 : 13));
        QCOMPARE(lineSettings(link), QString("9600 8N1"));
        QCOMPARE(m_log->count("serialport: Open " + link + " failed!!"), presentAtStart ? 0 : 1);
    }

    // The poll does not depend on the GUI thread: while it is busy the meter
    // is still read every three seconds.
    void pollGoesOnWhileTheGuiThreadIsBusy()
    {
        PtyLine line;
        QVERIFY(line.isValid());
        MeterPortName = line.path();
        Thread_rs485 owner;
        owner.start();
        // No event loop runs here meanwhile.
        QCOMPARE(line.read(8, 3600).toHex(' '), QByteArray("01 04 40 00 00 13 a4 07"));
    }

    // Stop (the exit button, then a reset: twice) and destruction, or
    // destruction alone: the poll timer goes with the meter thread (deleted
    // once: AddressSanitizer would see a second time), the port is released
    // as it finishes, and nothing hangs.
    void teardown_data()
    {
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("stopped");
        QTest::newRow("stop, then destroy") << true << true;
        QTest::newRow("destroyed in an exchange") << true << false;
        QTest::newRow("never started") << false << false; // the simulation build
    }
    void teardown()
    {
        QFETCH(bool, started);
        QFETCH(bool, stopped);
        PtyLine line;
        auto owner = std::make_unique<Thread_rs485>();
        QVERIFY(!timer_rs485_interval); // no ticks before the thread runs
        if (started) {
            startOwner(*owner, line.path());
            poll(*owner);
            QCOMPARE(line.read(8, ExchangeMs).toHex(' '), QByteArray("01 04 40 00 00 13 a4 07"));
        }
        if (stopped) {
            owner->stop();
            QVERIFY(!timer_rs485_interval && !owner->RS485_DCMeter_Thread.isRunning());
            QVERIFY(owner->dc_meter1.serial_rs485 == nullptr); // released on the meter thread
            owner->stop();
            owner->start();
            QVERIFY(!owner->RS485_DCMeter_Thread.isRunning());
        }
        owner.reset();
        QVERIFY(!timer_rs485_interval);
        QCOMPARE(m_log->count("thread 485 destroy"), 1);
    }
};

QTEST_GUILESS_MAIN(tst_MeterLink)
#include "tst_meterlink.moc"
