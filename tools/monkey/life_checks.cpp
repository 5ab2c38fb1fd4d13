#include "life_p.h"

#include "authorization.h"
#include "chargerconnect.h"
#include "charging_child1.h"
#include "charging_child2.h"
#include "complete.h"
#include "complete_child.h"
#include "energydelivery.h"
#include "fixedcharge.h"
#include "globalvariable.h"
#include "home.h"
#include "keyboard.h"
#include "standby.h"
#include "transactionrecord.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>

namespace monkey {

namespace {
const QStringList ChargePointStatuses = {"Available", "Preparing", "Charging", "SuspendedEVSE", "SuspendedEV",
                                         "Finishing", "Reserved",  "Unavailable", "Faulted"};
} // namespace

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

} // namespace monkey
