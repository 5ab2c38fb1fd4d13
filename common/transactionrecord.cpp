#include "transactionrecord.h"

#include "datafiles.h"
#include "globalvariable.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

TransactionRecord transactionRecord;

const char TransactionRecord::FileName[] = "Transaction.json";

QString ocppTimestamp()
{
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd'T'hh:mm:ss'Z'"));
}

bool TransactionRecord::isTransactionMessage(const QString &text)
{
    return text.startsWith(QLatin1String("1=StartTransaction=")) ||
           text.startsWith(QLatin1String("1=StopTransaction=")) || text.startsWith(QLatin1String("1=MeterValues="));
}

namespace {

QJsonObject stopObject(const TransactionRecord::Stop &stop)
{
    QJsonObject o;
    o.insert(QStringLiteral("meterStop"), stop.meterStop);
    o.insert(QStringLiteral("reason"), stop.reason);
    o.insert(QStringLiteral("timestamp"), stop.timestamp);
    return o;
}

} // namespace

// ---------------------------------------------------------------- the file

bool TransactionRecord::load()
{
    clear();
    const QString path = dataFile(FileName);
    if (!QFile::exists(path))
        return false;
    bool ok = false;
    const QJsonObject root = readJsonFile(path, &ok);
    if (!ok) {
        const QString aside = path + QStringLiteral(".corrupt");
        QFile::remove(aside);
        QFile::rename(path, aside);
        qWarning().noquote() << "transaction record unreadable, kept as" << aside;
        return false;
    }
    for (const QJsonValue &m : root.value(QStringLiteral("messages")).toArray()) {
        if (m.isString() && isTransactionMessage(m.toString()))
            m_messages << m.toString();
        else
            qWarning() << "transaction record: not a transaction message, left out:" << m;
    }
    for (const QJsonValue &v : root.value(QStringLiteral("transactions")).toArray()) {
        const QJsonObject o = v.toObject();
        Transaction t;
        t.startMessage = o.value(QStringLiteral("startMessage")).toString();
        if (t.startMessage.isEmpty())
            continue;
        t.connectorId = o.value(QStringLiteral("connectorId")).toInt(1);
        t.idTag = o.value(QStringLiteral("idTag")).toString();
        t.meterStart = o.value(QStringLiteral("meterStart")).toDouble();
        t.startTime = o.value(QStringLiteral("startTime")).toString();
        const QJsonValue id = o.value(QStringLiteral("transactionId"));
        t.idKnown = id.isDouble();
        t.transactionId = id.toInt();
        t.reset = o.value(QStringLiteral("reset")).toString();
        const QJsonValue stop = o.value(QStringLiteral("stop"));
        t.ended = stop.isObject();
        if (t.ended) {
            const QJsonObject s = stop.toObject();
            t.stop.meterStop = s.value(QStringLiteral("meterStop")).toDouble();
            t.stop.reason = s.value(QStringLiteral("reason")).toString();
            t.stop.timestamp = s.value(QStringLiteral("timestamp")).toString();
        }
        m_transactions << t;
    }
    m_register = root.value(QStringLiteral("energyRegister")).toDouble();
    m_saved = root.value(QStringLiteral("saved")).toString();
    return !m_messages.isEmpty() || !m_transactions.isEmpty();
}

void TransactionRecord::clear()
{
    m_messages.clear();
    m_transactions.clear();
    m_register = 0;
    m_saved.clear();
}

bool TransactionRecord::save()
{
    const QString path = dataFile(FileName);
    if (m_messages.isEmpty() && m_transactions.isEmpty())
        return removeDataFile(path);
    QJsonArray transactions;
    for (const Transaction &t : m_transactions) {
        QJsonObject o;
        o.insert(QStringLiteral("connectorId"), t.connectorId);
        o.insert(QStringLiteral("idTag"), t.idTag);
        o.insert(QStringLiteral("meterStart"), t.meterStart);
        o.insert(QStringLiteral("startMessage"), t.startMessage);
        o.insert(QStringLiteral("startTime"), t.startTime);
        if (t.idKnown)
            o.insert(QStringLiteral("transactionId"), t.transactionId);
        if (!t.reset.isEmpty())
            o.insert(QStringLiteral("reset"), t.reset);
        if (t.ended)
            o.insert(QStringLiteral("stop"), stopObject(t.stop));
        transactions.append(o);
    }
    QJsonObject root;
    root.insert(QStringLiteral("energyRegister"), m_register);
    root.insert(QStringLiteral("messages"), QJsonArray::fromStringList(m_messages));
    root.insert(QStringLiteral("saved"), m_saved);
    root.insert(QStringLiteral("transactions"), transactions);
    if (writeJsonFile(path, root, FileSync::ToDisk))
        return true;
    qWarning().noquote() << "transaction record could not be written:" << path;
    return false;
}

