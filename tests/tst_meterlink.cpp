// test-components: common meter
// The meter link end to end: the owner's thread reads meter-sim (libmodbus)
// over a real pseudo-terminal.
#include "dc_meter.h"
#include "dc_meter_data.h"
#include "ptysupport.h"
#include "runtimeoptions.h"
#include "testsupport.h"
#include "thread_rs485.h"

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
    void startOwner(Thread_rs485 &owner, const QString &port)
    {
        MeterPortName = port;
        owner.start();
        QCOMPARE(timer_rs485_interval->interval(), 3000);
        timer_rs485_interval->stop();
        QTRY_VERIFY(m_log->contains("serialport: Open " + port));
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

    // Stop (the exit button, then a reset: twice) and destruction, or
    // destruction alone: the poll timer is deleted once, the port is released
    // as the meter thread finishes, and nothing hangs.
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
        int timerDeleted = 0;
        PtyLine line;
        auto owner = std::make_unique<Thread_rs485>();
        QVERIFY(!timer_rs485_interval->isActive()); // no ticks before the thread runs
        connect(timer_rs485_interval, &QObject::destroyed, [&] { ++timerDeleted; });
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
        QCOMPARE(timerDeleted, 1);
        QCOMPARE(m_log->count("thread 485 destroy"), 1);
    }
};

QTEST_GUILESS_MAIN(tst_MeterLink)
#include "tst_meterlink.moc"
