#include "life.h"

#include "application.h"
#include "ccu_records.h"
#include "charging_child1.h"
#include "charging_child2.h"
#include "chargerconnect.h"
#include "complete.h"
#include "complete_child.h"
#include "energydelivery.h"
#include "fixedcharge.h"
#include "fonts.h"
#include "globalvariable.h"
#include "home.h"
#include "ipc_pipe.h"
#include "keyboard.h"
#include "panel.h"
#include "peers.h"
#include "resetscript.h"
#include "runtimeoptions.h"
#include "servicepin.h"
#include "shutdown.h"
#include "standby.h"
#include "transactionrecord.h"
#include "authorization.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <unistd.h>

namespace monkey {

int64_t monotonicMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

quint64 lifeSeed(quint64 seed, int life)
{
    // splitmix64 of the pair, so neighbouring seeds give unrelated streams
    quint64 z = seed + 0x9E3779B97F4A7C15ULL * quint64(life + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

namespace {

// Bounds of the invariants. Time the OCPP client is down does not count.
constexpr int LoopAnswerMs = 5000;     // a due timer fires within this
constexpr int StatusSeenMs = 15000;    // the client sees the connector's status
constexpr int StopSeenMs = 15000;      // the client sees a StopTransaction the charger sent
constexpr int InboundMs = 15000;       // the client writes what it was told to send, the charger reads it
constexpr int TransactionEndTicks = 60; // ticks off the charging pages before the StopTransaction,
constexpr int TransactionEndMs = 30000; // and time: a start answered late is re-sent on the retry timer
constexpr int HeldStopMs = 60000;      // a stop waiting for its start's transactionId, the client answering
constexpr double PauseScale = 0.05;    // the supervisor's pauses, as in the demo

const QStringList ChargePointStatuses = {"Available", "Preparing", "Charging", "SuspendedEVSE", "SuspendedEV",
                                         "Finishing", "Reserved",  "Unavailable", "Faulted"};

long peakRssKb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

void raiseTo(std::atomic<int64_t> &value, int64_t candidate)
{
    int64_t now = value.load();
    while (candidate > now && !value.compare_exchange_weak(now, candidate)) {
    }
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

// The charger's last warnings, kept for a failure report; the worker
// threads log too.
std::mutex g_logLock;
QStringList g_logTail;
bool g_verbose = false;

void logHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    std::lock_guard<std::mutex> lock(g_logLock);
    if (type != QtDebugMsg || g_verbose) {
        g_logTail << message;
        if (g_logTail.size() > 40)
            g_logTail.removeFirst();
    }
    if (g_verbose)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

QStringList logTail()
{
    std::lock_guard<std::mutex> lock(g_logLock);
    QStringList copy;
    for (const QString &line : g_logTail)
        copy << QString(line.constData(), line.size());
    return copy;
}

class Life : public QObject
{
public:
    Life(const Options &options, Record &record)
        : m_o(options), m_rec(record), m_rng(lifeSeed(options.seed, record.life)),
          m_peers(options.binDir, options.dataDir(), !DebugMode_ChargerGun)
    {
    }

    int run();

private:
    struct Item
    {
        int delayMs;
        std::function<void()> act;
    };

    // ------------------------------------------------ random stream
    quint64 next() { return m_rng(); }
    int below(int n) { return n <= 1 ? 0 : int(next() % quint64(n)); }
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return unit() < p; }
    template<typename T> const T &oneOf(const QVector<T> &list) { return list.at(below(list.size())); }

    // ------------------------------------------------ set-up and end
    bool prepareFiles();
    bool startCharger();
    void resetEnded(int exitCode);
    int finish(int code);

    // ------------------------------------------------ steps
    void schedule(int delayMs, std::function<void()> act) { m_queue.push_back({delayMs, std::move(act)}); }
    void runQueue();
    void stepDone();
    void drawStep();
    void note(const QString &what);
    void tick();
    QPoint somewhere();
    QPoint aimed(QString *name);
    void tap(const QPoint &p, bool quick = false);
    void touchStep();
    void keyStep();
    void peerStep();
    void clientSends(const QString &command);

    // ------------------------------------------------ invariants
    void check();
    void fail(const QString &what);
    // A fault of the session's rules rather than of the program: reported
    // with its seed and step, once per kind and life; the life goes on.
    void finding(const QString &kind, const QString &what);
    QString pageProblem() const;
    void watchTransactions();
    void checkRegister();
    bool cwdClean(QString *found) const;

    const Options &m_o;
    Record &m_rec;
    std::mt19937_64 m_rng;
    Peers m_peers;
    std::unique_ptr<ChargerApplication> m_app;
    std::unique_ptr<Panel> m_panel;
    std::unique_ptr<ShutdownSignals> m_shutdown;
    QVector<Item> m_queue;
    int64_t m_dueAt = 0;
    int64_t m_step = 0;
    int m_ticks = 0;
    bool m_failed = false;
    QString m_stoppedBy; // "reset", "exit" or empty
    int m_resetsAsked = 0;
    qint64 m_resetLogSize = 0; // of monkey-resets.log when the life began

    // Transactions as the charger requests them, and what the client saw.
    bool m_transactionOpen = false;
    QStringList m_startRequests; // the values startRequest took during the open transaction
    QStringList m_trail;         // page/status and what was done, while the transaction is open
    int m_offChargingTicks = 0;      // the tick the session left the charging pages
    int64_t m_offChargingSince = 0;
    int64_t m_transactionStep = 0;
    QVector<qint64> m_stopsInFlight; // client-up time of each StopTransaction not seen yet
    qint64 m_heldSince = -1;         // client-up time since a stop waits for its start's answer
    bool m_clientSilent = false;     // told to answer nothing
    int m_stopsSeen = 0;
    bool m_statusUnknown = false;    // the client restarted: what it knew may be lost
    int m_notificationsSent = 0;     // StatusNotification requests of the charger
    int m_notificationsAtRestart = 0;
    QStringList m_findings;
    // The way back: what the client was told to send and has written, and
    // what the charger has read.
    int m_received = 0;          // messages the charger has read
    int m_receivedBefore = 0;
    int m_sentBefore = 0;
    qint64 m_commandSince = -1;  // client-up time of a command still to be written
    int m_sentAtCommand = 0;
    int64_t m_unreadSince = -1;  // the client wrote and the charger has read nothing since
    qint64 m_mismatchSince = -1;
    QString m_lastPage;
    QString m_lastStatus;
};

// ---------------------------------------------------------------- set-up

bool Life::prepareFiles()
{
    const QDir data(m_o.dataDir());
    // The configuration the OCPP client would have written, different per life.
    auto key = [](const char *name, const QString &value) {
        return QJsonObject{{"key", name}, {"readonly", false}, {"value", value}};
    };
    const QVector<QString> bools = {"true", "false"};
    QJsonArray keys{key("ConnectionTimeOut", QString::number(10 + below(30))),
                    key("MeterValueSampleInterval", QString::number(10 + below(20))),
                    key("TransactionMessageRetryInterval", QString::number(5 + below(10))),
                    key("TransactionMessageAttempts", QString::number(1 + below(3))),
                    key("MeterValuesSampledData", oneOf<QString>({"Power.Active.Export,Voltage,Current.Export,SoC",
                                                                  "SoC", "Voltage,Bogus", ""})),
                    key("StopTransactionOnInvalidId", oneOf(bools)),
                    key("StopTransactionOnEVSideDisconnect", oneOf(bools))};
    bool ok = writeFile(data.filePath("configuration.json"),
                        QJsonDocument(QJsonObject{{"configurationKey", keys}}).toJson());

    // The card of the debug panel; now and then a damaged file.
    const QVector<QByteArray> idTags = {"{\"IDtag\": \"04A2B3C4D5E6F7\"}", "{\"IDtag\": \"MONKEY-CARD\"}",
                                        "{\"IDtag\": \"\"}", "{\"IDtag\": 42}", "{\"IDt", ""};
    ok = writeFile(data.filePath("IDtag.json"), chance(0.8) ? idTags.at(0) : oneOf(idTags)) && ok;

    if (!QFile::exists(data.filePath("DynamicStatus.json")) || chance(0.05)) {
        QFile::remove(data.filePath("DynamicStatus.json"));
        if (chance(0.8))
            ok = QFile::copy(m_o.deployDir + "/DynamicStatus.json", data.filePath("DynamicStatus.json")) && ok;
        else
            ok = writeFile(data.filePath("DynamicStatus.json"), "[1, 2") && ok;
    }
    // A damaged energy register starts again from 0 (the damaged file is kept
    // beside it); the register check starts again with it.
    if (chance(0.03) && writeFile(data.filePath("EnergyMeter_Lcd.json"), "{\"EnergyMeter\": \"12"))
        m_rec.lastRegisterTenths.store(-1);

    // The factory screen behind a service PIN in some lives (the touches
    // then meet the PIN pad and its lock-out), open in the others.
    QFile::remove(data.filePath(ServicePinFileName));
    QFile::remove(data.filePath(ServiceLockFileName));
    if (chance(0.3))
        ok = ServicePin(m_o.dataDir() + '/').set("2580") && ok;

    // Reset scripts that only record that they ran and whom they were to end.
    for (const char *kind : {"soft", "hard"}) {
        const QString name = QString("%1warereset.sh").arg(kind);
        ok = writeFile(data.filePath(name), QByteArray("#!/bin/sh\necho \"") + kind +
                                                 " $HMI_PID\" >> \"$(dirname \"$0\")/monkey-resets.log\"\n") &&
             ok;
    }
    // The indicator lamps' nodes.
    for (int i = 1; i <= 4; ++i) {
        if (!QFile::exists(data.filePath(QString("gpio%1").arg(i))))
            ok = writeFile(data.filePath(QString("gpio%1").arg(i)), "0") && ok;
    }
    return ok;
}

bool Life::startCharger()
{
    QStringList ccuArguments = {"--handshake-seconds", "1", "--prepare-seconds", QString::number(1 + below(3)),
                                "--charge-seconds", QString::number(10 + below(40)), "--stop-seconds",
                                QString::number(1 + below(3)), "--soc", QString::number(20 + below(70))};
    if (chance(0.3))
        ccuArguments << "--plugged";
    if (!m_peers.startSerial(ccuArguments)) {
        fail("the serial simulators did not start");
        return false;
    }
    QStringList arguments = {"hmi-monkey", "--data-dir", m_o.dataDir(), "--gpio-prefix", m_o.dataDir() + "/gpio",
                             "--network-host", "localhost"};
    if (m_peers.device())
        arguments << "--ccu-port" << m_peers.ccuPath() << "--meter-port" << m_peers.meterPath();
    applyRuntimeOptions(arguments);
    if (!m_peers.startClient()) {
        fail("ocpp-client-sim did not start");
        return false;
    }

    MainWindow::setPauseScale(PauseScale);
    m_app = std::make_unique<ChargerApplication>();
    // The monkey ticks the supervisor itself, at random moments.
    m_app->mytimer.stop();
    m_app->startDeviceLinks();
    MainWindow &w = m_app->window;
    connect(&w, &MainWindow::StrartTransaction_req, this, [this] {
        m_rec.figures.sessions.fetch_add(1);
        m_startRequests = QStringList{QString::number(gun_status[1].startRequest)};
        m_trail = QStringList{QString("step %1 %2/%3").arg(m_step).arg(gun_status[1].page, gun_status[1].status)};
        m_transactionOpen = true;
        m_transactionStep = m_step;
        m_offChargingTicks = 0;
    });
    connect(&w, &MainWindow::StatusNotification_req, this, [this] { ++m_notificationsSent; });
    connect(&w, &MainWindow::StopTransacation_req, this, [this] { m_transactionOpen = false; });
    // A stop is on its way only once it is written: one whose start is still
    // unanswered waits for the transactionId, and a retry goes out again.
    connect(&m_app->pipe, &Thread_pipe::ocppwrite, this, [this](const QString &text) {
        if (text.contains(QLatin1String("=StopTransaction=")))
            m_stopsInFlight << m_peers.clientUpMs();
    });
    connect(m_app->pipe.ocppin, &IPC_Pipe::signal_ocppin, this, [this] { ++m_received; });
    auto resetAsked = [this] { ++m_resetsAsked; };
    connect(&w, &MainWindow::signal_SoftwareReset, this, resetAsked);
    connect(&w, &MainWindow::signal_HardwareReset, this, resetAsked);
    connect(&w, &MainWindow::UI_exit, this, [this] {
        if (m_stoppedBy.isEmpty()) {
            m_stoppedBy = "exit";
            m_rec.figures.exits.fetch_add(1);
        }
    });
    m_panel = std::make_unique<Panel>(&w);
    // SIGTERM from the service manager ends the program as on the panel.
    m_shutdown = std::make_unique<ShutdownSignals>();
    connect(m_shutdown.get(), &ShutdownSignals::shutdownRequested, &w, &MainWindow::UI_interface_exit);

    // The register as the charger found it.
    checkRegister();
    m_resetLogSize = QFileInfo(QDir(m_o.dataDir()).filePath("monkey-resets.log")).size();
    return !m_failed;
}

int Life::run()
{
    if (!prepareFiles()) {
        std::fprintf(stderr, "monkey: cannot prepare %s\n", qPrintable(m_o.dataDir()));
        return EndFailed;
    }
    if (!startCharger())
        return finish(EndFailed);
    m_step = m_rec.figures.steps.load();
    m_dueAt = monotonicMs();
    QTimer traceTimer;
    if (m_o.trace) {
        connect(&traceTimer, &QTimer::timeout, this, [this] {
            if (gun_status[1].page != m_lastPage) {
                std::printf("  %7.3f   ...page %s\n", double(monotonicMs() - m_o.startMs) / 1000.0, qPrintable(gun_status[1].page));
                m_lastPage = gun_status[1].page;
            }
        });
        traceTimer.start(5);
    }
    QTimer::singleShot(0, this, [this] { drawStep(); });
    const int exitCode = qApp->exec();
    if (m_failed)
        return finish(EndFailed);
    if (m_resetsAsked > 0 && m_stoppedBy != "exit")
        resetEnded(exitCode);
    if (m_failed)
        return finish(EndFailed);
    return finish(m_stoppedBy.isEmpty() || m_stoppedBy == "deadline" ? EndDeadline : EndProgramStopped);
}

// A reset ended the program: the script ran, knew whom to end, and the
// program left with the code that has the service manager start it again.
void Life::resetEnded(int exitCode)
{
    m_stoppedBy = "reset";
    m_rec.figures.resets.fetch_add(1);
    QFile log(QDir(m_o.dataDir()).filePath("monkey-resets.log"));
    const QByteArray last = log.open(QIODevice::ReadOnly) ? log.readAll().trimmed().split('\n').last() : QByteArray();
    if (last.split(' ').value(1) != QByteArray::number(QCoreApplication::applicationPid()) ||
        log.size() <= m_resetLogSize)
        fail("the reset script did not run or was not told whom to end: \"" + QString::fromLatin1(last) + "\"");
    else if (exitCode != ExitAfterReset || programExitCode() != ExitAfterReset)
        fail(QString("the program left its event loop with %1 after a reset, not %2").arg(exitCode).arg(ExitAfterReset));
}

int Life::finish(int code)
{
    m_shutdown.reset();
    m_panel.reset();
    if (m_app) {
        const int64_t start = monotonicMs();
        m_rec.heartbeatMs.store(start);
        m_app.reset(); // the program's own end: workers stopped, FIFO ends released
        if (code != EndFailed && monotonicMs() - start > 5000) {
            std::printf("monkey: the charger took %lld ms to shut down\n", (long long)(monotonicMs() - start));
            code = EndFailed;
        }
    }
    m_peers.stopAll();
    QString stray;
    if (code != EndFailed && !cwdClean(&stray)) {
        std::printf("monkey: FAILED: written outside the data directory: %s (seed %llu life %d)\n",
                    qPrintable(stray), (unsigned long long)m_o.seed, m_rec.life.load());
        code = EndFailed;
    }
    raiseTo(m_rec.figures.maxRssKb, peakRssKb());
    std::fflush(stdout);
    return code;
}

// ---------------------------------------------------------------- the stream

void Life::note(const QString &what)
{
    const int slot = m_rec.recentNext.fetch_add(1) % RecentActions;
    const QByteArray text = QString("life %1 step %2: %3").arg(m_rec.life.load()).arg(m_step).arg(what).toUtf8();
    std::snprintf(m_rec.recent[slot], ActionText, "%s", text.constData());
    if (m_o.trace)
        std::printf("%7.3f %s\n", double(monotonicMs() - m_o.startMs) / 1000.0, text.constData());
}

void Life::runQueue()
{
    const int64_t now = monotonicMs();
    m_rec.heartbeatMs.store(now);
    const int64_t late = now - m_dueAt;
    raiseTo(m_rec.figures.maxLoopLatencyMs, late);
    if (late > LoopAnswerMs) {
        fail(QString("the event loop did not answer for %1 ms").arg(late));
        return;
    }
    if (m_queue.isEmpty()) {
        stepDone();
        return;
    }
    const Item item = m_queue.takeFirst();
    item.act();
    if (m_failed || !m_stoppedBy.isEmpty())
        return;
    const int delay = m_queue.isEmpty() ? below(30) : m_queue.first().delayMs;
    m_dueAt = monotonicMs() + delay;
    QTimer::singleShot(delay, this, [this] { runQueue(); });
}

void Life::stepDone()
{
    // The hand-over to a reset script ends the event loop at once.
    if (m_resetsAsked > 0 && m_stoppedBy.isEmpty()) {
        fail("the program went on after its reset hand-over");
        return;
    }
    check();
    if (m_failed)
        return;
    if (!m_stoppedBy.isEmpty())
        return; // the exit corner: the loop is already ending
    if (monotonicMs() >= m_o.deadlineMs) {
        note("time is up: the exit the home screen's corner gives");
        m_stoppedBy = "deadline";
        m_app->window.UI_interface_exit();
        return;
    }
    drawStep();
}

void Life::drawStep()
{
    m_step = m_rec.figures.steps.fetch_add(1) + 1;
    // While energy flows the driver mostly waits, so that charges also run
    // to their end.
    const QString &page = gun_status[1].page;
    const bool waiting = page == page_charging || page == page_charging_child1 || page == page_charging_child2;
    const int roll = below(100);
    const int other = below(70);
    if (roll < (waiting ? 60 : 30)) {
        schedule(0, [this] {
            note("tick");
            tick();
        });
    } else if (other < 42) {
        touchStep();
    } else if (other < 50) {
        keyStep();
    } else if (other < 62) {
        peerStep();
    } else {
        const int ms = 20 + below(400);
        schedule(ms, [this, ms] { note(QString("idle %1 ms").arg(ms)); });
    }
    m_dueAt = monotonicMs() + (m_queue.isEmpty() ? 0 : m_queue.first().delayMs);
    QTimer::singleShot(m_queue.isEmpty() ? 0 : m_queue.first().delayMs, this, [this] { runQueue(); });
}

// One supervisor tick and what else the timer service drives with it.
void Life::tick()
{
    ++m_ticks;
    m_rec.figures.ticks.fetch_add(1);
    Mytimer &timer = m_app->mytimer;
    emit timer.signal_1s_timerout();
    str_datetime = QDateTime::currentDateTime().toString("MM-dd hh:mm:ss");
    if (m_ticks % 2 == 0)
        emit timer.signal_2s_timerout();
    if (m_ticks % 5 == 0)
        emit timer.signal_5s_timerout();
}

QPoint Life::somewhere()
{
    return QPoint(below(ActScreenX), below(ActScreenY));
}

// A point a finger aims at: inside a control that a touch reaches, or, with
// nothing to aim at, anywhere.
QPoint Life::aimed(QString *name)
{
    const QVector<Panel::Target> targets = m_panel->targets();
    double total = 0;
    for (const Panel::Target &t : targets)
        total += t.weight;
    if (total <= 0) {
        *name = "anywhere";
        return somewhere();
    }
    double r = unit() * total;
    const Panel::Target *chosen = &targets.last();
    for (const Panel::Target &t : targets) {
        r -= t.weight;
        if (r < 0) {
            chosen = &t;
            break;
        }
    }
    *name = chosen->widget->objectName();
    if (name->isEmpty())
        *name = chosen->widget->metaObject()->className();
    // Anywhere on the control, not only its centre.
    const QRect r2 = chosen->widget->rect().adjusted(2, 2, -2, -2);
    const QPoint local(r2.left() + below(qMax(1, r2.width())), r2.top() + below(qMax(1, r2.height())));
    return Panel::panelPoint(chosen->widget, local);
}

void Life::tap(const QPoint &p, bool quick)
{
    m_rec.figures.touches.fetch_add(1);
    m_panel->press(p, quick);
    m_panel->release(p);
}

void Life::touchStep()
{
    const int kind = below(100);
    QString name;
    if (kind < 55) {
        const QPoint p = aimed(&name);
        const int hold = chance(0.3) ? below(250) : 0;
        schedule(0, [this, p, name, hold] {
            note(QString("tap %1 at %2,%3 (%4 ms)").arg(name).arg(p.x()).arg(p.y()).arg(hold));
            m_rec.figures.touches.fetch_add(1);
            m_panel->press(p);
            if (hold == 0)
                m_panel->release(p);
        });
        if (hold > 0)
            schedule(hold, [this, p] { m_panel->release(p); });
    } else if (kind < 68) {
        const QPoint p = somewhere();
        schedule(0, [this, p] {
            note(QString("tap anywhere at %1,%2").arg(p.x()).arg(p.y()));
            tap(p);
        });
    } else if (kind < 76) {
        // A fast double tap; the second touch lands on whatever the first left there.
        const QPoint p = chance(0.7) ? aimed(&name) : somewhere();
        const bool apart = chance(0.5);
        schedule(0, [this, p, name] {
            note(QString("double tap %1 at %2,%3").arg(name).arg(p.x()).arg(p.y()));
            tap(p);
        });
        schedule(apart ? 40 : 0, [this, p] { tap(p, true); });
    } else if (kind < 84) {
        // A touch aimed at the page as it is, landing after a tick changed it.
        const QPoint p = aimed(&name);
        schedule(0, [this, p, name] {
            note(QString("tick, then tap %1 at %2,%3 before the screen settles").arg(name).arg(p.x()).arg(p.y()));
            tick();
            if (m_stoppedBy.isEmpty())
                tap(p);
        });
    } else if (kind < 90) {
        // Several touches aimed at the page as it is, delivered back to back.
        QVector<QPoint> points;
        QStringList names;
        for (int i = 0, n = 2 + below(4); i < n; ++i) {
            points << aimed(&name);
            names << name;
        }
        schedule(0, [this, points, names] {
            note("burst of taps: " + names.join(", "));
            for (const QPoint &p : points) {
                tap(p, true);
                if (!m_stoppedBy.isEmpty())
                    break;
            }
        });
    } else if (kind < 98) {
        // A drag: from a control or anywhere, to anywhere.
        const QPoint from = chance(0.6) ? aimed(&name) : somewhere();
        const QPoint to = somewhere();
        const int moves = 2 + below(8);
        schedule(0, [this, from, to, name] {
            note(QString("drag from %1 %2,%3 to %4,%5").arg(name).arg(from.x()).arg(from.y()).arg(to.x()).arg(to.y()));
            m_rec.figures.touches.fetch_add(1);
            m_panel->press(from);
        });
        for (int i = 1; i <= moves; ++i) {
            const QPoint at = from + (to - from) * i / moves;
            schedule(16, [this, at] { m_panel->moveTo(at); });
        }
        schedule(16, [this, to] { m_panel->release(to); });
    } else {
        // A long press: the gear's three seconds open the factory screen.
        const QPoint p = aimed(&name);
        const int hold = 400 + below(3300);
        schedule(0, [this, p, name, hold] {
            note(QString("long press %1 at %2,%3 for %4 ms").arg(name).arg(p.x()).arg(p.y()).arg(hold));
            m_rec.figures.touches.fetch_add(1);
            m_panel->press(p);
        });
        schedule(hold, [this, p] { m_panel->release(p); });
    }
}

void Life::keyStep()
{
    struct Key
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char *name;
    };
    static const QVector<Key> keys = {
        {Qt::Key_Escape, Qt::NoModifier, "Escape"}, {Qt::Key_Escape, Qt::NoModifier, "Escape"},
        {Qt::Key_Return, Qt::NoModifier, "Return"}, {Qt::Key_Enter, Qt::KeypadModifier, "Enter"},
        {Qt::Key_Space, Qt::NoModifier, "Space"},   {Qt::Key_Tab, Qt::NoModifier, "Tab"},
        {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"}, {Qt::Key_Left, Qt::NoModifier, "Left"},
        {Qt::Key_Right, Qt::NoModifier, "Right"},   {Qt::Key_Up, Qt::NoModifier, "Up"},
        {Qt::Key_Down, Qt::NoModifier, "Down"},     {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
        {Qt::Key_Period, Qt::NoModifier, "."},      {Qt::Key_F4, Qt::AltModifier, "Alt+F4"},
        {Qt::Key_0, Qt::NoModifier, "0"},           {Qt::Key_1, Qt::NoModifier, "1"},
        {Qt::Key_5, Qt::NoModifier, "5"},           {Qt::Key_9, Qt::NoModifier, "9"},
    };
    const int count = chance(0.2) ? 2 + below(6) : 1;
    QVector<Key> chosen;
    QStringList names;
    for (int i = 0; i < count; ++i) {
        chosen << oneOf(keys);
        names << chosen.last().name;
    }
    schedule(0, [this, chosen, names] {
        note("keys " + names.join(' '));
        for (const Key &k : chosen) {
            m_rec.figures.keys.fetch_add(1);
            m_panel->key(k.key, k.modifiers);
            if (!m_stoppedBy.isEmpty())
                break;
        }
    });
}

// A command after which the client writes a message to the charger.
void Life::clientSends(const QString &command)
{
    m_peers.client(command);
    if (m_commandSince < 0) {
        m_commandSince = m_peers.clientUpMs();
        m_sentAtCommand = m_peers.seen().sent;
    }
}

void Life::peerStep()
{
    struct Event
    {
        double weight;
        std::function<QString()> act; // returns what it did
    };
    const Status &gun = gun_status[1];
    QVector<Event> events = {
        {14, [this] {
             const QString tag = oneOf<QString>({"REMOTE-1", "04A2B3C4D5E6F7", "", "X"});
             clientSends("RemoteStartTransaction " + tag);
             return "client: RemoteStartTransaction " + tag;
         }},
        {10, [this, &gun] {
             const QString id = chance(0.8) ? QString::number(gun.transactionId) : oneOf<QString>({"0", "-1", "99999", "abc"});
             clientSends("RemoteStopTransaction " + id);
             return "client: RemoteStopTransaction " + id;
         }},
        {3, [this] {
             const QString on = chance(0.4) ? "on" : "off";
             m_peers.client("reject-authorize " + on);
             return "client: reject-authorize " + on;
         }},
        {3, [this] {
             const QString s = chance(0.4) ? oneOf<QString>({"Invalid", "Blocked", "Expired", "ConcurrentTx"}) : "off";
             m_peers.client("reject-start " + s);
             return "client: reject-start " + s;
         }},
        {2, [this] {
             const QString n = QString::number(1 + below(3));
             m_peers.client("fail " + n);
             return "client: fail " + n;
         }},
        {3, [this] {
             const QString on = chance(0.3) ? "on" : "off";
             m_peers.client("silent " + on);
             m_clientSilent = on == "on";
             return "client: silent " + on;
         }},
        {3, [this] {
             const QByteArray raw = oneOf<QByteArray>(
                 {"cs9=RemoteStartTransaction={\"connectorId\":1,\"idTag\":", "cs9=Reset={\"type\":7}",
                  "cs9=RemoteStopTransaction={\"transactionId\":1e300}", "no envelope at all", "==",
                  "1=AuthorizeResponse={\"idTagInfo\":[]}", "1=StartTransactionResponse={\"transactionId\":\"x\"}",
                  "cs9=UnknownAction={}", "1=StopTransactionResponse={\"idTagInfo\":{\"status\":null}}",
                  QByteArray(5000, '{'), QByteArray("cs9=Reset={\"type\":\"So\0ft\"}", 26)});
             clientSends("send " + QString::fromLatin1(raw));
             return QString("client: sends a malformed message (%1 bytes)").arg(raw.size());
         }},
        {2, [this] {
             const bool newFifos = m_o.newFifos && chance(0.3);
             m_rec.figures.clientRestarts.fetch_add(1);
             if (!m_peers.restartClient(newFifos))
                 fail("ocpp-client-sim did not start again");
             // Messages in the FIFO when the client went are gone with it;
             // the next status the charger notifies must reach it.
             m_statusUnknown = true;
             m_notificationsAtRestart = m_notificationsSent;
             m_stopsInFlight.clear();
             m_stopsSeen = m_peers.seen().stops;
             m_clientSilent = false;
             m_commandSince = -1; // what the client still had to write went with it
             return QString("client restarts%1").arg(newFifos ? " on new FIFOs" : "");
         }},
        {0.2, [] {
             ::kill(::getpid(), SIGTERM);
             return QString("the service manager stops the program (SIGTERM)");
         }},
        {0.6, [this] {
             const QString type = chance(0.5) ? "Soft" : "Hard";
             clientSends("Reset " + type);
             return "client: Reset " + type;
         }},
    };
    if (m_peers.device()) {
        events += QVector<Event>{
            {10, [this] {
                 const QString c = chance(0.6) ? "plug" : "unplug";
                 m_peers.ccu(c);
                 return "ccu: " + c;
             }},
            {3, [this] {
                 const QString c = chance(0.5) ? "fault gun " + oneOf<QString>({"iso", "elock", "overtemp", "short", "plc"})
                                               : "fault sys " + oneOf<QString>({"door", "epo", "spd", "fan", "rectifier"});
                 m_peers.ccu(c);
                 return "ccu: " + c;
             }},
            {4, [this] {
                 m_peers.ccu("clear all");
                 return QString("ccu: clear all");
             }},
            {1, [this] {
                 const QString c = "stop " + QString::number(below(40));
                 m_peers.ccu(c);
                 return "ccu: " + c;
             }},
            {2, [this] {
                 const QString c = chance(0.3) ? "silent on" : "silent off";
                 m_peers.ccu(c);
                 return "ccu: " + c;
             }},
            {2, [this] {
                 const QString c = oneOf<QString>({"garbage", "rtn 4", "rtn 0 always", "delay 0", "delay 700", "start"});
                 m_peers.ccu(c);
                 return "ccu: " + c;
             }},
            {3, [this] {
                 const QString c = oneOf<QString>({"silent on", "silent off", "silent off", "badcrc on", "badcrc off",
                                                   "late on", "late off", "normal", "current 0", "current 80"});
                 m_peers.meter(c);
                 return "meter: " + c;
             }},
        };
    }
    double total = 0;
    for (const Event &e : events)
        total += e.weight;
    double r = unit() * total;
    int chosen = events.size() - 1;
    for (int i = 0; i < events.size(); ++i) {
        r -= events.at(i).weight;
        if (r < 0) {
            chosen = i;
            break;
        }
    }
    const std::function<QString()> act = events.at(chosen).act;
    schedule(0, [this, act] {
        m_rec.figures.peerEvents.fetch_add(1);
        const QString what = act();
        note(what);
    });
}

// ---------------------------------------------------------------- invariants

void Life::fail(const QString &what)
{
    if (m_failed)
        return;
    m_failed = true;
    std::printf("monkey: FAILED at step %lld (life %d, seed %llu): %s\n", (long long)m_step, m_rec.life.load(),
                (unsigned long long)m_o.seed, qPrintable(what));
    if (m_app) {
        const Status &gun = gun_status[1];
        std::printf("monkey: page %s, status %s, CardRead %d, startRequest %d, plugged %d, the client last saw %s\n",
                    qPrintable(gun.page), qPrintable(gun.status), gun.CardRead, gun.startRequest, gun.gun_plugin,
                    qPrintable(m_peers.seen().lastStatus));
    }
    std::printf("monkey: the charger's last warnings:\n");
    for (const QString &line : logTail())
        std::printf("    %s\n", qPrintable(line));
    std::fflush(stdout);
    qApp->quit();
}

void Life::finding(const QString &kind, const QString &what)
{
    m_rec.figures.findings.fetch_add(1);
    if (m_findings.contains(kind))
        return;
    m_findings << kind;
    const Status &gun = gun_status[1];
    std::printf("monkey: FINDING at step %lld (life %d, seed %llu): %s\n"
                "monkey: page %s, status %s, CardRead %d, startRequest %d, plugged %d\n",
                (long long)m_step, m_rec.life.load(), (unsigned long long)m_o.seed, qPrintable(what),
                qPrintable(gun.page), qPrintable(gun.status), gun.CardRead, gun.startRequest, gun.gun_plugin);
    std::fflush(stdout);
}

// The page name and what is on show must agree: one screen, the overlay the
// name says, the veil exactly under an overlay.
QString Life::pageProblem() const
{
    MainWindow &w = m_app->window;
    const QString page = gun_status[1].page;
    struct Expect
    {
        QString page;
        QWidget *screen;
        QWidget *overlay;
    };
    const Expect table[] = {
        {page_home, w.homepage(), nullptr},
        {page_fixedcharge, w.fixedcharge(), nullptr},
        {page_fixedcharge_keyboard, w.fixedcharge(), w.keyboard()},
        {page_authorize, w.authorization(), nullptr},
        {page_authorize_plugin, w.authorization(), w.gun_connect()},
        {page_standby, w.standby(), nullptr},
        {page_standby_child2, w.standby(), w.charging_child2()},
        {page_charging, w.charging(), nullptr},
        {page_charging_child1, w.charging(), w.charging_child1()},
        {page_charging_child2, w.charging(), w.charging_child2()},
        {page_complete, w.complete(), nullptr},
        {page_complete_child, w.complete(), w.complete_child()},
    };
    const Expect *expect = nullptr;
    for (const Expect &e : table) {
        if (e.page == page)
            expect = &e;
    }
    if (!expect)
        return "unknown page \"" + page + "\"";
    QWidget *const screens[] = {w.homepage(), w.fixedcharge(), w.authorization(), w.standby(), w.charging(), w.complete()};
    QWidget *const overlays[] = {w.keyboard(), w.gun_connect(), w.charging_child1(), w.charging_child2(), w.complete_child()};
    QStringList wrong;
    for (QWidget *s : screens) {
        if (s->isVisible() != (s == expect->screen))
            wrong << QString("%1 %2").arg(s->metaObject()->className(), s->isVisible() ? "shown" : "hidden");
    }
    // Once the stop has reached the CCU the confirmation over charging goes
    // and the page keeps its name until the completion page.
    const bool stopConfirmed = page == page_charging_child2 && Stop_command_set_1 && !w.charging_child2()->isVisible();
    for (QWidget *o : overlays) {
        const bool expected = o == expect->overlay && !stopConfirmed;
        if (o->isVisible() != expected)
            wrong << QString("%1 %2").arg(o->metaObject()->className(), o->isVisible() ? "shown" : "hidden");
    }
    const bool veil = expect->overlay && !stopConfirmed;
    if (w.label_mask->isVisible() != veil)
        wrong << QString("veil %1").arg(w.label_mask->isVisible() ? "shown" : "hidden");
    if (wrong.isEmpty())
        return QString();
    return "page \"" + page + "\" but " + wrong.join(", ");
}

void Life::watchTransactions()
{
    const Status &gun = gun_status[1];
    const bool charging = gun.page == page_charging || gun.page == page_charging_child1 ||
                          gun.page == page_charging_child2;
    if (m_o.trace && (gun.page != m_lastPage || gun.status != m_lastStatus)) {
        std::printf("        page %s, status %s\n", qPrintable(gun.page), qPrintable(gun.status));
        m_lastPage = gun.page;
        m_lastStatus = gun.status;
    }
    if (m_transactionOpen && m_startRequests.last() != QString::number(gun.startRequest))
        m_startRequests << QString::number(gun.startRequest);
    const QString where = QString("%1/%2").arg(gun.page, gun.status);
    if (m_transactionOpen && !m_trail.last().endsWith(' ' + where) && m_trail.size() < 40)
        m_trail << QString("step %1 %2").arg(m_step).arg(where);
    // The charger ends what it started once the session has left charging.
    if (!m_transactionOpen || charging) {
        m_offChargingTicks = 0;
    } else if (m_offChargingTicks == 0) {
        m_offChargingTicks = m_ticks;
        m_offChargingSince = monotonicMs();
    } else if (m_ticks - m_offChargingTicks > TransactionEndTicks &&
               monotonicMs() - m_offChargingSince > TransactionEndMs) {
        finding("transaction not ended, startRequest " + m_startRequests.join(" > "),
                QString("the transaction started at step %1 has no StopTransaction %2 ticks after the session "
                        "left the charging pages; startRequest went %3; page/status went %4")
                    .arg(m_transactionStep)
                    .arg(m_ticks - m_offChargingTicks)
                    .arg(m_startRequests.join(" > "), m_trail.join(", ")));
        m_transactionOpen = false;
    }
    // A stop held for the transactionId of a start the client does not
    // answer, while the client answers: reported, the session's rules.
    bool held = false;
    for (const TransactionRecord::Transaction &t : transactionRecord.transactions())
        held = held || (t.ended && !t.idKnown);
    if (!held || m_clientSilent) {
        m_heldSince = -1;
    } else if (m_heldSince < 0) {
        m_heldSince = m_peers.clientUpMs();
    } else if (m_peers.clientUpMs() - m_heldSince > HeldStopMs) {
        finding("stop held", QString("a StopTransaction has waited %1 s for the answer to its StartTransaction "
                                     "while the OCPP client answers")
                                 .arg((m_peers.clientUpMs() - m_heldSince) / 1000));
        m_heldSince = -1;
    }
    // ... and the client sees it.
    const ClientView &seen = m_peers.seen();
    while (m_stopsSeen < seen.stops) {
        ++m_stopsSeen;
        if (!m_stopsInFlight.isEmpty())
            m_stopsInFlight.removeFirst();
    }
    if (!m_stopsInFlight.isEmpty() && m_peers.clientUpMs() - m_stopsInFlight.first() > StopSeenMs) {
        fail(QString("a StopTransaction the charger sent has not reached the OCPP client in %1 s")
                 .arg((m_peers.clientUpMs() - m_stopsInFlight.first()) / 1000));
    }
}

void Life::checkRegister()
{
    QFile file(QDir(m_o.dataDir()).filePath("EnergyMeter_Lcd.json"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    if (root.isEmpty())
        return; // being replaced right now, or damaged on purpose
    bool ok = false;
    const double value = root.begin().value().toString().toDouble(&ok);
    if (!ok)
        return;
    const qint64 tenths = qRound64(value * 10);
    const qint64 before = m_rec.lastRegisterTenths.load();
    // The register wraps at 999999.9 and starts again from 0.
    if (before >= 0 && tenths < before && before < 9999000) {
        fail(QString("the energy register fell from %1 to %2 kWh").arg(before / 10.0).arg(value));
        return;
    }
    m_rec.lastRegisterTenths.store(tenths);
}

bool Life::cwdClean(QString *found) const
{
    const QStringList entries = QDir(m_o.cwdDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (found)
        *found = entries.join(", ");
    return entries.isEmpty();
}

void Life::check()
{
    if (!m_app || m_failed)
        return;
    m_peers.pump();
    const Status &gun = gun_status[1];

    const QString page = pageProblem();
    if (!page.isEmpty()) {
        fail(page);
        return;
    }
    if (!ChargePointStatuses.contains(gun.status)) {
        fail("connector status \"" + gun.status + "\" is no OCPP ChargePointStatus");
        return;
    }

    // The client's view of the connector follows the charger's.
    const ClientView &seen = m_peers.seen();
    if (m_statusUnknown && m_notificationsSent > m_notificationsAtRestart)
        m_statusUnknown = false;
    const QString clientStatus = seen.lastStatus.isEmpty() ? sta_Unavailable : seen.lastStatus;
    if (m_statusUnknown || gun.status == clientStatus || !m_stoppedBy.isEmpty()) {
        m_mismatchSince = -1;
    } else if (m_mismatchSince < 0) {
        m_mismatchSince = m_peers.clientUpMs();
    } else if (m_peers.clientUpMs() - m_mismatchSince > StatusSeenMs) {
        fail(QString("connector status %1, but the OCPP client has seen %2 for %3 s")
                 .arg(gun.status, clientStatus)
                 .arg((m_peers.clientUpMs() - m_mismatchSince) / 1000));
        return;
    }

    watchTransactions();
    if (m_failed)
        return;

    // The way back: the client writes what it was told to send, and the
    // charger reads what the client wrote.
    if (m_commandSince >= 0 && seen.sent > m_sentAtCommand) {
        m_commandSince = -1;
    } else if (m_commandSince >= 0 && m_peers.clientUpMs() - m_commandSince > InboundMs) {
        fail(QString("the OCPP client has not got a message through to the charger in %1 s")
                 .arg((m_peers.clientUpMs() - m_commandSince) / 1000));
        return;
    }
    if (m_received > m_receivedBefore) {
        m_receivedBefore = m_received;
        m_unreadSince = -1;
    }
    if (seen.sent > m_sentBefore) {
        m_sentBefore = seen.sent;
        if (m_unreadSince < 0)
            m_unreadSince = monotonicMs();
    }
    // Two messages the client wrote back to back may reach the charger as one
    // read; then the counts stay apart and only the timing tells.
    if (m_received >= seen.sent)
        m_unreadSince = -1;
    if (m_unreadSince >= 0 && monotonicMs() - m_unreadSince > InboundMs) {
        fail(QString("the charger has read nothing for %1 s of what the OCPP client wrote")
                 .arg((monotonicMs() - m_unreadSince) / 1000));
        return;
    }
    if (m_step % 10 == 0)
        checkRegister();
    QString stray;
    if (m_step % 200 == 0 && !cwdClean(&stray))
        fail("written outside the data directory: " + stray);
}

} // namespace

int runLife(const Options &options, Record &record)
{
    g_verbose = options.verbose;
    qInstallMessageHandler(logHandler);
    std::signal(SIGPIPE, SIG_IGN);
    QStringList arguments = QStringList{"hmi-monkey"} + options.toolkitArguments;
    if (!arguments.contains("-platform"))
        arguments << "-platform" << "offscreen";
    ToolkitArguments toolkit(arguments);
    QApplication app(toolkit.argc(), toolkit.argv());
    registerRobotoFonts();
    Life life(options, record);
    return life.run();
}

} // namespace monkey
