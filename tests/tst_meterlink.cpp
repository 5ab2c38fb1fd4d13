// test-components: core meter
// The meter link end to end: the owner's thread reads a meter over a real
// pseudo-terminal, either meter-sim (libmodbus) or bytes written by the test.
#include "dc_meter.h"
#include "dc_meter_data.h"
#include "ptysupport.h"
#include "runtimeoptions.h"
#include "testsupport.h"
#include "thread_rs485.h"

#include <QTimer>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

const QString ErrorLine = QStringLiteral("Communication with DC meter 1 is error.");
const QString RestoredLine = QStringLiteral("Communication with DC meter 1 is restored.");
constexpr int ExchangeMs = 5000;

// Reads (and with set >= 0 first sets) the reader's failure count on the
// meter thread. Called by slot name, answered under a std::mutex: the
// toolkit's queued hand-over is invisible to ThreadSanitizer.
class MeterProbe : public QObject
{
    Q_OBJECT
public:
    explicit MeterProbe(DC_Meter *meter) : m_meter(meter) {}
    int errors(int set = -1)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_set = set;
        const quint64 seen = m_generation;
        lock.unlock();
        QMetaObject::invokeMethod(this, "run", Qt::QueuedConnection);
        lock.lock();
        m_answered.wait_for(lock, std::chrono::seconds(10), [&] { return m_generation != seen; });
        return m_errors;
    }

public slots:
    void run()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_set >= 0)
            m_meter->Rs485_error_num = quint16(m_set);
        m_errors = m_meter->Rs485_error_num;
        ++m_generation;
        m_answered.notify_all();
    }

private:
    DC_Meter *const m_meter;
    std::mutex m_mutex;
    std::condition_variable m_answered;
    int m_set = -1;
    int m_errors = -1;
    quint64 m_generation = 0;
};

// One poll tick, as the poll timer would deliver it.
void poll(Thread_rs485 &owner)
{
    QMetaObject::invokeMethod(owner.dc_meter1, "ReadAllInputRegister", Qt::QueuedConnection);
}

} // namespace

class tst_MeterLink : public QObject
{
    Q_OBJECT

    std::unique_ptr<LogCapture> m_log;
    // Deleted after its thread has ended: its last call there is ordered by
    // its own lock, which a deferred deletion would not be.
    std::unique_ptr<MeterProbe> m_probe;

    int errorCount() { return m_probe->errors(); }

    // Starts the owner with the periodic tick held back: the test alone
    // decides when a poll happens.
    void startOwner(Thread_rs485 &owner, const QString &port)
    {
        MeterPortName = port;
        m_probe.reset(new MeterProbe(owner.dc_meter1));
        m_probe->moveToThread(owner.RS485_DCMeter_Thread);
        owner.start();
        QCOMPARE(timer_rs485_interval->interval(), 3000);
        QVERIFY(timer_rs485_interval->isActive());
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
    void cleanup()
    {
        m_probe.reset();
        m_log.reset();
    }

    void readsTheSimulatorThroughAnOutage()
    {
        Simulator sim;
        const QString device = sim.start("meter-sim", {"--voltage", "375", "--current", "100", "--energy", "12.5"});
        QVERIFY(device.startsWith("/dev/"));
        Thread_rs485 owner;
        startOwner(owner, device);
        poll(owner);
        QTRY_COMPARE_WITH_TIMEOUT(dc_meter_data[1].voltage.load(), 375.0f, ExchangeMs);
        QCOMPARE(dc_meter_data[1].current.load(), 100.0f);
        QVERIFY(dc_meter_data[1].Powerquantity >= 12.5f && dc_meter_data[1].Powerquantity < 12.6f);

        // Nine silent polls are the reader's unit test; the 10th and 11th go over the line.
        m_probe->errors(9);
        QVERIFY(sim.command("silent on"));
        poll(owner);
        QTRY_COMPARE_WITH_TIMEOUT(errorCount(), 10, ExchangeMs);
        QVERIFY(!dc_meter_data[1].Com_error);
        poll(owner);
        QTRY_VERIFY_WITH_TIMEOUT(dc_meter_data[1].Com_error, ExchangeMs);

        QVERIFY(sim.command("silent off"));
        QVERIFY(sim.command("voltage 390"));
        poll(owner);
        QTRY_VERIFY_WITH_TIMEOUT(!dc_meter_data[1].Com_error, ExchangeMs);
        QCOMPARE(dc_meter_data[1].voltage.load(), 390.0f);
        QCOMPARE(m_log->lines().count(ErrorLine), 1);
        QCOMPARE(m_log->lines().count(RestoredLine), 1);
    }

    void answersOnTheLine_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<bool>("accepted");
        QByteArray good = QByteArray::fromHex("01042643BB8000") + QByteArray(34, '\0');
        good += CRC16Modbus().CalculateCRC16(good);
        QTest::newRow("answer in three reads") << QList<QByteArray>{good.left(5), good.mid(5, 20), good.mid(25)} << true;
        QTest::newRow("flood") << QList<QByteArray>{QByteArray(6000, char(0xA5))} << false;
    }
    void answersOnTheLine()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, accepted);
        PtyLine line;
        Thread_rs485 owner;
        startOwner(owner, line.path());
        poll(owner);
        QCOMPARE(line.read(8, ExchangeMs).toHex(' '), QByteArray("01 04 40 00 00 13 a4 07"));
        for (const QByteArray &piece : pieces) {
            QVERIFY(line.write(piece));
            QTest::qWait(20);
        }
        QTRY_COMPARE_WITH_TIMEOUT(dc_meter_data[1].voltage.load(), accepted ? 375.0f : 0.0f, ExchangeMs);
        QTRY_COMPARE_WITH_TIMEOUT(errorCount(), accepted ? 0 : 1, ExchangeMs);
    }

    // Stop (the exit button, then a reset: twice) and destruction, or
    // destruction alone: the poll timer is deleted once, the reader on its
    // own thread with its port and response timer, and nothing hangs.
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
        std::atomic<QThread *> meterDeletedOn{nullptr};
        PtyLine line;
        auto owner = std::make_unique<Thread_rs485>();
        QThread *const worker = owner->RS485_DCMeter_Thread;
        QVERIFY(!timer_rs485_interval->isActive()); // no ticks before the thread runs
        connect(timer_rs485_interval, &QObject::destroyed, [&] { ++timerDeleted; });
        connect(owner->dc_meter1, &QObject::destroyed, owner->dc_meter1,
                [&] { meterDeletedOn = QThread::currentThread(); }, Qt::DirectConnection);
        if (started) {
            startOwner(*owner, line.path());
            owner->start(); // once only
            poll(*owner);
            QCOMPARE(line.read(8, ExchangeMs).size(), 8);
            QCOMPARE(m_log->count("serialport: Open"), 1);
        }
        if (stopped) {
            owner->stop();
            QVERIFY(!timer_rs485_interval && owner->dc_meter1.isNull());
            owner->stop();
            owner->start();
            QTRY_VERIFY(owner->RS485_DCMeter_Thread.isNull());
        }
        owner.reset();
        QCOMPARE(timerDeleted, 1);
        QVERIFY(meterDeletedOn == (started ? worker : QThread::currentThread()));
        QCOMPARE(m_log->count("thread 485 destroy"), 1);
    }
};

QTEST_GUILESS_MAIN(tst_MeterLink)
#include "tst_meterlink.moc"
