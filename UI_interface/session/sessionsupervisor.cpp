#include "sessionsupervisor.h"
#include "logcategories.h"

#include "ccu_records.h"
#include "datafiles.h"
#include "dc_meter_data.h"
#include "globalvariable.h"
#include "resetscript.h"
#include "sessionview.h"
#include "transactionrecord.h"

#include <QDebug>
#include <QThread>

double SessionSupervisor::s_pauseScale = 1.0;

SessionSupervisor::SessionSupervisor(SessionView *view, QObject *parent) : QObject(parent), m_view(view)
{
    connect(&timer_connection, &QTimer::timeout, this, &SessionSupervisor::AuthorizeExpired);
    connect(&timer_SendMeterValue_1, &QTimer::timeout, this, &SessionSupervisor::SendMeterValue_1);
}

void SessionSupervisor::setPauseScale(double scale)
{
    s_pauseScale = scale;
}

// ---------------------------------------------------------------- helpers

void SessionSupervisor::pause(int ms)
{
    const int scaled = int(ms * s_pauseScale);
    if (scaled > 0)
        QThread::msleep(ulong(scaled));
}

void SessionSupervisor::changeStatus(const QString &status, int pauseMs)
{
    gun_status[1].status = status;
    emit StatusNotification_req(1);
    pause(pauseMs);
}

void SessionSupervisor::resetSession()
{
    // A driver who taps through the summary before the next tick leaves the
    // completion page before its rules ran: the session still ends, with its
    // StopTransaction and Finishing, and does not hold the connector.
    const QString &status = gun_status[1].status;
    if (stopTransactionOwed() || status == sta_Charging || status == sta_SuspendedEV || status == sta_SuspendedEVSE) {
        completionRules();
        // What the rules leave open (a cable pulled at the car that the
        // configuration does not let end the transaction) ends with the session.
        if (gun_status[1].status != sta_Finishing)
            changeStatus(sta_Finishing, 0);
        sendStopTransaction(Other);
    }
    m_startTransactionSent = false;
    m_stopTransactionSent = false;
    m_resetWaitTicks = 0;
    m_transactionAccepted = false;
    m_faultSeen = false;
    m_outcomeKnown = false;
    gun_status[1].CardRead = 0;
    Debug_EVSideDisconnect = false;
    emit signal_set_RFID_state(0);
    m_view->sessionOver();
}

namespace {
bool isChargingPage(const QString &page)
{
    return page == page_charging || page == page_charging_child1 || page == page_charging_child2;
}

bool isCompletionPage(const QString &page)
{
    return page == page_complete || page == page_complete_child;
}
} // namespace

SessionEnd SessionSupervisor::sessionOutcome()
{
    if (m_outcomeKnown)
        return m_outcome;
    const Status &gun = gun_status[1];
    if (gun.startRequest == 3)
        m_transactionAccepted = true;
    SessionEnd end;
    if (gun.startRequest == 4)
        end = SessionEnd::Rejected;
    else if (gun.startRequest == 8)
        end = SessionEnd::RemoteStop;
    else if (m_faultSeen)
        end = SessionEnd::Fault;
    else if (Debug_EVSideDisconnect)
        end = SessionEnd::EvDisconnected;
    else if (!(gun.f_chargedkWh > 0))
        end = gun.startRequest == 5 ? SessionEnd::Aborted : SessionEnd::NoEnergy;
    else if (!m_transactionAccepted)
        end = SessionEnd::NotConfirmed;
    else
        end = SessionEnd::Paid;
    // Asked before the completion page (a test, a screenshot), it is not
    // yet the session's last word.
    if (isCompletionPage(gun.page)) {
        m_outcome = end;
        m_outcomeKnown = true;
    }
    return end;
}

void SessionSupervisor::sendStopTransaction(const QString &reason)
{
    if (!stopTransactionOwed())
        return;
    m_stopTransactionSent = true;
    gun_status[1].stopReason = SystemResetReq == 1 ? SoftReset : SystemResetReq == 2 ? HardReset : reason;
    emit StopTransacation_req(1);
}

