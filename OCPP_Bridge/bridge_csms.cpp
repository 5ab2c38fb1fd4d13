#include "bridge.h"
#include "bridge_p.h"

#include "csmsconnection.h"
#include "fifoends.h"
#include "hmienvelope.h"
#include "logging.h"
#include "translation.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

// ---------------------------------------------------------------- central system side

void Bridge::csmsOpened()
{
    m_registered = false;
    m_inFlight = InFlight::None;
    pump();
}

void Bridge::csmsClosed()
{
    m_registered = false;
    m_inFlight = InFlight::None;
    m_heartbeat.stop();
    m_bootRetry.stop();
    m_txRetry.stop();
    const QList<PendingAuthorize> authorizes = m_authorizes;
    m_authorizes.clear();
    for (const PendingAuthorize &a : authorizes)
        answerAuthorizeOffline(a.idTag, "unanswered when the connection was lost");
    m_statuses.clear(); // the latest goes again after the next BootNotification
    answerOwedLocally();
    if (!m_store.queue().isEmpty())
        qCInfo(lcQueue) << m_store.queue().size() << "transaction message(s) wait for the central system";
}

void Bridge::pump()
{
    if (!m_conn->isOpen() || m_conn->callInFlight())
        return;
    if (!m_registered) {
        if (m_bootRetry.isActive())
            return;
        QJsonObject boot{{QStringLiteral("chargePointVendor"), m_settings.chargePointVendor},
                         {QStringLiteral("chargePointModel"), m_settings.chargePointModel}};
        if (!m_settings.chargePointSerialNumber.isEmpty())
            boot.insert(QStringLiteral("chargePointSerialNumber"), m_settings.chargePointSerialNumber);
        if (!m_settings.firmwareVersion.isEmpty())
            boot.insert(QStringLiteral("firmwareVersion"), m_settings.firmwareVersion);
        if (m_conn->call(QStringLiteral("BootNotification"), boot))
            m_inFlight = InFlight::Boot;
        return;
    }
    if (!m_authorizes.isEmpty()) {
        m_inFlightAuthorize = m_authorizes.first().id;
        if (m_conn->call(QStringLiteral("Authorize"), m_authorizes.first().payload))
            m_inFlight = InFlight::Authorize;
        return;
    }
    TransactionStore::Entry *head = m_store.head();
    if (!m_statuses.isEmpty() && (!head || m_statuses.first().seq < head->seq)) {
        if (m_conn->call(QStringLiteral("StatusNotification"), m_statuses.first().payload))
            m_inFlight = InFlight::Status;
        return;
    }
    if (head && !m_txRetry.isActive())
        sendTransaction(*head);
}

void Bridge::sendTransaction(TransactionStore::Entry &e)
{
    QJsonObject payload = e.payload;
    if (e.action != StartTransaction && payload.contains(QStringLiteral("transactionId"))) {
        const qint64 hmiId = payload.value(QStringLiteral("transactionId")).toVariant().toLongLong();
        if (TransactionStore::Transaction *t = m_store.byHmiId(hmiId)) {
            if (t->csmsKnown) {
                payload.insert(QStringLiteral("transactionId"), t->csmsId);
            } else if (t->lost && e.action == MeterValues) {
                payload.remove(QStringLiteral("transactionId"));
            } else if (t->lost) {
                qCWarning(lcQueue) << "StopTransaction of transaction" << hmiId
                                   << "dropped: the central system never learnt of its start";
                const bool owed = !e.answered;
                m_store.forget(t->localId);
                m_store.removeEntry(e.seq);
                save();
                if (owed)
                    answerHmi(StopTransaction, QJsonObject());
                pump();
                return;
            }
            if (e.action == StopTransaction && !t->stopReason.isEmpty())
                payload.insert(QStringLiteral("reason"), t->stopReason);
        }
    }
    if (m_conn->call(e.action, payload)) {
        m_inFlight = InFlight::Transaction;
        m_inFlightSeq = e.seq;
    }
}

