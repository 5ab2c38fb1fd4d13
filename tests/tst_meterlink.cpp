// test-components: core meter
// The meter link end to end: the owner's thread reads a meter over a real
// pseudo-terminal, either meter-sim (libmodbus) or bytes written by the test.
#include "dc_meter.h"
#include "dc_meter_data.h"
#include "runtimeoptions.h"
#include "testsupport.h"
#include "thread_rs485.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QtEndian>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Log lines from every thread. The lock is a std::mutex: the meter thread
// logs while the test reads, and ThreadSanitizer sees through this lock
// (it cannot see through the toolkit's contended mutex).
class ThreadLog
{
public:
    ThreadLog()
    {
        s_current = this;
        m_previous = qInstallMessageHandler(&ThreadLog::handler);
    }
    ~ThreadLog()
    {
        qInstallMessageHandler(m_previous);
        std::lock_guard<std::mutex> lock(s_mutex);
        s_current = nullptr;
    }
    QStringList lines() const
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        return m_lines;
    }
    int count(const QString &fragment) const
    {
        int n = 0;
        for (const QString &l : lines())
            n += l.contains(fragment) ? 1 : 0;
        return n;
    }
    bool contains(const QString &fragment) const { return count(fragment) > 0; }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (s_current)
            s_current->m_lines << message;
    }
    static std::mutex s_mutex;
    static ThreadLog *s_current;
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
};
std::mutex ThreadLog::s_mutex;
ThreadLog *ThreadLog::s_current = nullptr;

const QString ErrorLine = QStringLiteral("Communication with DC meter 1 is error.");
const QString RestoredLine = QStringLiteral("Communication with DC meter 1 is restored.");
constexpr int ExchangeTimeoutMs = 5000;

// meter-sim as a child process, commanded over its stdin.
class MeterSim
{
public:
    ~MeterSim()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("quit\n");
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    bool start(const QStringList &arguments)
    {
        m_process.start(QStringLiteral(HMI_BIN_DIR "/meter-sim"), arguments);
        if (!m_process.waitForStarted(5000))
            return false;
        device = readLine();
        return device.startsWith(QLatin1String("/dev/"));
    }
    bool command(const QString &line)
    {
        m_process.write((line + '\n').toLocal8Bit());
        return readLine() == "ok " + line;
    }
    bool stderrContains(const QString &text)
    {
        m_stderr += QString::fromLocal8Bit(m_process.readAllStandardError());
        return m_stderr.contains(text);
    }

    QString device;

private:
    QString readLine()
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_process.canReadLine() && clock.elapsed() < 5000)
            m_process.waitForReadyRead(100);
        return QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }

    QProcess m_process;
    QString m_stderr;
};

// A pseudo-terminal whose far end the test plays itself.
class RawLine
{
public:
    RawLine()
    {
        termios raw{};
        cfmakeraw(&raw);
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, &raw, nullptr) == 0)
            device = QString::fromLocal8Bit(name);
    }
    ~RawLine()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
    }
    QByteArray read(int bytes, int timeoutMs)
    {
        QByteArray data;
        QElapsedTimer clock;
        clock.start();
        while (data.size() < bytes && clock.elapsed() < timeoutMs) {
            pollfd fd{m_master, POLLIN, 0};
            if (::poll(&fd, 1, 50) <= 0)
                continue;
            char buffer[256];
            const ssize_t got = ::read(m_master, buffer, sizeof buffer);
            if (got > 0)
                data.append(buffer, int(got));
        }
        return data;
    }
    bool write(const QByteArray &data)
    {
        int done = 0;
        while (done < data.size()) {
            const ssize_t n = ::write(m_master, data.constData() + done, size_t(data.size() - done));
            if (n <= 0)
                return false;
            done += int(n);
        }
        return true;
    }

    QString device;

