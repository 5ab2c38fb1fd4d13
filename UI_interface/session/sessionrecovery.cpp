#include "sessionsupervisor.h"
#include "logcategories.h"

#include "ccu_records.h"
#include "datafiles.h"
#include "globalvariable.h"
#include "resetscript.h"
#include "transactionrecord.h"

#include <QDebug>

// The supervisor at the ends of a run: the transactions a previous run left
// open, and the hand-over to a reset script.

// ---------------------------------------------------------------- start-up

void SessionSupervisor::recoverTransactions()
{
    TransactionRecord &record = transactionRecord;
    if (!record.load())
        return;
    Status &gun = gun_status[1];
    // The HMI's own register never restarts below a reading already billed.
    if (!Config_DC_Meter && record.energyRegister() > gun.f_energy_LcdCal) {
        gun.f_energy_LcdCal = record.energyRegister();
        m_data.saveRegister();
    }
    const QStringList messages = record.messages();
    for (const QString &message : messages)
        emit resendTransactionMessage(message);

    QStringList closed;
    bool wasOpen = false;
    for (int i; (i = record.firstOpen()) >= 0;) {
        wasOpen = true;
        const TransactionRecord::Transaction t = record.transactions().at(i);
        const TransactionRecord::Stop stop{record.energyRegister(), t.reset.isEmpty() ? PowerLoss : t.reset,
                                           record.saved()};
        qint32 id = 0;
        switch (record.endTransaction(i, stop, &id)) {
        case TransactionRecord::StopOutcome::Send:
            emit stopRecoveredTransaction(id, stop.meterStop, stop.reason, stop.timestamp);
            closed << QString("transaction %1 closed with StopTransaction %2, meterStop %3 kWh at %4")
                          .arg(id)
                          .arg(stop.reason)
                          .arg(stop.meterStop, 0, 'f', 1)
                          .arg(stop.timestamp);
            break;
        case TransactionRecord::StopOutcome::Held:
            closed << QString("transaction of %1 waits for its transactionId, then StopTransaction %2")
                          .arg(t.startTime, stop.reason);
            break;
        case TransactionRecord::StopOutcome::Dropped:
        case TransactionRecord::StopOutcome::NoTransaction:
            closed << QString("transaction of %1 has no transactionId, no StopTransaction").arg(t.startTime);
            break;
        }
    }
    for (const TransactionRecord::Transaction &t : record.transactions())
        if (t.ended)
            closed << QString("transaction of %1 waits for its transactionId, then StopTransaction %2")
                          .arg(t.startTime, t.stop.reason);
    qCWarning(lcSession).noquote() << QString("%1 of the previous run: %2 unanswered message(s) sent again")
                                .arg(TransactionRecord::FileName)
                                .arg(messages.size()) +
                                (closed.isEmpty() ? QString() : "; " + closed.join("; "));
    // Whatever the CCU still delivers belongs to no session.
    if (wasOpen) {
        emit signal_gun_Stop_Command();
        Stop_command_set_1 = false;
    }
}

// ---------------------------------------------------------------- resets

// The links are stopped first (the owners take the signal), then the script
// of the requested reset runs.
void SessionSupervisor::handOverToReset()
{
    if (SystemResetReq == 1) {
        emit signal_SoftwareReset();
        SoftwareReset();
    } else {
        emit signal_HardwareReset();
        HardwareReset();
    }
}

void SessionSupervisor::runResetScript(const char *logLine, const QString &script)
{
    qCInfo(lcSession) << logLine;
    pause(1000);
    // The path is absolute, so it does not depend on the working directory.
    handOverToResetScript(dataFile(script));
}

void SessionSupervisor::SoftwareReset()
{
    runResetScript("software reset!!!", "softwarereset.sh");
}

void SessionSupervisor::HardwareReset()
{
    runResetScript("hardware reset!!!", "hardwarereset.sh");
}
