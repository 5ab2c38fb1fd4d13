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

Q_LOGGING_CATEGORY(lcCsms, "bridge.csms")
Q_LOGGING_CATEGORY(lcHmi, "bridge.hmi")
Q_LOGGING_CATEGORY(lcQueue, "bridge.queue")

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