// ---------------------------------------------------------------- queries

bool TransactionRecord::stopPending() const
{
    for (const QString &m : m_messages)
        if (m.startsWith(QLatin1String("1=StopTransaction=")))
            return true;
    for (const Transaction &t : m_transactions)
        if (t.ended)
            return true;
    return false;
}

int TransactionRecord::indexOfStart(const QString &startMessage) const
{
    for (int i = 0; i < m_transactions.size(); ++i)
        if (m_transactions.at(i).startMessage == startMessage)
            return i;
    return -1;
}

bool TransactionRecord::belongsToEndedTransaction(const QString &startMessage) const
{
    const int i = indexOfStart(startMessage);
    return i >= 0 && m_transactions.at(i).ended;
}

// ---------------------------------------------------------------- the OCPP link

void TransactionRecord::begin(const QString &startMessage, int connectorId, const QString &idTag, double meterStart,
                              const QString &startTime)
{
    Transaction t;
    t.startMessage = startMessage;
    t.connectorId = connectorId;
    t.idTag = idTag;
    t.meterStart = meterStart;
    t.startTime = startTime;
    m_transactions << t;
    m_register = meterStart;
    m_saved = startTime;
}

void TransactionRecord::messageQueued(const QString &text)
{
    m_messages << text;
    save();
}

void TransactionRecord::messageSettled(const QString &text)
{
    if (m_messages.removeOne(text))
        save();
}

void TransactionRecord::forgetMessage(const QString &text)
{
    m_messages.removeOne(text);
}

bool TransactionRecord::startAnswered(const QString &startMessage, qint32 transactionId, Stop *held)
{
    const int i = indexOfStart(startMessage);
    if (i < 0)
        return false;
    Transaction &t = m_transactions[i];
    t.idKnown = true;
    t.transactionId = transactionId;
    if (!t.ended) {
        save();
        return false;
    }
    // Its StopTransaction goes out now; that message saves the record.
    *held = t.stop;
    m_transactions.removeAt(i);
    return true;
}

bool TransactionRecord::startUnanswerable(const QString &startMessage)
{
    const int i = indexOfStart(startMessage);
    if (i < 0 || m_transactions.at(i).idKnown)
        return false;
    const bool dropped = m_transactions.at(i).ended;
    if (dropped)
        m_transactions.removeAt(i);
    save();
    return dropped;
}

TransactionRecord::StopOutcome TransactionRecord::endTransaction(int index, const Stop &stop, qint32 *transactionId)
{
    Transaction &t = m_transactions[index];
    if (t.idKnown) {
        *transactionId = t.transactionId;
        m_transactions.removeAt(index);
        return StopOutcome::Send;
    }
    if (m_messages.contains(t.startMessage)) {
        t.ended = true;
        t.stop = stop;
        save();
        return StopOutcome::Held;
    }
    m_transactions.removeAt(index);
    save();
    return StopOutcome::Dropped;
}

TransactionRecord::StopOutcome TransactionRecord::endSession(const Stop &stop, qint32 *transactionId)
{
    for (int i = m_transactions.size() - 1; i >= 0; --i)
        if (!m_transactions.at(i).ended)
            return endTransaction(i, stop, transactionId);
    return StopOutcome::NoTransaction;
}

// ---------------------------------------------------------------- the session supervisor

void TransactionRecord::setRegister(double kWh, const QString &timestamp)
{
    m_register = kWh;
    m_saved = timestamp;
}

void TransactionRecord::markReset(const QString &reason)
{
    bool changed = false;
    for (Transaction &t : m_transactions) {
        if (!t.ended && t.reset != reason) {
            t.reset = reason;
            changed = true;
        }
    }
    if (changed)
        save();
}

int TransactionRecord::firstOpen() const
{
    for (int i = 0; i < m_transactions.size(); ++i)
        if (!m_transactions.at(i).ended)
            return i;
    return -1;
}