void SessionSupervisor::stopChargingWhenDue()
{
    Status &gun = gun_status[1];
    if (gun.startRequest == 4 || gun.startRequest == 8) {
        emit signal_gun_Stop_Command();
        return;
    }
    // Fixed amount: at the target the charge stops as the driver's stop
    // would stop it.
    if (gun.charge_style != 2 || Stop_command_set_1)
        return;
    const bool energyReached = gun.f_CusSetkWh > 0 && gun.f_chargedkWh >= gun.f_CusSetkWh;
    const bool moneyReached = gun.f_CusSetAmount > 0 && gun.f_chargedMoney >= gun.f_CusSetAmount;
    if (energyReached || moneyReached) {
        qCInfo(lcSession) << "fixed amount reached:" << gun.f_chargedkWh << "kWh," << gun.f_chargedMoney;
        emit signal_gun_Stop_Command();
        gun.startRequest = 5;
    }
}

// ---------------------------------------------------------------- page changes

void SessionSupervisor::enterStandby()
{
    m_view->openStandbyPage();
}

void SessionSupervisor::enterCharging()
{
    // The start register first, so that the page opens with this session's
    // figures and not the whole register. A second call in the same tick
    // finds the session begun and keeps its start.
    if (gun_status[1].page != page_charging)
        m_data.beginSession();
    m_data.update();
    m_view->openChargingPage();
    qCInfo(lcSession).noquote() << "Satrting charging,time:" + str_datetime;
}

void SessionSupervisor::enterComplete()
{
    m_data.clearLiveFigures();
    m_view->refreshCompletionFigures();
    m_data.closeRegister();
    transactionRecord.setRegister(gun_status[1].f_stopmeter, ocppTimestamp());
    m_view->openCompletionPage();
    emit signal_set_RFID_state(0);
}

// ---------------------------------------------------------------- relays

void SessionSupervisor::AuthorizeRequest(ushort ConnectorId)
{
    emit Authorize_req(ConnectorId);
}

void SessionSupervisor::Gun_startcharging(ushort)
{
    emit signal_gun_Start_Command();
}

void SessionSupervisor::Gun_stopcharging(ushort)
{
    emit signal_gun_Stop_Command();
}

void SessionSupervisor::StartTransactionRequest(ushort ConnectorId)
{
    emit StrartTransaction_req(ConnectorId);
}

void SessionSupervisor::AuthorizeExpired()
{
    Status &gun = gun_status[1];
    if (gun.status != sta_Preparing)
        return;
    gun.status = sta_Available;
    gun.CardRead = 0;
    emit StatusNotification_req(1);
    emit signal_set_RFID_state(0);
    m_view->authorizationExpired();
}

// The register goes into the transaction record with the MeterValues.
void SessionSupervisor::SendMeterValue_1()
{
    transactionRecord.setRegister(ChargingData::sessionRegister(), ocppTimestamp());
    emit MeterValue_req(1);
    m_data.saveRegister();
}

bool SessionSupervisor::stopForShutdown()
{
    Status &gun = gun_status[1];
    const bool charging = gun.status == sta_Charging || isChargingPage(gun.page);
    const bool ccuStop = charging && !Stop_command_set_1;
    if (ccuStop)
        emit signal_gun_Stop_Command();
    // Also on the completion page before its tick sent the StopTransaction.
    if (stopTransactionOwed()) {
        if (charging) {
            m_data.closeRegister();
            transactionRecord.setRegister(gun.f_stopmeter, ocppTimestamp());
        }
        sendStopTransaction(Reboot);
    }
    return ccuStop;
}

// ---------------------------------------------------------------- the tick

