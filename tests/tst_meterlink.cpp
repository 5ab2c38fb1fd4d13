// test-components: core meter
// The meter link end to end: the owner's thread reads a meter over a real
// pseudo-terminal, either meter-sim (libmodbus) or bytes written by the test.
#include "dc_meter.h"
#include "dc_meter_data.h"
#include "ptysupport.h"
#include "runtimeoptions.h"
#include "testsupport.h"
#include "thread_rs485.h"

#include <QPointer>
#include <QTimer>
#include <QtEndian>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

const QString ErrorLine = QStringLiteral("Communication with DC meter 1 is error.");
const QString RestoredLine = QStringLiteral("Communication with DC meter 1 is restored.");
constexpr int ExchangeTimeoutMs = 5000;

QByteArray withCrc(QByteArray frame)
{
    CRC16Modbus crc;
    return frame + crc.CalculateCRC16(frame);
}

QByteArray measurement(float voltage, char address = 0x01)
{
    quint32 raw;
    std::memcpy(&raw, &voltage, sizeof raw);
    QByteArray data(38, '\0');
    qToBigEndian(raw, data.data());
    return withCrc(QByteArray(1, address) + '\x04' + '\x26' + data);
}

// Looks into the reader on its own thread. Queued calls are the toolkit's
// business, and ThreadSanitizer cannot see their hand-over; so the probe is
// moved to the meter thread before it starts, is called by slot name (no
// captured data to hand over) and hands its answers back under a std::mutex.
class MeterProbe : public QObject
{
    Q_OBJECT
public:
    struct Sample
    {
        int errors = -1;
        int buffered = -1;
        bool partsOnMeterThread = false; // port and response timer
    };

    explicit MeterProbe(DC_Meter *meter) : m_meter(meter) {}

    // With setErrors >= 0 the error count is set first.
    Sample sample(int setErrors = -1)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_setErrors = setErrors;
        const quint64 generation = m_generation;
        lock.unlock();
        QMetaObject::invokeMethod(this, "run", Qt::QueuedConnection);
        lock.lock();
        m_answered.wait_for(lock, std::chrono::seconds(10), [&] { return m_generation != generation; });
        return m_sample;
    }

public slots:
    void run()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_setErrors >= 0)
            m_meter->Rs485_error_num = quint16(m_setErrors);
        m_setErrors = -1;
        m_sample.errors = m_meter->Rs485_error_num;
        m_sample.buffered = m_meter->Rs485_readBuf.size();
        m_sample.partsOnMeterThread = m_meter->serial_rs485 && m_meter->timer_serial485
            && m_meter->serial_rs485->thread() == QThread::currentThread()
            && m_meter->timer_serial485->thread() == QThread::currentThread();
        ++m_generation;
        m_answered.notify_all();
    }

private:
    DC_Meter *const m_meter;
    std::mutex m_mutex;
    std::condition_variable m_answered;
    int m_setErrors = -1;
    quint64 m_generation = 0;
    Sample m_sample;
};

// How the owner's parts go: how often the poll timer is deleted, and the
// thread the reader is deleted on.
struct PartsWatch
{
    explicit PartsWatch(Thread_rs485 &owner) : worker(owner.RS485_DCMeter_Thread)
    {
        m_timer = QObject::connect(timer_rs485_interval, &QObject::destroyed, [this] { ++timerDeleted; });
        m_meter = QObject::connect(owner.dc_meter1, &QObject::destroyed, owner.dc_meter1,
                                   [this] { meterDeletedOn = QThread::currentThread(); }, Qt::DirectConnection);
    }
    ~PartsWatch()
    {
        QObject::disconnect(m_timer);
        QObject::disconnect(m_meter);
    }

