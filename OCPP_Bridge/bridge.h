#ifndef OCPP_BRIDGE_BRIDGE_H
#define OCPP_BRIDGE_BRIDGE_H

// The local OCPP client: the HMI's requests from "ocppout" become CALLs to
// the central system and its answers go back on "ocppin" in the form the HMI
// reads; the central system's RemoteStartTransaction, RemoteStopTransaction
// and Reset go to the HMI and its answers back as CALLRESULTs;
// GetConfiguration and ChangeConfiguration are served from configuration.json.
//
// Order on the link: BootNotification first on every connection; then an
// Authorize before anything else (a driver waits at the screen); then the
// StatusNotifications and transaction messages in the order the HMI sent
// them. Transaction messages wait in the durable queue until the central
// system has answered them; the HMI always gets exactly one answer to each,
// the central system's or, when that does not come in time, the bridge's own.

#include "bridgesettings.h"
#include "chargepointconfig.h"
#include "transactionstore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <memory>

class CsmsConnection;
class HmiFifoReader;
class HmiFifoWriter;
namespace HmiEnvelope {
struct Message;
}

class Bridge : public QObject
{
    Q_OBJECT
public:
    explicit Bridge(const BridgeSettings &settings, QObject *parent = nullptr);
    ~Bridge() override;

    void start();
    void stop();

private:
    enum class InFlight { None, Boot, Heartbeat, Authorize, Status, Transaction };

    struct PendingAuthorize
    {
        quint64 id;
        QString idTag;
        QJsonObject payload;
    };
    struct PendingStatus
    {
        qint64 seq;
        QJsonObject payload;
        bool fromHmi;
    };
    // A central system's request handed to the HMI, until it answers.
    struct CsRequest
    {
        QString ocppId;
        QString action;
        quint64 generation;
        quint64 writerHandle;
    };

    // HMI side
    void hmiChunk(const QByteArray &chunk);
    void hmiMessage(const HmiEnvelope::Message &m);
    void hmiAuthorize(const QJsonObject &payload);
    void hmiTransaction(const QString &action, const QJsonObject &payload);
    void hmiStatus(const QJsonObject &payload);
    void hmiAnswer(const HmiEnvelope::Message &m);
    void answerHmi(const QString &action, const QJsonObject &payload);
    void answerAuthorizeOffline(const QString &idTag, const char *why);
    QString takeAuthorize(quint64 id);
    // Marks the entry answered and returns the answer the bridge gives itself.
    QJsonObject takeLocalAnswer(TransactionStore::Entry &e);
    void answerInTime(qint64 seq);
    void answerOwedLocally(qint64 localId = 0);

    // central system side
    void csmsOpened();
    void csmsClosed();
    void callSucceeded(const QString &action, const QJsonObject &payload);
    void callFailed(const QString &action, const QString &code);
    void transactionAnswered(const QJsonObject &payload);
    void transactionFailed(const QString &code);
    void callReceived(const QString &id, const QString &action, const QJsonObject &payload);
    void forwardToHmi(const QString &id, const QString &action, const QJsonObject &payload);
    void csRequestExpired(const QString &key);
    void startRejectedLate(TransactionStore::Transaction &t, const QString &status);

    // sending
    bool online() const;
    void pump();
    void sendTransaction(TransactionStore::Entry &e);
    void heartbeatDue();
    void applyHeartbeat(int seconds);
    int attemptLimit() const;
    int retryIntervalMs() const;
    bool save();

    BridgeSettings m_settings;
    TransactionStore m_store;
    ChargePointConfig m_config;
    HmiFifoReader *m_reader = nullptr;
    HmiFifoWriter *m_writer = nullptr;
    CsmsConnection *m_conn = nullptr;

    bool m_registered = false;
    InFlight m_inFlight = InFlight::None;
    qint64 m_inFlightSeq = 0;
    quint64 m_inFlightAuthorize = 0;

    QList<PendingAuthorize> m_authorizes;
    quint64 m_nextAuthorize = 1;
    QList<PendingStatus> m_statuses;
    QJsonObject m_lastStatus;
    QHash<QString, CsRequest> m_csRequests;
    QSet<QString> m_ownRequests; // the bridge's own requests to the HMI
    quint64 m_nextKey = 0;

    int m_heartbeatSeconds = 300;
    QTimer m_heartbeat;
    QTimer m_bootRetry;
    QTimer m_txRetry;
};

#endif // OCPP_BRIDGE_BRIDGE_H