private:
    int m_master = -1;
    int m_slave = -1;
};

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
    std::unique_ptr<ThreadLog> m_log;
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
    m_log.reset(new ThreadLog);
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
    MeterSim sim;
    QVERIFY(sim.start({"--voltage", "375", "--current", "100", "--energy", "12.5"}));
    Thread_rs485 owner;
    startOwner(owner, sim.device);
    QCOMPARE(m_log->lines().count("serialport: Open " + sim.device + " sucessed!!"), 1);

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
    MeterSim sim;
    QVERIFY(sim.start({"--voltage", "375"}));
    Thread_rs485 owner;
    startOwner(owner, sim.device);
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
    MeterSim sim;
    QVERIFY(sim.start({"--voltage", "500", "--bad-crc", "--verbose"}));
    Thread_rs485 owner;
    startOwner(owner, sim.device);

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
    QTRY_VERIFY_WITH_TIMEOUT(sim.stderrContains("late answer sent"), ExchangeTimeoutMs);
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

    RawLine line;
    QVERIFY(!line.device.isEmpty());
    Thread_rs485 owner;
    startOwner(owner, line.device);

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
    int timerDeleted = 0;
    connect(timer_rs485_interval, &QObject::destroyed, [&timerDeleted] { ++timerDeleted; });
    QThread *worker = owner->RS485_DCMeter_Thread;
    std::atomic<QThread *> meterDeletedOn{nullptr};
    connect(owner->dc_meter1, &QObject::destroyed, owner->dc_meter1,
            [&meterDeletedOn] { meterDeletedOn = QThread::currentThread(); }, Qt::DirectConnection);

    startOwner(*owner, port);
    owner->start(); // once only
    QCOMPARE(m_log->lines().count("serialport: Open " + port + " failed!!"), 1);

    // Polls go on against the closed line and count as failures.
    poll(*owner);
    QTRY_COMPARE_WITH_TIMEOUT(errorCount(), 1, ExchangeTimeoutMs);
    QVERIFY(m_probe->sample().partsOnMeterThread);
    QCOMPARE(m_log->lines().count("serialport: Open " + port + " failed!!"), 1);

    owner->stop();
    QCOMPARE(timerDeleted, 1);
    QVERIFY(!timer_rs485_interval);
    QVERIFY(owner->dc_meter1.isNull());
    QVERIFY(meterDeletedOn == worker); // with its port and response timer
    QCOMPARE(m_log->lines().count("thread 485 stop"), 1);

    // The exit button, then a reset: a second stop finds nothing to delete.
    owner->stop();
    QCOMPARE(timerDeleted, 1);
    QCOMPARE(m_log->lines().count("thread 485 stop"), 2);
    owner->start();
    QVERIFY(!owner->RS485_DCMeter_Thread || owner->RS485_DCMeter_Thread->isFinished());

    // The thread object goes by its deferred deletion while events run.
    QTRY_VERIFY(owner->RS485_DCMeter_Thread.isNull());
    owner.reset();
    QCOMPARE(timerDeleted, 1);
    QCOMPARE(m_log->lines().count("thread 485 destroy"), 1);
}

void tst_MeterLink::destroyWithoutStop()
{
    RawLine line;
    auto owner = std::make_unique<Thread_rs485>();
    int timerDeleted = 0;
    connect(timer_rs485_interval, &QObject::destroyed, [&timerDeleted] { ++timerDeleted; });
    QThread *worker = owner->RS485_DCMeter_Thread;
    std::atomic<QThread *> meterDeletedOn{nullptr};
    connect(owner->dc_meter1, &QObject::destroyed, owner->dc_meter1,
            [&meterDeletedOn] { meterDeletedOn = QThread::currentThread(); }, Qt::DirectConnection);
    startOwner(*owner, line.device);
    poll(*owner);
    QCOMPARE(line.read(8, ExchangeTimeoutMs).size(), 8);

    owner.reset(); // an exchange may still be in flight
    QCOMPARE(timerDeleted, 1);
    QVERIFY(!timer_rs485_interval);
    QVERIFY(meterDeletedOn == worker);
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