    int timerDeleted = 0;
    QThread *const worker;
    std::atomic<QThread *> meterDeletedOn{nullptr};

private:
    QMetaObject::Connection m_timer;
    QMetaObject::Connection m_meter;
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
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readsTheSimulator();
    void outageRaisesAndReturnClearsComError();
    void badCrcAndLateAnswers();
    void answersOnTheLine_data();
    void answersOnTheLine();
    void stopThenDestroy();
    void destroyWithoutStop();
    void destroyWithoutStart();

private:
    // Starts the owner on the given port with the periodic tick held back,
    // so that the test alone decides when a poll happens.
    void startOwner(Thread_rs485 &owner, const QString &port);

    int errorCount() { return m_probe ? m_probe->sample().errors : -1; }
    int bufferedBytes() { return m_probe ? m_probe->sample().buffered : -1; }

    QString m_previousPort;
    std::unique_ptr<LogCapture> m_log;
    // Deleted here after its thread has ended: its last call on that thread
    // is ordered before by its own lock, which a deferred deletion would not be.
    std::unique_ptr<MeterProbe> m_probe;
};

void tst_MeterLink::initTestCase()
{
    QVERIFY2(QFile::exists(QStringLiteral(HMI_BIN_DIR "/meter-sim")), "meter-sim is not built");
    m_previousPort = MeterPortName;
}

void tst_MeterLink::init()
{
    for (DC_Meter_Data &d : dc_meter_data) {
        d.voltage = 0;
        d.current = 0;
        d.Powerquantity = 0;
        d.Com_error = false;
    }
    m_log.reset(new LogCapture);
}

void tst_MeterLink::cleanup()
{
    m_probe.reset();
    m_log.reset();
    MeterPortName = m_previousPort;
}

void tst_MeterLink::startOwner(Thread_rs485 &owner, const QString &port)
{
    MeterPortName = port;
    m_probe.reset(new MeterProbe(owner.dc_meter1));
    m_probe->moveToThread(owner.RS485_DCMeter_Thread);
    owner.start();
    QVERIFY(timer_rs485_interval);
    QVERIFY(timer_rs485_interval->isActive());
    QCOMPARE(timer_rs485_interval->interval(), 3000);
    timer_rs485_interval->stop();
    QTRY_VERIFY(m_log->contains("serialport: Open " + port));
}

void tst_MeterLink::readsTheSimulator()
{
    Simulator sim;
    const QString device = sim.start("meter-sim", {"--voltage", "375", "--current", "100", "--energy", "12.5"});
    QVERIFY(device.startsWith("/dev/"));
    Thread_rs485 owner;
    startOwner(owner, device);
    QCOMPARE(m_log->lines().count("serialport: Open " + device + " sucessed!!"), 1);

    poll(owner);
    QTRY_COMPARE_WITH_TIMEOUT(dc_meter_data[1].voltage.load(), 375.0f, ExchangeTimeoutMs);
    QCOMPARE(dc_meter_data[1].current.load(), 100.0f);
    const float energy = dc_meter_data[1].Powerquantity;
    QVERIFY2(energy >= 12.5f && energy < 12.6f, qPrintable(QString::number(energy)));
    QVERIFY(m_log->contains("Reading DC METER, The thread ID = "));

    // New values reach the table; the register grows with the power.
    QVERIFY(sim.command("voltage 800"));
    QVERIFY(sim.command("current 250.5"));
    QTest::qWait(200);
    poll(owner);
    QTRY_COMPARE_WITH_TIMEOUT(dc_meter_data[1].voltage.load(), 800.0f, ExchangeTimeoutMs);
    QCOMPARE(dc_meter_data[1].current.load(), 250.5f);
    QVERIFY(dc_meter_data[1].Powerquantity > energy);
    QCOMPARE(errorCount(), 0);
    QVERIFY(!dc_meter_data[1].Com_error);
}