void Bridge::callSucceeded(const QString &action, const QJsonObject &payload)
{
    const InFlight kind = m_inFlight;
    m_inFlight = InFlight::None;
    switch (kind) {
    case InFlight::Boot: {
        const QString status = payload.value(QStringLiteral("status")).toString();
        const int interval = payload.value(QStringLiteral("interval")).toInt();
        if (status == QLatin1String("Accepted")) {
            m_registered = true;
            qCInfo(lcCsms) << "BootNotification accepted; heartbeat every" << (interval > 0 ? interval : m_heartbeatSeconds)
                           << "s;" << m_store.queue().size() << "transaction message(s) to send";
            applyHeartbeat(interval > 0 ? interval : m_heartbeatSeconds);
            m_statuses.clear();
            if (!m_lastStatus.isEmpty())
                m_statuses.append({0, m_lastStatus, false});
        } else {
            qCWarning(lcCsms).noquote() << "BootNotification" << status << "- asking again in"
                                        << (interval > 0 ? interval : BootRetryMs / 1000) << "s";
            m_bootRetry.start(interval > 0 ? interval * 1000 : BootRetryMs);
        }
        break;
    }
    case InFlight::Heartbeat:
        break;
    case InFlight::Authorize:
        // Not when its time ran out meanwhile: the HMI has had its answer.
        if (!takeAuthorize(m_inFlightAuthorize).isNull())
            answerHmi(action, Translation::hmiIdTagAnswer(payload));
        break;
    case InFlight::Status:
        if (!m_statuses.isEmpty()) {
            const bool fromHmi = m_statuses.first().fromHmi;
            m_statuses.removeFirst();
            if (fromHmi)
                answerHmi(action, QJsonObject());
        }
        break;
    case InFlight::Transaction:
        transactionAnswered(payload);
        break;
    case InFlight::None:
        break;
    }
    pump();
}

void Bridge::transactionAnswered(const QJsonObject &payload)
{
    TransactionStore::Entry *e = m_store.entry(m_inFlightSeq);
    if (!e)
        return;
    const QString action = e->action;
    const bool owed = !e->answered;
    QJsonObject answer;
    if (action == StartTransaction) {
        const QJsonValue id = payload.value(QStringLiteral("transactionId"));
        if (!id.isDouble()) {
            transactionFailed(QStringLiteral("FormationViolation"));
            return;
        }
        TransactionStore::Transaction *t = m_store.byLocalId(e->localId);
        const qint64 csmsId = id.toVariant().toLongLong();
        const QString status =
            payload.value(QStringLiteral("idTagInfo")).toObject().value(QStringLiteral("status")).toString();
        if (t) {
            t->csmsId = csmsId;
            t->csmsKnown = true;
            if (owed)
                t->hmiId = csmsId;
        }
        if (owed)
            answer = Translation::hmiStartAnswer(payload, csmsId);
        else if (t && status != QLatin1String("Accepted"))
            startRejectedLate(*t, status);
        qCInfo(lcQueue) << "transaction" << (t ? t->localId : 0) << "is" << csmsId << "at the central system";
    } else if (action == StopTransaction) {
        const qint64 hmiId = e->payload.value(QStringLiteral("transactionId")).toVariant().toLongLong();
        if (TransactionStore::Transaction *t = m_store.byHmiId(hmiId))
            m_store.forget(t->localId);
        answer = Translation::hmiIdTagAnswer(payload);
    }
    m_store.removeEntry(e->seq);
    save();
    if (owed)
        answerHmi(action, answer);
}

void Bridge::callFailed(const QString &action, const QString &code)
{
    const InFlight kind = m_inFlight;
    m_inFlight = InFlight::None;
    const bool lost = code == QLatin1String("ConnectionLost");
    switch (kind) {
    case InFlight::Boot:
        if (!lost)
            m_bootRetry.start(BootRetryMs);
        break;
    case InFlight::Authorize:
        if (lost)
            break; // answered with the others when the link is down
        {
            const QString tag = takeAuthorize(m_inFlightAuthorize);
            if (!tag.isNull())
                answerAuthorizeOffline(tag, qPrintable(QStringLiteral("failed (%1)").arg(code)));
        }
        break;
    case InFlight::Status:
        if (!lost && !m_statuses.isEmpty()) {
            qCWarning(lcCsms).noquote() << action << "refused with" << code << "; not sent again";
            m_statuses.removeFirst();
        }
        break;
    case InFlight::Transaction:
        if (!lost)
            transactionFailed(code);
        break;
    case InFlight::Heartbeat:
    case InFlight::None:
        break;
    }
    pump();
}

