#ifndef OCPP_BRIDGE_CSMSCONNECTION_H
#define OCPP_BRIDGE_CSMSCONNECTION_H

// The WebSocket to the central system and OCPP-J's framing on it:
// subprotocol "ocpp1.6", HTTP Basic authentication when a password is set,
// TLS with the system's or a given CA, a WebSocket ping that notices a dead
// link, reconnection with a growing pause, and at most one CALL in flight,
// which fails after a time-out.

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

class QWebSocket;

// One OCPP-J frame as received. A frame that is not one leaves `error` set to
// the CALLERROR code to answer with (and `id` to answer to, when known).
struct OcppFrame
{
    enum Type { Invalid = 0, Call = 2, CallResult = 3, CallError = 4 };
    Type type = Invalid;
    QString id;
    QString action;        // Call
    QJsonObject payload;   // Call, CallResult
    QString errorCode;     // CallError
    QString errorDescription;
    QString error;         // Invalid: FormationViolation or ProtocolError

    static OcppFrame parse(const QByteArray &text);
};

class CsmsConnection : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QUrl url;                 // ws:// or wss://, ending in the charge point's identity
        QByteArray password;      // HTTP Basic password; empty: no authentication
        QString caFile;           // PEM CA certificates for wss://; empty: the system's
        int callTimeoutMs = 30000;
        int pingIntervalMs = 60000; // 0: no ping
        int reconnectMinMs = 1000;
        int reconnectMaxMs = 60000;
        int connectTimeoutMs = 20000;
    };

    explicit CsmsConnection(const Options &options, QObject *parent = nullptr);
    ~CsmsConnection() override;

    // The identity the central system knows the charge point by: the last
    // segment of the URL's path.
    static QString identityOf(const QUrl &url);

    void start();
    void stop();
    bool isOpen() const { return m_open; }
    bool callInFlight() const { return !m_callId.isEmpty(); }
    QString actionInFlight() const { return m_callAction; }
    // Counts the connections made; an answer to a CALL of an earlier
    // connection is not sent on a later one.
    quint64 generation() const { return m_generation; }

    // False when not open or a CALL is still in flight.
    bool call(const QString &action, const QJsonObject &payload);
    void sendResult(const QString &id, const QJsonObject &payload);
    void sendError(const QString &id, const QString &code, const QString &description);

signals:
    void opened();
    void closed();
    void callSucceeded(const QString &action, const QJsonObject &payload);
    // code: the central system's CALLERROR code, or "Timeout", or
    // "ConnectionLost" when the link went down with the CALL in flight.
    void callFailed(const QString &action, const QString &code);
    void callReceived(const QString &id, const QString &action, const QJsonObject &payload);

private:
    void connectNow();
    void onConnected();
    void onDisconnected();
    void onText(const QString &text);
    void onPong(quint64 elapsed, const QByteArray &payload);
    void sendPing();
    void callTimedOut();
    void dropSocket();
    void scheduleReconnect();
    void sendFrame(const QJsonArray &frame);
    void finishCall(bool ok, const QJsonObject &payload, const QString &code);

    Options m_opt;
    QWebSocket *m_socket = nullptr;
    bool m_open = false;
    bool m_running = false;
    quint64 m_generation = 0;
    int m_backoffMs;
    QTimer m_reconnect;
    QTimer m_connectTimeout;
    QTimer m_ping;
    QTimer m_callTimer;
    bool m_pongAwaited = false;
    QString m_callId;
    QString m_callAction;
    quint64 m_nextId = 0;
    QByteArray m_idPrefix;
};

#endif // OCPP_BRIDGE_CSMSCONNECTION_H
