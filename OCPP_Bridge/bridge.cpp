#include "bridge.h"

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

Q_LOGGING_CATEGORY(lcCsms, "bridge.csms")
Q_LOGGING_CATEGORY(lcHmi, "bridge.hmi")
Q_LOGGING_CATEGORY(lcQueue, "bridge.queue")

namespace {

// What the HMI sends in every request and reads back in every answer.
const QString HmiKey = QStringLiteral("1");
const QString StartTransaction = QStringLiteral("StartTransaction");
const QString StopTransaction = QStringLiteral("StopTransaction");
const QString MeterValues = QStringLiteral("MeterValues");

// Answers to the HMI are of no use once it has moved on.
constexpr int AnswerTtlMs = 15000;
constexpr int BootRetryMs = 10000;
constexpr int DefaultAttempts = 3;
constexpr int DefaultRetrySeconds = 30;

QJsonObject statusPayload(const QString &status) { return {{QStringLiteral("status"), status}}; }

// A message key for the HMI: the central system's message id where the HMI
// reads it back intact.
bool isUsableKey(const QString &id)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9._:-]{1,36}$"));
    return id != QLatin1String("1") && plain.match(id).hasMatch();
}

// Checks a payload member; returns the CALLERROR code for a missing or
// wrong one, or an empty text.
QString checkMember(const QJsonObject &o, const char *name, QJsonValue::Type type, bool required)
{
    const QJsonValue v = o.value(QLatin1String(name));
    if (v.isUndefined())
        return required ? QStringLiteral("ProtocolError") : QString();
    if (v.type() != type)
        return QStringLiteral("TypeConstraintViolation");
    if (type == QJsonValue::Double && v.toDouble() != double(qint64(v.toDouble())))
        return QStringLiteral("TypeConstraintViolation");
    return QString();
}

} // namespace

Bridge::Bridge(const BridgeSettings &settings, QObject *parent)
    : QObject(parent),
      m_settings(settings),
      m_store(settings.dataFile(QStringLiteral("OcppQueue.json"))),
      m_config(settings.dataFile(QStringLiteral("configuration.json")))
{
    m_reader = new HmiFifoReader(m_settings.dataFile(QStringLiteral("ocppout")), this);
    m_writer = new HmiFifoWriter(m_settings.dataFile(QStringLiteral("ocppin")), this);
    CsmsConnection::Options o;
    o.url = m_settings.centralSystemUrl;
    o.password = m_settings.authorizationKey.toUtf8();
    o.caFile = m_settings.caFile;
    o.callTimeoutMs = m_settings.callTimeoutSeconds * 1000;
    o.pingIntervalMs = m_settings.pingIntervalSeconds * 1000;
    o.reconnectMinMs = m_settings.reconnectMinSeconds * 1000;
    o.reconnectMaxMs = m_settings.reconnectMaxSeconds * 1000;
    m_conn = new CsmsConnection(o, this);

    connect(m_reader, &HmiFifoReader::chunkReceived, this, &Bridge::hmiChunk);
    connect(m_conn, &CsmsConnection::opened, this, &Bridge::csmsOpened);
    connect(m_conn, &CsmsConnection::closed, this, &Bridge::csmsClosed);
    connect(m_conn, &CsmsConnection::callSucceeded, this, &Bridge::callSucceeded);
    connect(m_conn, &CsmsConnection::callFailed, this, &Bridge::callFailed);
    connect(m_conn, &CsmsConnection::callReceived, this, &Bridge::callReceived);

    m_bootRetry.setSingleShot(true);
    m_txRetry.setSingleShot(true);
    connect(&m_bootRetry, &QTimer::timeout, this, &Bridge::pump);
    connect(&m_txRetry, &QTimer::timeout, this, &Bridge::pump);
    connect(&m_heartbeat, &QTimer::timeout, this, &Bridge::heartbeatDue);
}

Bridge::~Bridge() = default;