void tst_MeterLink::outageRaisesAndReturnClearsComError()
{
    Simulator sim;
    const QString device = sim.start("meter-sim", {"--voltage", "375"});
    QVERIFY(device.startsWith("/dev/"));
    Thread_rs485 owner;
    startOwner(owner, device);
    poll(owner);
    QTRY_COMPARE_WITH_TIMEOUT(dc_meter_data[1].voltage.load(), 375.0f, ExchangeTimeoutMs);

    // Nine polls of the outage have passed unanswered (the count itself is
    // the reader's unit test); the tenth and eleventh go over the line.
    m_probe->sample(9);
    QVERIFY(sim.command("silent on"));
    poll(owner);
    QTRY_COMPARE_WITH_TIMEOUT(errorCount(), 10, ExchangeTimeoutMs);
    QVERIFY(!dc_meter_data[1].Com_error);
    poll(owner);
    QTRY_VERIFY_WITH_TIMEOUT(dc_meter_data[1].Com_error, ExchangeTimeoutMs);
    QCOMPARE(m_log->lines().count(ErrorLine), 1);

    QVERIFY(sim.command("silent off"));
    QVERIFY(sim.command("voltage 390"));
    poll(owner);
    QTRY_VERIFY_WITH_TIMEOUT(!dc_meter_data[1].Com_error, ExchangeTimeoutMs);
    QCOMPARE(dc_meter_data[1].voltage.load(), 390.0f);
    QCOMPARE(m_log->lines().count(RestoredLine), 1);
    QCOMPARE(m_log->lines().count(ErrorLine), 1);
}

void tst_MeterLink::badCrcAndLateAnswers()
{
    Simulator sim;
    const QString device = sim.start("meter-sim", {"--voltage", "500", "--bad-crc", "--verbose"});
    QVERIFY(device.startsWith("/dev/"));
    Thread_rs485 owner;
    startOwner(owner, device);

    poll(owner);
    QTRY_COMPARE_WITH_TIMEOUT(errorCount(), 1, ExchangeTimeoutMs);
    QCOMPARE(dc_meter_data[1].voltage.load(), 0.0f);

    QVERIFY(sim.command("badcrc off"));
    poll(owner);
    QTRY_COMPARE_WITH_TIMEOUT(dc_meter_data[1].voltage.load(), 500.0f, ExchangeTimeoutMs);
    QCOMPARE(errorCount(), 0);

    // An answer after the evaluation waits in the buffer and spoils the next
    // exchange; the one after that is good again.
    QVERIFY(sim.command("late 1500"));
    QVERIFY(sim.command("voltage 600"));
    poll(owner);
    QTRY_COMPARE_WITH_TIMEOUT(errorCount(), 1, ExchangeTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(sim.errors().contains("late answer sent"), ExchangeTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(bufferedBytes(), 43, ExchangeTimeoutMs);
    QVERIFY(sim.command("late off"));
    poll(owner);
    QTRY_COMPARE_WITH_TIMEOUT(errorCount(), 2, ExchangeTimeoutMs);
    QCOMPARE(dc_meter_data[1].voltage.load(), 500.0f);
    poll(owner);
    QTRY_COMPARE_WITH_TIMEOUT(dc_meter_data[1].voltage.load(), 600.0f, ExchangeTimeoutMs);
    QCOMPARE(errorCount(), 0);
}

void tst_MeterLink::answersOnTheLine_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<bool>("accepted");

    const QByteArray good = measurement(375.0f);
    QTest::newRow("good answer") << QList<QByteArray>{good} << true;
    QTest::newRow("good answer in three pieces")
        << QList<QByteArray>{good.left(5), good.mid(5, 20), good.mid(25)} << true;
    QTest::newRow("address 2") << QList<QByteArray>{measurement(375.0f, 0x02)} << false;
    QTest::newRow("text") << QList<QByteArray>{QByteArray("AT+OK\r\nhello meter\r\n")} << false;
    QTest::newRow("half an answer") << QList<QByteArray>{good.left(20)} << false;
    QTest::newRow("flood") << QList<QByteArray>{QByteArray(6000, char(0xA5))} << false;
}

void tst_MeterLink::answersOnTheLine()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(bool, accepted);

    PtyLine line;
    QVERIFY(line.isValid());
    Thread_rs485 owner;
    startOwner(owner, line.path());

    poll(owner);
    QCOMPARE(line.read(8, ExchangeTimeoutMs).toHex(' '), QByteArray("01 04 40 00 00 13 a4 07"));
    for (const QByteArray &piece : pieces) {
        QVERIFY(line.write(piece));
        QTest::qWait(20);
    }
    if (accepted) {
        QTRY_COMPARE_WITH_TIMEOUT(dc_meter_data[1].voltage.load(), 375.0f, ExchangeTimeoutMs);
        QCOMPARE(errorCount(), 0);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(errorCount(), 1, ExchangeTimeoutMs);
        QCOMPARE(dc_meter_data[1].voltage.load(), 0.0f);
        QCOMPARE(bufferedBytes(), 0);
    }
}

