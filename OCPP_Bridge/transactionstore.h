#ifndef OCPP_BRIDGE_TRANSACTIONSTORE_H
#define OCPP_BRIDGE_TRANSACTIONSTORE_H

// What must not be lost while the central system cannot be reached, kept in
// one file of the data directory and rewritten whole (write, then atomic
// rename) after every change:
// - the transaction messages (StartTransaction, MeterValues,
//   StopTransaction) in the order the HMI sent them, until the central
//   system has answered them;
// - the transactions the HMI knows, each with the transaction id the HMI
//   was given and the one the central system assigned. A start sent while
//   offline is answered with a provisional id (negative, so it never meets
//   one the central system hands out); the HMI's later MeterValues and
//   StopTransaction carry it and are sent with the central system's id;
// - the latest energy register reading (Wh) the HMI reported.

#include <QJsonObject>
#include <QList>
#include <QString>

class TransactionStore
{
public:
    struct Entry
    {
        qint64 seq = 0;
        QString action;
        QJsonObject payload;   // OCPP payload, transactionId still the HMI's
        qint64 localId = 0;    // StartTransaction: its transaction record
        int attempts = 0;      // failed sendings so far
        bool answered = false; // the HMI has had its answer
    };

    struct Transaction
    {
        qint64 localId = 0;    // provisional id, assigned when the HMI's start arrives
        qint64 hmiId = 0;      // the id the HMI was given (0: not answered yet)
        qint64 csmsId = 0;     // the central system's id
        bool csmsKnown = false;
        bool lost = false;     // its start was given up: the central system never knew it
        bool open = true;      // the session it belongs to still runs
        int connectorId = 0;
        QString idTag;
        QString stopReason;    // replaces the HMI's reason when set
    };

    explicit TransactionStore(const QString &path);

    // Reads the file; a file that cannot be read is kept aside and the
    // store starts empty. Returns false then.
    bool load();
    bool save();
    QString path() const { return m_path; }

    const QList<Entry> &queue() const { return m_queue; }
    Entry *head() { return m_queue.isEmpty() ? nullptr : &m_queue.first(); }
    Entry *entry(qint64 seq);
    qint64 nextSeq() { return m_nextSeq++; }
    Entry &append(const QString &action, const QJsonObject &payload, bool answered, qint64 seq);
    void removeEntry(qint64 seq);

    QList<Transaction> &transactions() { return m_transactions; }
    Transaction &newTransaction(int connectorId, const QString &idTag);
    Transaction *byLocalId(qint64 localId);
    Transaction *byHmiId(qint64 hmiId);
    Transaction *byCsmsId(qint64 csmsId);
    void forget(qint64 localId);

    qint64 lastEnergyWh() const { return m_lastEnergyWh; }
    void setLastEnergyWh(qint64 wh) { m_lastEnergyWh = wh; }

    // Transactions kept at most; the oldest closed ones go first.
    static constexpr int MaxTransactions = 16;

private:
    QString m_path;
    QList<Entry> m_queue;
    QList<Transaction> m_transactions;
    qint64 m_nextSeq = 1;
    qint64 m_nextLocalId = -1;
    qint64 m_lastEnergyWh = -1;
};

#endif // OCPP_BRIDGE_TRANSACTIONSTORE_H