void Bridge::start()
{
    m_store.load();
    answerOwedLocally(); // what the HMI was still owed when the bridge last stopped

    // The status the HMI last reported, for the first connection.
    QFile statusFile(m_settings.dataFile(QStringLiteral("StatusNotification.json")));
    if (statusFile.open(QIODevice::ReadOnly)) {
        const Translation::Outcome o = Translation::statusNotification(
            QJsonDocument::fromJson(statusFile.readAll()).object(), QDateTime::currentDateTimeUtc());
        if (o.ok)
            m_lastStatus = o.payload;
    }
    bool ok = false;
    const int configured = m_config.value(ChargePointConfig::HeartbeatInterval).toInt(&ok);
    m_heartbeatSeconds = ok && configured > 0 ? configured : m_settings.heartbeatIntervalSeconds;

    const QString identity = CsmsConnection::identityOf(m_settings.centralSystemUrl);
    qCInfo(lcCsms).noquote() << "charge point" << identity << "- data directory" << m_settings.dataDir;
    if (!m_settings.authorizationKey.isEmpty() && m_settings.centralSystemUrl.scheme() == QLatin1String("ws"))
        qCInfo(lcCsms) << "HTTP Basic authentication over ws:// (security profile 1): the password travels unencrypted";
    m_reader->start();
    m_conn->start();
}

void Bridge::stop()
{
    m_conn->stop();
    m_heartbeat.stop();
}

bool Bridge::online() const { return m_conn->isOpen() && m_registered; }

bool Bridge::save() { return m_store.save(); }

int Bridge::attemptLimit() const
{
    bool ok = false;
    const int n = m_config.value(QStringLiteral("TransactionMessageAttempts")).toInt(&ok);
    return ok && n > 0 ? n : DefaultAttempts;
}

int Bridge::retryIntervalMs() const
{
    bool ok = false;
    const int s = m_config.value(QStringLiteral("TransactionMessageRetryInterval")).toInt(&ok);
    return (ok && s > 0 ? s : DefaultRetrySeconds) * 1000;
}

// ---------------------------------------------------------------- HMI side

void Bridge::hmiChunk(const QByteArray &chunk)
{
    for (const QByteArray &text : HmiEnvelope::split(chunk)) {
        qCDebug(lcHmi).noquote() << "<-" << QString::fromUtf8(text).simplified();
        const HmiEnvelope::Message m = HmiEnvelope::parse(text);
        if (!m.ok) {
            qCWarning(lcHmi).noquote() << "not a message of the HMI, ignored:" << m.problem;
            continue;
        }
        hmiMessage(m);
    }
}

void Bridge::hmiMessage(const HmiEnvelope::Message &m)
{
    if (m.action == QLatin1String("Authorize"))
        hmiAuthorize(m.payload);
    else if (m.action == StartTransaction || m.action == StopTransaction || m.action == MeterValues)
        hmiTransaction(m.action, m.payload);
    else if (m.action == QLatin1String("StatusNotification"))
        hmiStatus(m.payload);
    else if (m.action.endsWith(QLatin1String("Response")))
        hmiAnswer(m);
    else
        qCWarning(lcHmi).noquote() << "unknown request from the HMI ignored:" << m.action;
}

void Bridge::answerHmi(const QString &action, const QJsonObject &payload)
{
    m_writer->send(HmiEnvelope::build(HmiKey, action + QStringLiteral("Response"), payload), AnswerTtlMs);
}

void Bridge::answerAuthorizeOffline(const QString &idTag, const char *why)
{
    const bool accept = m_settings.offlineAuthorizeAccept || m_settings.offlineIdTags.contains(idTag);
    qCInfo(lcQueue).noquote() << "Authorize of" << idTag << why << "- offline policy:"
                              << (accept ? "Accepted" : "Invalid");
    answerHmi(QStringLiteral("Authorize"), Translation::localAuthorizeAnswer(accept));
}

