#ifndef TRANSACTIONRECORD_H
#define TRANSACTIONRECORD_H

// The charger's open transactions and the transaction messages the OCPP
// client has not answered yet, kept in "Transaction.json" in the data
// directory so that a power cut, a kill or a reset loses none of them. The
// OCPP link keeps it in step with the messages it sends and the answers it
// gets; the session supervisor adds the energy register and a reset on its
// way, and at start-up closes what the previous run left open. Rewritten
// whole and synced to disk on every change; deleted once nothing is open and
// nothing is unanswered. GUI thread only.

#include <QList>
#include <QString>
#include <QStringList>


// Now in UTC, as every OCPP message writes it: 2024-03-05T14:07:09Z.
QString ocppTimestamp();

class TransactionRecord
{
public:
    static const char FileName[]; // "Transaction.json"

    // A StartTransaction, StopTransaction or MeterValues message as this
    // charger writes it.
    static bool isTransactionMessage(const QString &text);

    // What a StopTransaction carries besides its transactionId.
    struct Stop
    {
        double meterStop = 0; // register, kWh
        QString reason;
        QString timestamp;
    };

    struct Transaction
    {
        QString startMessage; // the StartTransaction that opened it, as written
        int connectorId = 1;
        QString idTag;
        double meterStart = 0;
        QString startTime;
        bool idKnown = false; // the answer to its StartTransaction came
        qint32 transactionId = 0;
        QString reset; // "SoftReset" / "HardReset" while a reset is on its way
        // Ended before its transactionId was known: the StopTransaction
        // waits for the answer to its StartTransaction.
        bool ended = false;
        Stop stop;
    };

    enum class StopOutcome
    {
        NoTransaction, // none open: the caller goes on as it always did
        Send,          // send it now with the transactionId given back
        Held,          // kept until the StartTransaction is answered
        Dropped,       // its StartTransaction was given up unanswered
    };

    // Start-up: reads the file the previous run left. False when there is
    // none or it is unusable; a damaged one is kept aside as
    // "Transaction.json.corrupt".
    bool load();
    // Forgets everything in memory; the file stays as it is.
    void clear();

    const QStringList &messages() const { return m_messages; }
    const QList<Transaction> &transactions() const { return m_transactions; }
    double energyRegister() const { return m_register; }
    const QString &saved() const { return m_saved; }
    // A StopTransaction not answered yet, or one waiting for its transactionId.
    bool stopPending() const;

    // ---- the OCPP link
    // A StartTransaction opens the session's transaction (saved with its
    // message, which messageQueued() adds).
    void begin(const QString &startMessage, int connectorId, const QString &idTag, double meterStart,
               const QString &startTime);
    // A transaction message goes out (saved first) ...
    void messageQueued(const QString &text);
    // ... is answered or given up (saved), or is dropped unsaved because the
    // next messageQueued() saves anyway.
    void messageSettled(const QString &text);
    void forgetMessage(const QString &text);
    // The answer to a StartTransaction. A transaction that ended meanwhile
    // hands back its held stop (true), to be sent with this transactionId.
    bool startAnswered(const QString &startMessage, qint32 transactionId, Stop *held);
    // A StartTransaction given up, or answered without a transactionId: a
    // stop held for it can never be sent (true: it was dropped).
    bool startUnanswerable(const QString &startMessage);
    // An answer to this StartTransaction no longer concerns the session on
    // the screen (its transaction has ended).
    bool belongsToEndedTransaction(const QString &startMessage) const;
    // The session's StopTransaction; with Send, *transactionId is set and
    // the caller queues the message at once (which saves).
    StopOutcome endSession(const Stop &stop, qint32 *transactionId);

    // ---- the session supervisor
    // The register at a save (the MeterValues tick, the end of a session);
    // written with the next message.
    void setRegister(double kWh, const QString &timestamp);
    // A reset was accepted while the session runs (saved).
    void markReset(const QString &reason);
    // Start-up: every transaction still open is over. The first one still
    // open (-1: none), and its end with the stop made for it; with Send the
    // caller queues the StopTransaction before it ends the next one.
    int firstOpen() const;
    StopOutcome endTransaction(int index, const Stop &stop, qint32 *transactionId);

private:
    int indexOfStart(const QString &startMessage) const;
    bool save();

    QStringList m_messages; // unanswered, in the order first written
    QList<Transaction> m_transactions;
    double m_register = 0;
    QString m_saved;
};

extern TransactionRecord transactionRecord;

#endif // TRANSACTIONRECORD_H
