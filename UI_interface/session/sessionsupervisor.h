#ifndef SESSIONSUPERVISOR_H
#define SESSIONSUPERVISOR_H

// The session supervisor of connector 1: the once-per-second rules that move
// the connector's OCPP status and the pages of a charging session, the
// authorization window, the relays of the driver's and the debug panel's
// requests, and the hand-over to a reset script. Plain state: it reads and
// writes gun_status[1] and the process-wide flags, emits the requests the
// OCPP link and the CCU owner take (the main window forwards them under the
// same names), and asks the screens for what they show through SessionView.

#include "chargingdata.h"
#include "sessionend.h"

#include <QObject>
#include <QString>

class SessionView;

class SessionSupervisor : public QObject
{
    Q_OBJECT
public:
    explicit SessionSupervisor(SessionView *view, QObject *parent = nullptr);

    // One run of the rules (the main window's timerUpdate).
    void tick();

    ChargingData &chargingData() { return m_data; }

    // Parts of the tick.
    void updatePlugState();   // the plug, from the debug panel or the CCU
    void updateFaultState();  // CCU and meter faults to status and error code

    // The page changes whose data the session keeps.
    void enterStandby();
    void enterCharging();
    void enterComplete();

    // Start-up, once the OCPP link is wired: a transaction the previous run
    // left open is over (the car may be gone, the CCU has restarted). The
    // messages it left unanswered go out again in their order, then the
    // StopTransaction of each open transaction.
    void recoverTransactions();

    // SIGTERM or SIGINT: a charging session has the CCU stop first; a session
    // that still owes its StopTransaction sends it (Reboot). True when the
    // CCU was told to stop.
    bool stopForShutdown();

    // The home page is up: the next charging page is a new transaction, and
    // the next session needs a card (or a remote start) of its own.
    void resetSession();

    // How the session on the completion pages ended; fixed on the first
    // completion tick, before its rules consume the start request.
    SessionEnd sessionOutcome();

    // The session still owes its StopTransaction: the completion page must
    // stay until it has gone out.
    bool stopTransactionOwed() const { return m_startTransactionSent && !m_stopTransactionSent; }

    // Pause after a status change (10 or 200 ms) and before a reset script
    // (1 s); the demo shortens them, the tests set 0.
    static void setPauseScale(double scale);

signals:
    void StatusNotification_req(ushort ConnectorId);
    void Authorize_req(ushort ConnectorId);
    void StrartTransaction_req(ushort ConnectorId);
    void StopTransacation_req(ushort ConnectorId);
    void MeterValue_req(ushort ConnectorId);
    void signal_gun_Start_Command();
    void signal_gun_Stop_Command();
    void signal_set_RFID_state(int);
    void signal_SoftwareReset();
    void signal_HardwareReset();
    // Start-up recovery, to the OCPP link.
    void resendTransactionMessage(QString text);
    void stopRecoveredTransaction(qint32 transactionId, double meterStop, QString reason, QString timestamp);

public slots:
    void AuthorizeExpired();
    void SendMeterValue_1();
    void SoftwareReset();
    void HardwareReset();
    void AuthorizeRequest(ushort ConnectorId);
    void StartTransactionRequest(ushort ConnectorId);
    void Gun_startcharging(ushort ConnectorId);
    void Gun_stopcharging(ushort ConnectorId);

private:
    void changeStatus(const QString &status, int pauseMs);
    void pause(int ms);
    void runResetScript(const char *logLine, const QString &script);
    void handOverToReset();
    void completionRules();
    void sessionEnds();
    // The charge stops for a central-system request or at the driver's
    // target, on the energy delivery page and under its stop dialogs.
    void stopChargingWhenDue();
    // The one StopTransaction of the session, sent only when the session
    // sent a StartTransaction; a pending reset gives its reason.
    void sendStopTransaction(const QString &reason);
    void watchChargeProgress();

    SessionView *m_view;
    ChargingData m_data;

    // The transaction this session opened: one StartTransaction and at most
    // one StopTransaction per session.
    bool m_startTransactionSent = false;
    bool m_stopTransactionSent = false;
    int m_resetWaitTicks = 0; // ticks a reset waited for its StopTransaction's answer

    // A charge the CCU can no longer end by itself (see watchChargeProgress).
    int m_stalledTicks = 0;
    bool m_ccuReportedCharge = false;

    // What the completion card tells the driver.
    bool m_transactionAccepted = false; // the central system accepted the StartTransaction
    bool m_faultSeen = false;           // a charger fault while the session held the connector
    bool m_outcomeKnown = false;
    SessionEnd m_outcome = SessionEnd::NoEnergy;

    static double s_pauseScale;
};

#endif // SESSIONSUPERVISOR_H