void Bridge::hmiAuthorize(const QJsonObject &payload)
{
    const Translation::Outcome o = Translation::authorize(payload);
    if (!o.ok) {
        qCWarning(lcHmi).noquote() << "Authorize answered Invalid:" << o.problem;
        answerHmi(QStringLiteral("Authorize"), Translation::localAuthorizeAnswer(false));
        return;
    }
    const QString idTag = o.payload.value(QStringLiteral("idTag")).toString();
    if (!online()) {
        answerAuthorizeOffline(idTag, "while the central system is unreachable");
        return;
    }
    const quint64 id = m_nextAuthorize++;
    m_authorizes.append({id, idTag, o.payload});
    QTimer::singleShot(m_settings.hmiAnswerTimeoutSeconds * 1000, this, [this, id] {
        const QString tag = takeAuthorize(id);
        if (!tag.isNull())
            answerAuthorizeOffline(tag, "not answered in time");
    });
    pump();
}

// Removes a waiting Authorize; its tag, or a null text when it is gone already.
QString Bridge::takeAuthorize(quint64 id)
{
    for (int i = 0; i < m_authorizes.size(); ++i)
        if (m_authorizes.at(i).id == id) {
            const QString tag = m_authorizes.at(i).idTag;
            m_authorizes.removeAt(i);
            return tag;
        }
    return QString();
}

QJsonObject Bridge::takeLocalAnswer(TransactionStore::Entry &e)
{
    e.answered = true;
    if (e.action == StartTransaction) {
        TransactionStore::Transaction *t = m_store.byLocalId(e.localId);
        if (!t)
            return Translation::localStartAnswer(e.localId);
        if (t->hmiId == 0)
            t->hmiId = t->localId;
        return Translation::localStartAnswer(t->hmiId);
    }
    // No idTagInfo: nothing was accepted by anyone yet.
    return QJsonObject();
}

void Bridge::hmiTransaction(const QString &action, const QJsonObject &payload)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    qint64 energyWh = -1;
    Translation::Outcome o;
    if (action == StartTransaction)
        o = Translation::startTransaction(payload, m_store.lastEnergyWh(), now);
    else if (action == StopTransaction)
        o = Translation::stopTransaction(payload, m_store.lastEnergyWh(), now);
    else
        o = Translation::meterValues(payload, now, &energyWh);
    if (!o.ok) {
        qCWarning(lcHmi).noquote() << action << "not sent:" << o.problem;
        answerHmi(action, action == StartTransaction ? Translation::hmiStartAnswer(QJsonObject(), 0) : QJsonObject());
        return;
    }
    if (energyWh >= 0)
        m_store.setLastEnergyWh(energyWh);

    const bool live = online();
    qint64 newLocalId = 0;
    if (action == StartTransaction) {
        const int connector = o.payload.value(QStringLiteral("connectorId")).toInt();
        const QString idTag = o.payload.value(QStringLiteral("idTag")).toString();
        // The HMI sends StartTransaction again when its status came back to
        // "Charging" within a session (after a fault); the central system
        // must not see a second transaction for one charge.
        for (TransactionStore::Transaction &t : m_store.transactions()) {
            if (!t.open || t.lost || t.connectorId != connector || t.idTag != idTag)
                continue;
            // Its first start gets its answer first, so both name one id.
            answerOwedLocally(t.localId);
            save();
            qCInfo(lcQueue) << "StartTransaction repeated within the running transaction: answered with its id"
                            << t.hmiId << "and not sent again";
            answerHmi(action, Translation::localStartAnswer(t.hmiId));
            return;
        }
        newLocalId = m_store.newTransaction(connector, idTag).localId;
    } else if (action == StopTransaction) {
        if (TransactionStore::Transaction *t =
                m_store.byHmiId(o.payload.value(QStringLiteral("transactionId")).toVariant().toLongLong()))
            t->open = false;
    }
    const qint64 seq = m_store.nextSeq();
    TransactionStore::Entry &e = m_store.append(action, o.payload, false, seq);
    e.localId = newLocalId;
    const QJsonObject localAnswer = live ? QJsonObject() : takeLocalAnswer(e);
    if (!save()) {
        // Not kept: the HMI's failure phrase makes it send the message again later.
        m_store.removeEntry(seq);
        if (newLocalId)
            m_store.forget(newLocalId);
        answerHmi(action, {{QStringLiteral("error"), QStringLiteral("failure to process the message")}});
        return;
    }
    qCInfo(lcQueue).noquote() << action << "queued," << m_store.queue().size() << "waiting"
                              << (live ? "" : "(offline)");
    if (!live) {
        answerHmi(action, localAnswer);
        return;
    }
    QTimer::singleShot(m_settings.hmiAnswerTimeoutSeconds * 1000, this, [this, seq] { answerInTime(seq); });
    pump();
}

