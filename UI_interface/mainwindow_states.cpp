#include "mainwindow.h"
#include "logcategories.h"
#include "ui_mainwindow.h"

#include "authorization.h"
#include "chargerconnect.h"
#include "charging_child1.h"
#include "charging_child2.h"
#include "complete.h"
#include "complete_child.h"
#include "configuration.h"
#include "datafiles.h"
#include "debugfun.h"
#include "energydelivery.h"
#include "errormsg.h"
#include "factorymode.h"
#include "fonts.h"
#include "fixedcharge.h"
#include "globalvariable.h"
#include "help.h"
#include "home.h"
#include "keyboard.h"
#include "led.h"
#include "screensetup.h"
#include "screentext.h"
#include "servicepinpad.h"
#include "sessionsupervisor.h"
#include "standby.h"
#include "styletokens.h"

#include "ccu_records.h"
#include "dc_meter_data.h"

#include <QApplication>
#include <QDebug>
#include <QEvent>

// The main window between sessions: the way back home from an untouched
// page, and the charger's health on the home page and in the status bar.

// ---------------------------------------------------------------- idle return

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
    case QEvent::KeyPress:
        m_idleTicks = 0;
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// 0: the page never goes home by itself (charging, standby, the home page).
quint32 MainWindow::idleLimitMs(const QString &page) const
{
    const Status &gun = gun_status[1];
    if (page == page_complete || page == page_complete_child)
        return Config.CompletionIdleReturnTimeout;
    if (page == page_fixedcharge || page == page_fixedcharge_keyboard)
        return Config.IdleReturnTimeout;
    // Once a card is in, the authorization window decides.
    if ((page == page_authorize || page == page_authorize_plugin) && gun.CardRead == 0)
        return Config.IdleReturnTimeout;
    return 0;
}

void MainWindow::idleReturnTick()
{
    const QString page = gun_status[1].page;
    const bool help = m_help && m_help->isVisible();
    const QString key = page + (help ? "+help" : "");
    if (key != m_idleKey) {
        // The first tick on a page may come at once: it does not count.
        m_idleKey = key;
        m_idleTicks = 0;
        return;
    }
    const quint32 pageLimit = idleLimitMs(page);
    const quint32 limit = help ? Config.IdleReturnTimeout : pageLimit;
    if (limit == 0) {
        m_idleTicks = 0;
        return;
    }
    ++m_idleTicks;
    if (quint64(m_idleTicks) * 1000 < limit)
        return;
    // The completion page stays until its StopTransaction is out and a
    // pending reset has run.
    if (m_supervisor->stopTransactionOwed() || SystemResetReq != 0)
        return;
    m_idleTicks = 0;
    qCInfo(lcUi).noquote() << "idle return to the home page from" << key;
    if (help)
        m_help->page_hide();
    // Help over the home page only closes: a card presented meanwhile stays.
    if (pageLimit > 0)
        Homepage_show();
}

// ---------------------------------------------------------------- out of order and health

// The links and the fault in the technician's words: English, like the
// factory screen and the log, whatever language the driver chose.
QString MainWindow::healthDetail()
{
    const bool ccuLost = errorinfo.Err_Sys_RS232;
    const bool meterFailed = dc_meter_data[1].Com_error;
    return QString("CCU: %1   |   Meter: %2   |   OCPP client: %3")
        .arg(ccuLost ? "link lost" : "connected", meterFailed ? "not answering" : "answering",
             ocppClientAbsent ? "not reading" : "connected");
}

bool MainWindow::outOfOrder(QString *detail) const
{
    const Status &gun = gun_status[1];
    QStringList why;
    if (errorinfo.Err_Sys_RS232)
        why << QStringLiteral("CCU link lost");
    if (dc_meter_data[1].Com_error)
        why << QStringLiteral("DC meter not answering (PowerMeterFailure)");
    if (gun.status == sta_Faulted && why.isEmpty()) {
        if (gun.errorcode == err_ConnectorLockFailure)
            why << QStringLiteral("Connector lock failure (ConnectorLockFailure)");
        else if (gun.errorcode == err_GroundFailure)
            why << QStringLiteral("Insulation fault (GroundFailure)");
        else if (gun.errorcode == err_HighTemperature)
            why << QStringLiteral("Over temperature (HighTemperature)");
        else if (gun.errorcode == err_PowerMeterFailure)
            why << QStringLiteral("DC meter not answering (PowerMeterFailure)");
        else
            why << QStringLiteral("The CCU reports a fault (%1)").arg(gun.errorcode.isEmpty() ? err_NoError : gun.errorcode);
    }
    if (detail)
        *detail = why.join("; ");
    return !why.isEmpty();
}

void MainWindow::updateHealth()
{
    QString detail;
    const bool out = outOfOrder(&detail);
    if (out != homepage()->isOutOfOrder() || (out && detail != m_healthIcon->property("detail").toString())) {
        if (out)
            qCWarning(lcUi).noquote() << "out of order:" << detail;
        else
            qCInfo(lcUi).noquote() << "back in order";
        homepage()->setOutOfOrder(out, detail);
    }
    const bool healthy = !errorinfo.Err_Sys_RS232 && !dc_meter_data[1].Com_error && !ocppClientAbsent && !out;
    if (m_healthIcon->property("healthy").isNull() || m_healthIcon->property("healthy").toBool() != healthy) {
        m_healthIcon->setProperty("healthy", healthy);
        m_healthIcon->setPixmap(healthIcon(m_healthIcon->size(), healthy));
    }
    m_healthIcon->setProperty("detail", detail);
    if (m_help)
        m_help->setHealthDetail(healthDetail());
}
