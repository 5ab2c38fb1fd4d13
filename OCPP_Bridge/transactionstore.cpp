#include "transactionstore.h"

#include "logging.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cmath>

namespace {

qint64 number(const QJsonObject &o, const char *name, qint64 fallback = 0)
{
    const QJsonValue v = o.value(QLatin1String(name));
    if (!v.isDouble() || !std::isfinite(v.toDouble()))
        return fallback;
    return qint64(v.toDouble());
}

} // namespace

TransactionStore::TransactionStore(const QString &path) : m_path(path) {}

bool TransactionStore::load()
{
    QFile file(m_path);
    if (!file.exists())
        return true;
    QJsonParseError error;
    const QJsonDocument doc =
        file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll(), &error) : QJsonDocument();
    file.close();
    if (!doc.isObject()) {
        const QString aside = m_path + QStringLiteral(".corrupt");
        QFile::remove(aside);
        QFile::copy(m_path, aside);
        qCCritical(lcQueue).noquote() << m_path << "unreadable, kept as" << aside << "- starting with an empty queue";
        return false;
    }
    const QJsonObject root = doc.object();
    m_nextSeq = qMax<qint64>(1, number(root, "nextSeq", 1));
    m_nextLocalId = qMin<qint64>(-1, number(root, "nextLocalId", -1));
    m_lastEnergyWh = number(root, "lastEnergyWh", -1);
    for (const QJsonValue &v : root.value(QStringLiteral("queue")).toArray()) {
        const QJsonObject o = v.toObject();
        Entry e;
        e.seq = number(o, "seq");
        e.action = o.value(QStringLiteral("action")).toString();
        e.payload = o.value(QStringLiteral("payload")).toObject();
        e.localId = number(o, "localId");
        e.attempts = int(number(o, "attempts"));
        e.answered = o.value(QStringLiteral("answered")).toBool();
        if (e.action.isEmpty())
            continue;
        m_nextSeq = qMax(m_nextSeq, e.seq + 1);
        m_queue.append(e);
    }
    for (const QJsonValue &v : root.value(QStringLiteral("transactions")).toArray()) {
        const QJsonObject o = v.toObject();
        Transaction t;
        t.localId = number(o, "localId");
        t.hmiId = number(o, "hmiId");
        t.csmsKnown = o.value(QStringLiteral("csmsId")).isDouble();
        t.csmsId = number(o, "csmsId");
        t.lost = o.value(QStringLiteral("lost")).toBool();
        t.open = o.value(QStringLiteral("open")).toBool();
        t.connectorId = int(number(o, "connectorId"));
        t.idTag = o.value(QStringLiteral("idTag")).toString();
        t.stopReason = o.value(QStringLiteral("stopReason")).toString();
        if (t.localId >= 0)
            continue;
        m_nextLocalId = qMin(m_nextLocalId, t.localId - 1);
        m_transactions.append(t);
    }
    qCInfo(lcQueue) << m_queue.size() << "transaction message(s) waiting from before";
    return true;
}

bool TransactionStore::save()
{
    QJsonArray queue;
    for (const Entry &e : m_queue) {
        QJsonObject o{{"seq", e.seq}, {"action", e.action}, {"payload", e.payload},
                      {"attempts", e.attempts}, {"answered", e.answered}};
        if (e.localId)
            o.insert(QStringLiteral("localId"), e.localId);
        queue.append(o);
    }
    QJsonArray transactions;
    for (const Transaction &t : m_transactions) {
        QJsonObject o{{"localId", t.localId}, {"hmiId", t.hmiId}, {"open", t.open},
                      {"connectorId", t.connectorId}, {"idTag", t.idTag}};
        if (t.csmsKnown)
            o.insert(QStringLiteral("csmsId"), t.csmsId);
        if (t.lost)
            o.insert(QStringLiteral("lost"), true);
        if (!t.stopReason.isEmpty())
            o.insert(QStringLiteral("stopReason"), t.stopReason);
        transactions.append(o);
    }
    const QJsonObject root{{"nextSeq", m_nextSeq},
                           {"nextLocalId", m_nextLocalId},
                           {"lastEnergyWh", m_lastEnergyWh},
                           {"queue", queue},
                           {"transactions", transactions}};
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0 ||
        !file.commit()) {
        qCCritical(lcQueue).noquote() << "cannot write" << m_path << ":" << file.errorString();
        return false;
    }
    return true;
}

TransactionStore::Entry *TransactionStore::entry(qint64 seq)
{
    for (Entry &e : m_queue)
        if (e.seq == seq)
            return &e;
    return nullptr;
}

TransactionStore::Entry &TransactionStore::append(const QString &action, const QJsonObject &payload, bool answered,
                                                  qint64 seq)
{
    Entry e;
    e.seq = seq;
    e.action = action;
    e.payload = payload;
    e.answered = answered;
    m_queue.append(e);
    return m_queue.last();
}

void TransactionStore::removeEntry(qint64 seq)
{
    for (int i = 0; i < m_queue.size(); ++i)
        if (m_queue.at(i).seq == seq) {
            m_queue.removeAt(i);
            return;
        }
}

TransactionStore::Transaction &TransactionStore::newTransaction(int connectorId, const QString &idTag)
{
    while (m_transactions.size() >= MaxTransactions) {
        int victim = 0;
        for (int i = 0; i < m_transactions.size(); ++i)
            if (!m_transactions.at(i).open) {
                victim = i;
                break;
            }
        m_transactions.removeAt(victim);
    }
    Transaction t;
    t.localId = m_nextLocalId--;
    t.connectorId = connectorId;
    t.idTag = idTag;
    m_transactions.append(t);
    return m_transactions.last();
}

TransactionStore::Transaction *TransactionStore::byLocalId(qint64 localId)
{
    for (Transaction &t : m_transactions)
        if (t.localId == localId)
            return &t;
    return nullptr;
}

TransactionStore::Transaction *TransactionStore::byHmiId(qint64 hmiId)
{
    // The newest first: an id the HMI reuses names its latest transaction.
    for (int i = m_transactions.size() - 1; i >= 0; --i)
        if (m_transactions[i].hmiId == hmiId && m_transactions[i].hmiId != 0)
            return &m_transactions[i];
    return nullptr;
}

TransactionStore::Transaction *TransactionStore::byCsmsId(qint64 csmsId)
{
    for (int i = m_transactions.size() - 1; i >= 0; --i)
        if (m_transactions[i].csmsKnown && m_transactions[i].csmsId == csmsId)
            return &m_transactions[i];
    return nullptr;
}

void TransactionStore::forget(qint64 localId)
{
    for (int i = 0; i < m_transactions.size(); ++i)
        if (m_transactions.at(i).localId == localId) {
            m_transactions.removeAt(i);
            return;
        }
}
