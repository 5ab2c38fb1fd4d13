// hmi-soak: the device build for a long run against ccu-sim, meter-sim and
// ocpp-client-sim, with a driver at the screen and faults at random times.
// The driver plugs in, touches Fast Charge, presents the card, starts,
// confirms the summary and unplugs, again and again, whatever the faults do
// to each session. Faults, one at a time, each cleared before the next:
// gun fault, warning, damaged and late CCU answers, stray bytes, CCU silent
// (link loss), meter outage and late meter answers, the OCPP client
// restarting with new FIFOs, the CCU's and the meter's devices going away
// and coming back. At the end: sessions, faults, restarts, resident memory
// over time, and every state the driver found stuck. Started by tools/soak.sh.

#include "application.h"
#include "ccu_records.h"
#include "dc_meter_data.h"
#include "fonts.h"
#include "globalvariable.h"
#include "runtimeoptions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <map>
#include <memory>

namespace {

void say(const QString &line)
{
    std::fprintf(stdout, "[%s] %s\n", qPrintable(QTime::currentTime().toString("hh:mm:ss")), qPrintable(line));
    std::fflush(stdout);
}

long residentKiB()
{
    QFile f("/proc/self/statm");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLong() * 4 : -1;
}

QAbstractButton *visibleButton(const char *name)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        for (QAbstractButton *b : top->findChildren<QAbstractButton *>(name))
            if (b->isVisible())
                return b;
    return nullptr;
}

bool click(const char *name)
{
    QAbstractButton *b = visibleButton(name);
    if (b)
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
    return b != nullptr;
}

// One simulator as a child process; commands on its stdin.
class Peer
{
public:
    Peer(QString program, QStringList arguments) : m_program(std::move(program)), m_arguments(std::move(arguments)) {}
    bool start(const QStringList &extra = {})
    {
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process->start(QCoreApplication::applicationDirPath() + '/' + m_program, m_arguments + extra);
        // The first line names the device or the FIFOs: the peer is up.
        return m_process->waitForStarted(5000) && m_process->waitForReadyRead(5000);
    }
    void stop()
    {
        if (!m_process)
            return;
        m_process->terminate();
        if (!m_process->waitForFinished(3000))
            m_process->kill();
        m_process->waitForFinished(3000);
        m_process.reset();
    }
    void send(const QString &command)
    {
        if (m_process) {
            m_process->write((command + '\n').toUtf8());
            m_process->readAllStandardOutput(); // answers are not needed
        }
    }
    ~Peer() { stop(); }

private:
    QString m_program;
    QStringList m_arguments;
    std::unique_ptr<QProcess> m_process;
};

struct Fault
{
    const char *name;
    int seconds; // how long it lasts
    std::function<void()> raise;
    std::function<void()> clear;
    // Raised only between sessions: a CCU that restarts forgets its session,
    // and the HMI waits on the charging page for an end the CCU never reports
    // (a limit of the session supervisor, not of the link).
    bool betweenSessions = false;
};

class Soak : public QObject
{
public:
    Soak(const QString &dir, int minutes)
        : m_minutes(minutes),
          m_ccu("ccu-sim", {"--link", dir + "/ttyCCU", "--handshake-seconds", "1", "--prepare-seconds", "1",
                            "--charge-seconds", "20", "--stop-seconds", "1", "--soc", "60"}),
          m_meter("meter-sim", {"--link", dir + "/ttyMeter", "--voltage", "400", "--current", "100"}),
          m_client("ocpp-client-sim", {"--data-dir", dir})
    {
        m_faults = {
            {"gun fault (iso)", 6, [this] { m_ccu.send("fault gun iso"); }, [this] { m_ccu.send("clear all"); }},
            {"warning (spd)", 10, [this] { m_ccu.send("fault sys spd"); }, [this] { m_ccu.send("clear all"); }},
            {"damaged CCU answers", 6, [this] { m_ccu.send("corrupt on"); }, [this] { m_ccu.send("corrupt off"); }},
            {"late CCU answers", 10, [this] { m_ccu.send("delay 1100"); }, [this] { m_ccu.send("delay 0"); }},
            {"stray bytes", 10, [this] { m_ccu.send("stray on"); }, [this] { m_ccu.send("stray off"); }},
            {"CCU silent (link loss)", 9, [this] { m_ccu.send("silent on"); }, [this] { m_ccu.send("silent off"); }},
            {"meter outage", 40, [this] { m_meter.send("silent on"); }, [this] { m_meter.send("silent off"); }},
            {"late meter answers", 10, [this] { m_meter.send("late on"); }, [this] { m_meter.send("late off"); }},
            {"OCPP client restart", 2, [this] { m_client.stop(); }, [this] { restart(m_client, {"--new-fifos"}); }},
            {"meter device gone and back", 3, [this] { m_meter.stop(); }, [this] { restart(m_meter); }},
            {"CCU device gone and back", 3, [this] { m_ccu.stop(); }, [this] { restart(m_ccu); }, true},
        };
    }

