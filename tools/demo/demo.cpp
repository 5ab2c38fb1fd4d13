// A whole charging session of the simulation build without a person: the
// driver's touches are real clicks on the real widgets, the OCPP client
// simulator answers on the FIFOs, and every page passed is saved as a PNG.
// The supervisor ticks twenty times a second instead of once.
// --no-ocpp-sim leaves the FIFOs to the OCPP client already there (ocpp-bridge);
// --remote plays the session a central system starts, stops and ends with a reset.

#include "application.h"
#include "fonts.h"
#include "globalvariable.h"
#include "runtimeoptions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <functional>

namespace {

constexpr int TickMs = 50;          // one supervisor tick
constexpr int GiveUpMs = 110 * 1000; // the whole demo stays under two minutes

void say(const QString &line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The panel as the driver sees it: the main window with every visible
// dialog window drawn over it at its place.
QImage panelImage(QWidget *mainWindow)
{
    QImage image(mainWindow->size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.drawPixmap(0, 0, mainWindow->grab());
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w == mainWindow || !w->isVisible() || w->windowType() == Qt::ToolTip)
            continue;
        p.drawPixmap(w->geometry().topLeft(), w->grab());
    }
    return image;
}

// The error popup, when it shows (its button shares its name with others).
QWidget *visibleNotice()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->inherits("ErrorMsg") && top->isVisible() && top->findChild<QAbstractButton *>("pushButton"))
            return top;
    return nullptr;
}

struct Step
{
    QString what;
    std::function<bool()> ready; // the driver waits until the screen is there
    std::function<void()> act;
};

class DemoDriver : public QObject
{
public:
    DemoDriver(ChargerApplication &app, const QString &outDir, bool remote) : m_app(app), m_out(outDir)
    {
        MainWindow &w = app.window;
        auto page = [](const QString &p) { return [p] { return gun_status[1].page == p; }; };
        auto click = [&w](const char *name) {
            return [&w, name] {
                QAbstractButton *b = nullptr;
                for (QWidget *top : QApplication::topLevelWidgets())
                    for (QAbstractButton *candidate : top->findChildren<QAbstractButton *>(name))
                        if (candidate->isVisible())
                            b = candidate;
                if (!b) {
                    say(QString("demo: no visible button %1").arg(name));
                    return;
                }
                QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
            };
        };
        auto status = [](const QString &s) { return [s] { return gun_status[1].status == s; }; };
        auto both = [](std::function<bool()> a, std::function<bool()> b) { return [a, b] { return a() && b(); }; };
        auto afterTicks = [this](int n) {
            return [this, n]() mutable { return ++m_waited >= n; };
        };
        Q_UNUSED(w);

        // Fast charge, paid by card, charged to the end.
        m_steps = {
            {"wait until the charger is available", both(page(page_home), status(sta_Available)), [] {}},
            {"touch Fast Charge", page(page_home), click("pushButton_fastcharging")},
            {"plug the cable in (debug panel)", page(page_authorize_plugin), click("checkBox_charger")},
            {"present the card (debug panel)", page(page_authorize), click("checkBox_RFID")},
            {"touch Start", page(page_standby), click("pushButton_start")},
            {"charge until the car is full", page(page_complete), [] {}},
            {"confirm the summary", both(page(page_complete), status(sta_Finishing)), click("pushButton_confirm")},
            {"close the thank-you card", page(page_complete_child), click("pushButton")},
            {"unplug the cable", page(page_home), click("checkBox_charger")},
            // Fixed amount, stopped by the driver with the card.
            {"wait until the charger is available", both(page(page_home), status(sta_Available)), [] {}},
            {"touch Fixed Amount", page(page_home), click("pushButton_fixamount")},
            {"choose the second money preset", page(page_fixedcharge), click("pushButton_A2")},
            {"confirm the amount", page(page_fixedcharge), click("pushButton_confirm")},
            {"plug the cable in", page(page_authorize_plugin), click("checkBox_charger")},
            {"present the card", page(page_authorize), click("checkBox_RFID")},
            {"touch Start", page(page_standby), click("pushButton_start")},
            {"charge a while, then touch Stop", both(page(page_charging), afterTicks(200)), click("pushButton_stop")},
            {"present the card again to stop", page(page_charging_child1), click("checkBox_RFID")},
            {"confirm the stop", page(page_charging_child2), click("pushButton_confirm")},
            {"confirm the summary", both(page(page_complete), status(sta_Finishing)), click("pushButton_confirm")},
            {"close the thank-you card", page(page_complete_child), click("pushButton")},
            {"unplug the cable", page(page_home), click("checkBox_charger")},
            {"back to available", both(page(page_home), status(sta_Available)), [] {}},
        };
        // Started and stopped by the central system, then reset by it.
        if (remote)
            m_steps = {
                {"wait until the charger is available", both(page(page_home), status(sta_Available)), [] {}},
                {"touch Fast Charge", page(page_home), click("pushButton_fastcharging")},
                {"plug the cable in", page(page_authorize_plugin), click("checkBox_charger")},
                {"wait for the central system's remote start", page(page_charging), [] {}},
                {"wait for the central system's remote stop", page(page_complete), [] {}},
                {"close the notice of the remote stop", [] { return visibleNotice() != nullptr; },
                 [] { QTest::mouseClick(visibleNotice()->findChild<QAbstractButton *>("pushButton"), Qt::LeftButton); }},
                {"confirm the summary", both(page(page_complete), status(sta_Finishing)), click("pushButton_confirm")},
                {"close the thank-you card", page(page_complete_child), click("pushButton")},
                {"unplug the cable", page(page_home), click("checkBox_charger")},
                {"back to available", both(page(page_home), status(sta_Available)), [] {}},
                {"wait for the central system's reset", [] { return SystemResetReq != 0; }, [] {}},
            };
    }

