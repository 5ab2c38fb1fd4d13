#include "life_p.h"

#include "fonts.h"
#include "globalvariable.h"
#include "ipc_pipe.h"
#include "resetscript.h"
#include "runtimeoptions.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <mutex>
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


void raiseTo(std::atomic<int64_t> &value, int64_t candidate)
{
    int64_t now = value.load();
    while (candidate > now && !value.compare_exchange_weak(now, candidate)) {
    }
}

namespace {

constexpr double PauseScale = 0.05;    // the supervisor's pauses, as in the demo

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

} // namespace

QStringList logTail()
{
    std::lock_guard<std::mutex> lock(g_logLock);
    QStringList copy;
    for (const QString &line : g_logTail)
        copy << QString(line.constData(), line.size());
    return copy;
}

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