// The central system could not take the message: it is sent again after a
// growing pause, up to TransactionMessageAttempts times, then dropped.
void Bridge::transactionFailed(const QString &code)
{
    TransactionStore::Entry *e = m_store.entry(m_inFlightSeq);
    if (!e)
        return;
    ++e->attempts;
    const int limit = attemptLimit();
    if (e->attempts < limit) {
        const int pause = retryIntervalMs() * e->attempts;
        qCWarning(lcQueue).noquote() << e->action << "failed (" << code << "), attempt" << e->attempts << "of" << limit
                                     << "- again in" << pause / 1000 << "s";
        save();
        m_txRetry.start(pause);
        return;
    }
    qCCritical(lcQueue).noquote() << e->action << "failed (" << code << ")" << e->attempts
                                  << "times; given up:" << QJsonDocument(e->payload).toJson(QJsonDocument::Compact);
    const QString action = e->action;
    const bool owed = !e->answered;
    QJsonObject answer;
    if (owed)
        answer = takeLocalAnswer(*e);
    if (action == StartTransaction)
        if (TransactionStore::Transaction *t = m_store.byLocalId(e->localId))
            t->lost = true;
    m_store.removeEntry(e->seq);
    save();
    if (owed)
        answerHmi(action, answer);
}

// A start the HMI was told was accepted (the central system could not be
// asked then) turns out refused: the HMI is asked to stop the charge, as the
// configuration's StopTransactionOnInvalidId wants, and its StopTransaction
// goes with the reason "DeAuthorized".
void Bridge::startRejectedLate(TransactionStore::Transaction &t, const QString &status)
{
    qCWarning(lcQueue).noquote() << "the central system answered the start of transaction" << t.hmiId << "with"
                                 << status;
    if (m_config.value(QStringLiteral("StopTransactionOnInvalidId")) != QLatin1String("true") || !t.open)
        return;
    t.stopReason = QStringLiteral("DeAuthorized");
    const QString key = QStringLiteral("bridge%1").arg(++m_nextKey);
    m_ownRequests.insert(key);
    m_writer->send(HmiEnvelope::build(key, QStringLiteral("RemoteStopTransaction"),
                                      {{QStringLiteral("transactionId"), t.hmiId}}),
                   AnswerTtlMs);
}