void SessionSupervisor::tick()
{
    Status &gun = gun_status[1];

    // 1-4. Clock, plug, network, faults after the start-up window.
    m_view->showClock(str_datetime);
    updatePlugState();
    m_view->showNetworkIcon(Network_State);
    if (self_check_time > 9)
        updateFaultState();
    else
        ++self_check_time;

    // The answer to the StartTransaction, while the session can still see it.
    if (gun.startRequest == 3 && m_startTransactionSent)
        m_transactionAccepted = true;

    // 5.
    // A change is an event and always logged; the same line repeated every
    // second only at debug level.
    const bool pageChanged = !m_loggedOnce || gun.page != m_loggedPage;
    const bool statusChanged = !m_loggedOnce || gun.status != m_loggedStatus;
    const bool cardChanged = gun.CardRead != m_loggedCardRead;
    m_loggedOnce = true;
    m_loggedPage = gun.page;
    m_loggedStatus = gun.status;
    m_loggedCardRead = gun.CardRead;
    if (pageChanged)
        qCInfo(lcSession).noquote() << "show page = " + gun.page;
    else
        qCDebug(lcSession).noquote() << "show page = " + gun.page;
    if (statusChanged)
        qCInfo(lcSession).noquote() << "gun_status[1].status = " + gun.status;
    else
        qCDebug(lcSession).noquote() << "gun_status[1].status = " + gun.status;
    if (cardChanged)
        qCInfo(lcSession) << "card read = " << gun.CardRead;
    else
        qCDebug(lcSession) << "card read = " << gun.CardRead;

    // 6. Pending reset. A session on its charging pages is stopped first,
    // also while a fault holds the status at Faulted; the completion page
    // sends its StopTransaction before the reset runs.
    if (SystemResetReq != 0) {
        if (gun.status == sta_Charging || isChargingPage(gun.page)) {
            // Should the reset come before the StopTransaction, the next
            // start names it as the reason.
            transactionRecord.markReset(SystemResetReq == 1 ? SoftReset : HardReset);
            if (!Stop_command_set_1)
                emit signal_gun_Stop_Command();
        } else if (gun.page == page_complete && stopTransactionOwed()) {
            // rule 16
        } else if (gun.status != sta_Finishing) {
            handOverToReset();
        }
    }

    // 7. Plug-in prompt.
    if (gun.gun_plugin) {
        if (gun.page == page_authorize_plugin) {
            gun.page = page_authorize;
            m_view->setPluginPrompt(false);
        }
        if (timer_connection.isActive()) {
            timer_connection.stop();
            qCInfo(lcSession) << "timer_connection stopped";
        }
    } else if (gun.page == page_authorize) {
        gun.page = page_authorize_plugin;
        m_view->setPluginPrompt(true);
    }

    // 8. Availability.
    if (gun.status == sta_Available && gun.gun_plugin && gun.CardRead == 0) {
        changeStatus(sta_Preparing, 10);
    } else if (gun.status == sta_Available && !gun.gun_plugin && gun.CardRead == 2) {
        changeStatus(sta_Preparing, 10);
        timer_connection.start(int(Config.ConnectionTimeOut));
    } else if (!gun.gun_plugin && gun.CardRead == 0 && gun.status == sta_Preparing) {
        changeStatus(sta_Available, 10);
    }

    // 9. Back to idle.
    if (gun.page == page_home && gun.status == sta_Finishing && !gun.gun_plugin)
        changeStatus(sta_Available, 0);

    // 10. Authorization page. A card refused while the plug-in prompt is up
    // is told at once too, not only once the cable is in.
    if (gun.page == page_authorize || gun.page == page_authorize_plugin) {
        if (gun.page == page_authorize && gun.CardRead == 2 && gun.gun_plugin) {
            enterStandby();
        } else if (gun.CardRead == 3) {
            m_view->showErrorPopup(
                "Information: The card is invalid on this charge point!!   Please change another one.");
            m_view->authorizationRefused();
            gun.CardRead = 0;
            emit signal_set_RFID_state(0);
        }
    }

    // 11. Standby page.
    if (gun.page == page_standby) {
        if (gun.startRequest == 6) {
            // A remote start must start the power stage too, not only the page.
            if (!Start_command_set_1)
                emit signal_gun_Start_Command();
            enterCharging();
        }
        if (DebugMode) {
            if (Start_command_set_1)
                enterCharging();
        } else if (systemstatus.Gun1_available_sta == 1) {
            enterCharging();
        }
    }

    // 12. Stop dialog over standby.
    if (gun.page == page_standby_child2 && Stop_command_set_1)
        enterComplete();

    // 13. Charging page.
    if (gun.page == page_charging) {
        m_data.update();
        m_view->refreshChargingFigures();
        if (gun.status != sta_Charging)
            changeStatus(sta_Charging, 200);
        // A fault that pulled the status away and back is no new transaction.
        if (!m_startTransactionSent) {
            m_startTransactionSent = true;
            emit StrartTransaction_req(1);
        }
        stopChargingWhenDue();
    }

    // 14. Charging details dialog (the card prompt).
    if (gun.page == page_charging_child1) {
        if (gun.CardRead == 4)
            m_view->openStopConfirmation();
        m_data.update();
        stopChargingWhenDue();
    }

    // 15. Stop confirmation over charging.
    if (gun.page == page_charging_child2) {
        m_data.update();
        m_view->refreshChargingFigures();
        stopChargingWhenDue();
        if (Stop_command_set_1)
            m_view->closeStopConfirmation();
    }

    watchChargeProgress();

    // 16. Completion page.
    if (gun.page == page_complete)
        completionRules();
}