// Every transaction message (of one transaction, when localId is given) that
// the HMI still waits for is answered by the bridge; the answers go once the
// store has been written.
void Bridge::answerOwedLocally(qint64 localId)
{
    QList<QPair<QString, QJsonObject>> owed;
    for (int i = 0; i < m_store.queue().size(); ++i) {
        TransactionStore::Entry &e = *m_store.entry(m_store.queue().at(i).seq);
        if (!e.answered && (localId == 0 || e.localId == localId))
            owed.append({e.action, takeLocalAnswer(e)});
    }
    if (owed.isEmpty())
        return;
    save();
    for (const auto &a : owed)
        answerHmi(a.first, a.second);
}

// The central system has not answered in time: the HMI gets the bridge's
// answer now, the message stays queued.
void Bridge::answerInTime(qint64 seq)
{
    TransactionStore::Entry *e = m_store.entry(seq);
    if (!e || e->answered)
        return;
    const QString action = e->action;
    const QJsonObject answer = takeLocalAnswer(*e);
    save();
    qCInfo(lcQueue).noquote() << action << "not answered by the central system in time; the HMI answered locally";
    answerHmi(action, answer);
}

void Bridge::hmiStatus(const QJsonObject &payload)
{
    const Translation::Outcome o = Translation::statusNotification(payload, QDateTime::currentDateTimeUtc());
    if (!o.ok) {
        qCWarning(lcHmi).noquote() << "StatusNotification not sent:" << o.problem;
        return;
    }
    m_lastStatus = o.payload;
    const QString status = o.payload.value(QStringLiteral("status")).toString();
    // The session is over: a later start is a new transaction.
    if (status == QLatin1String("Available") || status == QLatin1String("Preparing") ||
        status == QLatin1String("Finishing")) {
        bool changed = false;
        for (TransactionStore::Transaction &t : m_store.transactions())
            if (t.open) {
                t.open = false;
                changed = true;
            }
        if (changed)
            save();
    }
    if (!online())
        return; // the latest status goes after the next BootNotification
    m_statuses.append({m_store.nextSeq(), o.payload, true});
    pump();
}

void Bridge::hmiAnswer(const HmiEnvelope::Message &m)
{
    if (m_ownRequests.remove(m.key)) {
        qCInfo(lcHmi).noquote() << "the HMI answered" << m.action << m.payload.value(QStringLiteral("status")).toString();
        return;
    }
    const auto it = m_csRequests.find(m.key);
    if (it == m_csRequests.end() || m.action != it->action + QStringLiteral("Response")) {
        qCWarning(lcHmi).noquote() << "answer" << m.action << "with key" << m.key << "to no request; ignored";
        return;
    }
    const CsRequest r = *it;
    m_csRequests.erase(it);
    QString status = m.payload.value(QStringLiteral("status")).toString();
    if (status != QLatin1String("Accepted") && status != QLatin1String("Rejected"))
        status = QStringLiteral("Rejected");
    if (!m_conn->isOpen() || r.generation != m_conn->generation()) {
        qCWarning(lcCsms).noquote() << r.action << "answered by the HMI after the connection was lost";
        return;
    }
    m_conn->sendResult(r.ocppId, statusPayload(status));
}

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