void tst_MeterLink::stopThenDestroy()
{
    TestDataDir dir;
    const QString port = dir.file("no-such-tty");
    auto owner = std::make_unique<Thread_rs485>();
    QVERIFY(timer_rs485_interval);
    QVERIFY(!timer_rs485_interval->isActive()); // no ticks before the thread runs
    PartsWatch parts(*owner);

    startOwner(*owner, port);
    owner->start(); // once only
    QCOMPARE(m_log->lines().count("serialport: Open " + port + " failed!!"), 1);

    // Polls go on against the closed line and count as failures.
    poll(*owner);
    QTRY_COMPARE_WITH_TIMEOUT(errorCount(), 1, ExchangeTimeoutMs);
    QVERIFY(m_probe->sample().partsOnMeterThread);
    QCOMPARE(m_log->lines().count("serialport: Open " + port + " failed!!"), 1);

    owner->stop();
    QCOMPARE(parts.timerDeleted, 1);
    QVERIFY(!timer_rs485_interval);
    QVERIFY(owner->dc_meter1.isNull());
    QVERIFY(parts.meterDeletedOn == parts.worker); // with its port and response timer
    QCOMPARE(m_log->lines().count("thread 485 stop"), 1);

    // The exit button, then a reset: a second stop finds nothing to delete.
    owner->stop();
    QCOMPARE(parts.timerDeleted, 1);
    QCOMPARE(m_log->lines().count("thread 485 stop"), 2);
    owner->start();
    QVERIFY(!owner->RS485_DCMeter_Thread || owner->RS485_DCMeter_Thread->isFinished());

    // The thread object goes by its deferred deletion while events run.
    QTRY_VERIFY(owner->RS485_DCMeter_Thread.isNull());
    owner.reset();
    QCOMPARE(parts.timerDeleted, 1);
    QCOMPARE(m_log->lines().count("thread 485 destroy"), 1);
}

void tst_MeterLink::destroyWithoutStop()
{
    PtyLine line;
    auto owner = std::make_unique<Thread_rs485>();
    PartsWatch parts(*owner);
    startOwner(*owner, line.path());
    poll(*owner);
    QCOMPARE(line.read(8, ExchangeTimeoutMs).size(), 8);

    owner.reset(); // an exchange may still be in flight
    QCOMPARE(parts.timerDeleted, 1);
    QVERIFY(!timer_rs485_interval);
    QVERIFY(parts.meterDeletedOn == parts.worker);
    QCOMPARE(m_log->lines().count("thread 485 destroy"), 1);
    QCOMPARE(m_log->lines().count("thread 485 stop"), 0);
}

void tst_MeterLink::destroyWithoutStart()
{
    // The simulation build never starts the meter thread.
    auto owner = std::make_unique<Thread_rs485>();
    int timerDeleted = 0;
    int meterDeleted = 0;
    connect(timer_rs485_interval, &QObject::destroyed, [&timerDeleted] { ++timerDeleted; });
    connect(owner->dc_meter1, &QObject::destroyed, [&meterDeleted] { ++meterDeleted; });
    owner.reset();
    QCOMPARE(timerDeleted, 1);
    QCOMPARE(meterDeleted, 1);
    QVERIFY(!m_log->contains("serialport:"));
    QCOMPARE(m_log->lines().count("thread 485 destroy"), 1);
}

QTEST_GUILESS_MAIN(tst_MeterLink)
#include "tst_meterlink.moc"