// The charging pages end when the CCU reports the charge finished or
// stopping. A CCU that is gone (link lost), that restarted and forgot the
// session, or that never carries out a stop would hold the driver, the
// connector and the transaction on those pages for ever; after a grace the
// session ends here, as any other, with its StopTransaction.
void SessionSupervisor::watchChargeProgress()
{
    constexpr int LinkLostGraceTicks = 30;   // a reopened port may bring it back
    constexpr int SessionLostGraceTicks = 30;
    constexpr int StopGraceTicks = 60;       // beyond the page's own 30 s stopping limit

    Status &gun = gun_status[1];
    if (!isChargingPage(gun.page)) {
        m_stalledTicks = 0;
        m_ccuReportedCharge = false;
        return;
    }
    const bool device = !DebugMode;
    const bool linkLost = device && errorinfo.Err_Sys_RS232;
    const bool ccuCharging = device && !linkLost && systemstatus.Gun1_available_sta == 1;
    m_ccuReportedCharge = m_ccuReportedCharge || ccuCharging;

    const char *why = nullptr;
    int grace = 0;
    if (linkLost) {
        why = "the CCU link is lost";
        grace = LinkLostGraceTicks;
    } else if (m_ccuReportedCharge && !ccuCharging) {
        why = "the CCU no longer reports it";
        grace = SessionLostGraceTicks;
    } else if (Stop_command_set_1) {
        why = "its stop was not carried out";
        grace = StopGraceTicks;
    }
    if (!why) {
        m_stalledTicks = 0;
        return;
    }
    if (++m_stalledTicks < grace)
        return;
    qCWarning(lcSession).noquote() << QString("charge ended after %1 s without progress: %2").arg(m_stalledTicks).arg(why);
    m_stalledTicks = 0;
    m_ccuReportedCharge = false;
    m_faultSeen = true; // the driver is told the charger failed, not thanked for a payment
    // Should the CCU come back, it must not go on delivering.
    if (!Stop_command_set_1)
        emit signal_gun_Stop_Command();
    enterComplete();
}