void Bridge::callReceived(const QString &id, const QString &action, const QJsonObject &payload)
{
    auto reject = [this, &id](const QString &code, const QString &what) {
        qCWarning(lcCsms).noquote() << "CALLERROR" << code << ":" << what;
        m_conn->sendError(id, code, what);
    };
    QString problem;
    if (action == QLatin1String("RemoteStartTransaction")) {
        if (!(problem = checkMember(payload, "idTag", QJsonValue::String, true)).isEmpty() ||
            !(problem = checkMember(payload, "connectorId", QJsonValue::Double, false)).isEmpty())
            return reject(problem, QStringLiteral("idTag (text) and connectorId (integer) expected"));
        const QString idTag = payload.value(QStringLiteral("idTag")).toString();
        if (idTag.size() > 20)
            return reject(QStringLiteral("PropertyConstraintViolation"), QStringLiteral("idTag longer than 20"));
        const int connector = payload.value(QStringLiteral("connectorId")).toInt(1);
        if (connector != 1 || !Translation::isDeliverableIdTag(idTag)) {
            qCWarning(lcCsms).noquote() << "RemoteStartTransaction for connector" << connector << "/ tag" << idTag
                                        << "rejected: the charger has connector 1 and reads plain tags";
            m_conn->sendResult(id, statusPayload(QStringLiteral("Rejected")));
            return;
        }
        QJsonObject hmi{{QStringLiteral("idTag"), idTag}};
        if (payload.contains(QStringLiteral("connectorId")))
            hmi.insert(QStringLiteral("connectorId"), connector);
        forwardToHmi(id, action, hmi);
    } else if (action == QLatin1String("RemoteStopTransaction")) {
        if (!(problem = checkMember(payload, "transactionId", QJsonValue::Double, true)).isEmpty())
            return reject(problem, QStringLiteral("transactionId (integer) expected"));
        const qint64 csmsId = payload.value(QStringLiteral("transactionId")).toVariant().toLongLong();
        const TransactionStore::Transaction *t = m_store.byCsmsId(csmsId);
        forwardToHmi(id, action, {{QStringLiteral("transactionId"), t && t->hmiId ? t->hmiId : csmsId}});
    } else if (action == QLatin1String("Reset")) {
        if (!(problem = checkMember(payload, "type", QJsonValue::String, true)).isEmpty())
            return reject(problem, QStringLiteral("type (\"Soft\" or \"Hard\") expected"));
        const QString type = payload.value(QStringLiteral("type")).toString();
        if (type != QLatin1String("Soft") && type != QLatin1String("Hard"))
            return reject(QStringLiteral("PropertyConstraintViolation"), QStringLiteral("type is Soft or Hard"));
        forwardToHmi(id, action, {{QStringLiteral("type"), type}});
    } else if (action == QLatin1String("GetConfiguration")) {
        if (!(problem = checkMember(payload, "key", QJsonValue::Array, false)).isEmpty())
            return reject(problem, QStringLiteral("key (array of text) expected"));
        QStringList wanted;
        for (const QJsonValue &k : payload.value(QStringLiteral("key")).toArray()) {
            if (!k.isString())
                return reject(QStringLiteral("TypeConstraintViolation"), QStringLiteral("key (array of text) expected"));
            wanted << k.toString();
        }
        QStringList unknown;
        QJsonArray keys;
        for (const ChargePointConfig::Key &k : m_config.get(wanted, m_heartbeatSeconds, &unknown))
            keys.append(QJsonObject{{QStringLiteral("key"), k.key.left(50)},
                                    {QStringLiteral("readonly"), k.readonly},
                                    {QStringLiteral("value"), k.value.left(500)}});
        QJsonObject result{{QStringLiteral("configurationKey"), keys}};
        if (!unknown.isEmpty()) {
            QJsonArray names;
            for (const QString &u : unknown)
                names.append(u.left(50));
            result.insert(QStringLiteral("unknownKey"), names);
        }
        m_conn->sendResult(id, result);
    } else if (action == QLatin1String("ChangeConfiguration")) {
        if (!(problem = checkMember(payload, "key", QJsonValue::String, true)).isEmpty() ||
            !(problem = checkMember(payload, "value", QJsonValue::String, true)).isEmpty())
            return reject(problem, QStringLiteral("key and value (text) expected"));
        int heartbeat = -1;
        const QString status = m_config.change(payload.value(QStringLiteral("key")).toString(),
                                               payload.value(QStringLiteral("value")).toString(), &heartbeat);
        m_conn->sendResult(id, statusPayload(status));
        if (heartbeat >= 0)
            applyHeartbeat(heartbeat);
    } else {
        reject(QStringLiteral("NotImplemented"), action + QStringLiteral(" is not implemented by this charge point"));
    }
}

void Bridge::forwardToHmi(const QString &id, const QString &action, const QJsonObject &payload)
{
    const QString key = isUsableKey(id) && !m_csRequests.contains(id) && !m_ownRequests.contains(id)
                            ? id
                            : QStringLiteral("cs%1").arg(++m_nextKey);
    const int timeoutMs = m_settings.hmiAnswerTimeoutSeconds * 1000;
    const quint64 handle = m_writer->send(HmiEnvelope::build(key, action, payload), timeoutMs);
    m_csRequests.insert(key, CsRequest{id, action, m_conn->generation(), handle});
    QTimer::singleShot(timeoutMs, this, [this, key] { csRequestExpired(key); });
}

void Bridge::csRequestExpired(const QString &key)
{
    const auto it = m_csRequests.find(key);
    if (it == m_csRequests.end())
        return;
    const CsRequest r = *it;
    m_csRequests.erase(it);
    m_writer->cancel(r.writerHandle);
    qCWarning(lcHmi).noquote() << "the HMI did not answer" << r.action << "in time; answered Rejected";
    if (m_conn->isOpen() && r.generation == m_conn->generation())
        m_conn->sendResult(r.ocppId, statusPayload(QStringLiteral("Rejected")));
}

// ---------------------------------------------------------------- heartbeat

void Bridge::applyHeartbeat(int seconds)
{
    m_heartbeatSeconds = seconds;
    if (!m_registered)
        return;
    if (seconds > 0)
        m_heartbeat.start(seconds * 1000);
    else
        m_heartbeat.stop();
}

void Bridge::heartbeatDue()
{
    if (!online() || m_conn->callInFlight())
        return; // a CALL on its way shows the link is used anyway
    if (m_conn->call(QStringLiteral("Heartbeat"), QJsonObject()))
        m_inFlight = InFlight::Heartbeat;
}