    // Runs after the supervisor on every tick.
    // One supervisor tick, then the driver's move. A click may run the
    // event loop; a tick inside a tick would take a step twice.
    void tick()
    {
        if (m_inTick)
            return;
        m_inTick = true;
        emit m_app.mytimer.signal_1s_timerout();
        str_datetime = QDateTime::currentDateTime().toString("MM-dd hh:mm:ss");
        step();
        m_inTick = false;
    }

    void start() { m_clock.start(); }

private:
    void step()
    {
        const QString page = gun_status[1].page;
        const QString status = gun_status[1].status;
        if (page != m_lastPage || status != m_lastStatus) {
            say(QString("%1  page %2  status %3").arg(m_clock.elapsed() / 1000.0, 6, 'f', 1).arg(page, -18).arg(status));
            if (page != m_lastPage)
                savePicture(page);
            m_lastPage = page;
            m_lastStatus = status;
        }
        if (m_next >= m_steps.size()) {
            finish(0);
            return;
        }
        Step &next = m_steps[m_next];
        if (next.ready()) {
            say("  driver: " + next.what);
            next.act();
            ++m_next;
            m_waited = 0;
        }
        if (m_clock.elapsed() > GiveUpMs) {
            say("demo: gave up waiting for: " + next.what);
            finish(1);
        }
    }

    void savePicture(const QString &page)
    {
        const QString file = QString("%1/%2-%3.png").arg(m_out).arg(++m_shots, 2, 10, QChar('0')).arg(page);
        panelImage(&m_app.window).save(file);
    }

    void finish(int code)
    {
        if (m_done)
            return;
        m_done = true;
        say(QString("demo: %1 after %2 s; pictures in %3")
                .arg(code == 0 ? "session sequence complete" : "stopped")
                .arg(m_clock.elapsed() / 1000.0, 0, 'f', 1)
                .arg(m_out));
        QTimer::singleShot(2 * TickMs, qApp, [code] { QCoreApplication::exit(code); });
    }

    ChargerApplication &m_app;
    QString m_out;
    QVector<Step> m_steps;
    int m_next = 0;
    int m_waited = 0;
    int m_shots = 0;
    bool m_done = false;
    bool m_inTick = false;
    QString m_lastPage;
    QString m_lastStatus;
    QElapsedTimer m_clock;
};

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString outDir = "demo";
    const int outAt = arguments.indexOf("--out");
    if (outAt > 0 && outAt + 1 < arguments.size()) {
        outDir = arguments.at(outAt + 1);
        arguments.removeAt(outAt + 1);
        arguments.removeAt(outAt);
    }
    // --no-ocpp-sim: an OCPP client (ocpp-bridge) is already on the FIFOs.
    // --remote: the session the central system starts, stops and ends with a reset.
    const bool ocppSim = !arguments.removeOne("--no-ocpp-sim");
    const bool remote = arguments.removeOne("--remote");
    RuntimeOptionsResult options = applyRuntimeOptions(arguments);
    if (!options.remaining.contains("-platform"))
        options.remaining << "-platform" << "offscreen";
    ToolkitArguments qtArgs(options.remaining);
    std::signal(SIGPIPE, SIG_IGN);
    qputenv("QT_LOGGING_RULES", "default.debug=false;hmi.*.info=false");

    QApplication a(qtArgs.argc(), qtArgs.argv());
    registerRobotoFonts();
    QDir().mkpath(outDir);
    for (const QString &old : QDir(outDir).entryList({"*.png"}))
        QFile::remove(QDir(outDir).filePath(old));
    if (!QFile::exists(dataFile("configuration.json")))
        say("demo: no configuration.json in " + FilePath + " (run through ./run.sh --demo)");

    // The OCPP client simulator answers at the other end of the FIFOs.
    QProcess client;
    if (ocppSim) {
        client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client.setStandardOutputFile(dataFile("ocpp-client-sim.log"));
        client.start(QCoreApplication::applicationDirPath() + "/ocpp-client-sim", {"--data-dir", FilePath});
        if (!client.waitForStarted(3000)) {
            say("demo: cannot start ocpp-client-sim next to hmi-demo");
            return 1;
        }
    }

    MainWindow::setPauseScale(double(TickMs) / 1000.0);
    int rc = 0;
    {
        ChargerApplication charger;
        charger.mytimer.stop();
        DemoDriver driver(charger, QDir(outDir).absolutePath(), remote);
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { driver.tick(); });
        driver.start();
        tick.start(TickMs);
        say("demo: simulation build, one supervisor tick every 50 ms; OCPP client log in " +
            (ocppSim ? dataFile("ocpp-client-sim.log") : QString("the OCPP client's own")));
        rc = a.exec();
    }
    if (ocppSim) {
        client.terminate();
        if (!client.waitForFinished(2000))
            client.kill();
    }
    return rc;
}