    bool startPeers() { return m_ccu.start() && m_meter.start() && m_client.start(); }

    void startDriving()
    {
        m_clock.start();
        m_sinceProgress.start();
        m_sinceAct.start();
        connect(&m_driver, &QTimer::timeout, this, [this] { drive(); });
        connect(&m_injector, &QTimer::timeout, this, [this] { inject(); });
        connect(&m_sampler, &QTimer::timeout, this, [this] { sample(); });
        m_driver.start(250);
        m_injector.start(int(QRandomGenerator::global()->bounded(15, 40)) * 1000);
        m_sampler.start(60 * 1000);
    }

    int finish()
    {
        sample();
        say(QString("soak: %1 min, %2 sessions started, %3 charged, %4 back home unplugged, %5 stopped by the driver "
                    "(charge not moving), %6 stuck")
                .arg(m_minutes).arg(m_started).arg(m_charged).arg(m_sessions).arg(m_driverStops).arg(m_stuck));
        for (const auto &f : m_faultCount)
            say(QString("soak: fault %1: %2 times").arg(f.first).arg(f.second));
        say(QString("soak: resident memory (KiB), each minute: %1").arg(m_rss.join(' ')));
        return m_stuck == 0 && m_sessions > 0 ? 0 : 1;
    }

private:
    void restart(Peer &peer, const QStringList &extra = {})
    {
        if (!peer.start(extra))
            say("soak: a simulator did not come back");
        if (&peer == &m_ccu)
            m_plugSent = false; // a new CCU starts unplugged
    }

    void sample() { m_rss << QString::number(residentKiB()); }

    void inject()
    {
        if (m_clock.elapsed() > qint64(m_minutes) * 60000) {
            QCoreApplication::exit(finish());
            return;
        }
        if (m_active) {
            m_active->clear();
            say(QString("soak: cleared %1").arg(m_active->name));
            m_active = nullptr;
            m_injector.start(int(QRandomGenerator::global()->bounded(15, 45)) * 1000);
            return;
        }
        do
            m_active = &m_faults[QRandomGenerator::global()->bounded(int(m_faults.size()))];
        while (m_active->betweenSessions && gun_status[1].page != page_home);
        ++m_faultCount[m_active->name];
        say(QString("soak: fault %1 for %2 s (page %3, status %4)").arg(m_active->name).arg(m_active->seconds)
                .arg(gun_status[1].page, gun_status[1].status));
        m_active->raise();
        m_injector.start(m_active->seconds * 1000);
    }

