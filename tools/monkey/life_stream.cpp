#include "life_p.h"

#include "globalvariable.h"

#include <QDateTime>
#include <QTimer>

#include <csignal>
#include <functional>
#include <unistd.h>

namespace monkey {

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


} // namespace monkey