// The transaction ends with the reason its end calls for; a pending reset
// goes on once the StopTransaction is out. Whatever the state of the start,
// the session reaches Finishing.
void SessionSupervisor::completionRules()
{
    Status &gun = gun_status[1];
    sessionOutcome();
    const QString onInvalidId = configText("StopTransactionOnInvalidId");
    switch (gun.startRequest) {
    case 4:
        m_view->showErrorPopup("Information:The transaction is rejected by the Centtral System!");
        if (gun.status == sta_SuspendedEVSE || gun.status == sta_Finishing) {
            gun.startRequest = 0;
            break;
        }
        changeStatus(sta_SuspendedEVSE, 200);
        if (onInvalidId == "true") {
            sendStopTransaction(DeAuthorized);
            pause(200);
        }
        changeStatus(sta_Finishing, 200);
        // Whatever else the key says, the rejected transaction is closed.
        sendStopTransaction(DeAuthorized);
        gun.startRequest = 0;
        break;
    case 5:
        if (gun.status != sta_Finishing) {
            changeStatus(sta_Finishing, 200);
            sendStopTransaction(Local);
        }
        break;
    case 8:
        m_view->showErrorPopup("Information:The transaction is stopped by Remote command!");
        if (gun.status != sta_Finishing) {
            changeStatus(sta_Finishing, 200);
            sendStopTransaction(Remote);
        }
        gun.startRequest = 0;
        break;
    default:
        // 3 (running), and a start never answered (2) or a remote command
        // answered meanwhile (7, 9): the charge has ended all the same.
        sessionEnds();
        break;
    }

    if (SystemResetReq == 1 || SystemResetReq == 2) {
        gun.status = sta_Finishing;
        sendStopTransaction(SystemResetReq == 1 ? SoftReset : HardReset);
        // The script ends the program: a StopTransaction still unanswered
        // is given two more ticks, or the next start sends it once more.
        if (transactionRecord.stopPending() && m_resetWaitTicks < 2) {
            ++m_resetWaitTicks;
            return;
        }
        pause(200);
        handOverToReset();
    }
}

void SessionSupervisor::sessionEnds()
{
    Status &gun = gun_status[1];
    const QString onDisconnect = configText("StopTransactionOnEVSideDisconnect");
    qCInfo(lcSession).noquote() << "StopTransactionOnEVSideDisconnect = " + onDisconnect;
    if (Debug_EVSideDisconnect) {
        if (onDisconnect == "true" && gun.status != sta_Finishing) {
            m_view->showErrorPopup("Information: The cable is unpluged at car side!");
            changeStatus(sta_Finishing, 200);
            sendStopTransaction(EVDisconnected);
        }
        Debug_EVSideDisconnect = false;
    } else if (gun.status != sta_Finishing) {
        changeStatus(sta_Finishing, 200);
        sendStopTransaction(Other);
    }
}

// ---------------------------------------------------------------- indications

void SessionSupervisor::updatePlugState()
{
    const bool plugged = DebugMode_ChargerGun ? debug.gun1_plugin : systemstatus.Gun1_plugged_sta == 1;
    gun_status[1].gun_plugin = plugged;
    m_view->showPlugIcon(plugged);
}

void SessionSupervisor::updateFaultState()
{
    Status &gun = gun_status[1];
    const bool ccuFault = systemstatus.Sys_available_sta == 2 || systemstatus.Gun1_available_sta == 2;
    if ((ccuFault || dc_meter_data[1].Com_error) && (m_startTransactionSent || isChargingPage(gun.page)))
        m_faultSeen = true;
    if (ccuFault) {
        if (errorinfo.Err_Gun1_Elock)
            gun.errorcode = err_ConnectorLockFailure;
        else if (errorinfo.Err_Gun1_ISO)
            gun.errorcode = err_GroundFailure;
        else if (errorinfo.Err_Sys_TemperatureOver || errorinfo.Err_Gun1_TemperatureOver)
            gun.errorcode = err_HighTemperature;
        if (gun.status != sta_Faulted) {
            gun.status = sta_Faulted;
            emit StatusNotification_req(1);
        }
    } else if (dc_meter_data[1].Com_error) {
        if (gun.status != sta_Faulted) {
            gun.status = sta_Faulted;
            gun.errorcode = err_PowerMeterFailure;
            emit StatusNotification_req(1);
        }
    } else {
        if (gun.errorcode != err_NoError)
            gun.errorcode = err_NoError;
        if (gun.status == sta_Unavailable) {
            gun.status = sta_Available;
            emit StatusNotification_req(1);
        } else if (gun.status == sta_Faulted && gun.page == page_home) {
            // The fault has cleared and no session holds the connector:
            // the central system must see a working charger again.
            gun.status = sta_Available;
            emit StatusNotification_req(1);
        }
    }
}