    // Looks at the screen four times a second and does what a driver would.
    void drive()
    {
        const Status &gun = gun_status[1];
        if (gun.page != m_lastPage) {
            m_lastPage = gun.page;
            if (gun.page == page_charging)
                ++m_charged;
            m_acted = false;
            m_sinceProgress.restart();
        }
        // Nothing moves for three minutes while no fault is raised: stuck.
        if (!m_active && m_sinceProgress.elapsed() > 180000) {
            ++m_stuck;
            say(QString("soak: STUCK on page %1, status %2, plugged %3, link lost %4, meter fault %5")
                    .arg(gun.page, gun.status).arg(gun.gun_plugin).arg(bool(errorinfo.Err_Sys_RS232))
                    .arg(bool(dc_meter_data[1].Com_error)));
            m_sinceProgress.restart();
            m_acted = false;
        }
        // A driver whose touch did nothing touches again.
        if (m_acted && m_sinceAct.elapsed() > 10000)
            m_acted = false;
        if (m_acted)
            return;
        m_sinceAct.restart();
        if (gun.page == page_home) {
            if (m_sessionOpen && !gun.gun_plugin) {
                m_sessionOpen = false;
                ++m_sessions;
                m_sinceProgress.restart();
            }
            if (!gun.gun_plugin) {
                if (!m_plugSent) {
                    m_ccu.send("plug");
                    m_plugSent = true;
                }
            } else if (gun.status == sta_Preparing || gun.status == sta_Available) {
                m_acted = click("pushButton_fastcharging");
                if (m_acted) {
                    ++m_started;
                    m_sessionOpen = true;
                }
            }
        } else if (gun.page == page_authorize_plugin) {
            m_ccu.send("plug");
            m_acted = true;
        } else if (gun.page == page_authorize) {
            m_acted = click("checkBox_RFID");
        } else if (gun.page == page_standby) {
            m_acted = click("pushButton_start");
        } else if (gun.page == page_charging && m_sinceProgress.elapsed() > 90000) {
            // A charge that has not moved for a minute and a half (the CCU
            // lost its session, e.g. it restarted): the driver stops it.
            m_acted = click("pushButton_stop");
            if (m_acted) {
                ++m_driverStops;
                say("soak: charge not moving, the driver stops it");
            }
        } else if (gun.page == page_charging_child1) {
            m_acted = click("checkBox_RFID");
        } else if (gun.page == page_charging_child2) {
            m_acted = click("pushButton_confirm");
        } else if (gun.page == page_complete && gun.status == sta_Finishing) {
            m_acted = click("pushButton_confirm");
        } else if (gun.page == page_complete_child) {
            m_acted = click("pushButton");
            m_ccu.send("unplug");
            m_plugSent = false;
        }
    }

    const int m_minutes;
    Peer m_ccu;
    Peer m_meter;
    Peer m_client;
    std::vector<Fault> m_faults;
    Fault *m_active = nullptr;
    std::map<QString, int> m_faultCount;
    QTimer m_driver, m_injector, m_sampler;
    QElapsedTimer m_clock, m_sinceProgress, m_sinceAct;
    QString m_lastPage;
    bool m_acted = false;
    bool m_plugSent = false;
    bool m_sessionOpen = false;
    int m_sessions = 0;
    int m_started = 0;
    int m_charged = 0;
    int m_driverStops = 0;
    int m_stuck = 0;
    QStringList m_rss;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication qapp(argc, argv);
    int minutes = 30;
    QString dir;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == "--minutes")
            minutes = args.at(i + 1).toInt();
        else if (args.at(i) == "--data-dir")
            dir = args.at(i + 1);
    }
    if (dir.isEmpty() || minutes <= 0) {
        std::fprintf(stderr, "Usage: hmi-soak --data-dir DIR [--minutes N] [-platform offscreen]\n");
        return 2;
    }
    dir = QDir(dir).absolutePath();
    FilePath = dir + '/';
    CcuPortName = dir + "/ttyCCU";
    MeterPortName = dir + "/ttyMeter";
    registerRobotoFonts();
    MainWindow::setPauseScale(0.1);

    Soak soak(dir, minutes);
    if (!soak.startPeers()) {
        std::fprintf(stderr, "hmi-soak: the simulators did not start\n");
        return 1;
    }
    int rc;
    {
        ChargerApplication app;
        app.startDeviceLinks();
        soak.startDriving();
        rc = QApplication::exec();
        app.window.UI_interface_exit();
    }
    say(rc == 0 ? "soak: passed" : "soak: FAILED");
    return rc;
}
