#include "csmsconnection.h"

#include "logging.h"

#include <QFile>
#include <QJsonDocument>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QWebSocket>

namespace {

constexpr qint64 MaxFrameBytes = 1 << 20;

QString frameText(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes.left(2000));
}

} // namespace

// ---------------------------------------------------------------- frames

OcppFrame OcppFrame::parse(const QByteArray &text)
{
    OcppFrame f;
    f.error = QStringLiteral("FormationViolation");
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) {
        f.errorDescription = QStringLiteral("not a JSON array");
        return f;
    }
    const QJsonArray a = doc.array();
    if (a.size() >= 2 && a.at(1).isString())
        f.id = a.at(1).toString();
    if (a.isEmpty() || !a.at(0).isDouble()) {
        f.errorDescription = QStringLiteral("no message type");
        return f;
    }
    if (!a.at(1).isString() || f.id.isEmpty() || f.id.size() > 36) {
        f.id.clear();
        f.errorDescription = QStringLiteral("no unique id");
        return f;
    }
    const double type = a.at(0).toDouble();
    if (type == Call) {
        if (a.size() != 4 || !a.at(2).isString() || a.at(2).toString().isEmpty()) {
            f.errorDescription = QStringLiteral("a CALL is [2, id, action, payload]");
            return f;
        }
        f.action = a.at(2).toString();
        if (!a.at(3).isObject()) {
            f.errorDescription = QStringLiteral("payload is not an object");
            return f;
        }
        f.payload = a.at(3).toObject();
    } else if (type == CallResult) {
        if (a.size() != 3 || !a.at(2).isObject()) {
            f.errorDescription = QStringLiteral("a CALLRESULT is [3, id, payload]");
            return f;
        }
        f.payload = a.at(2).toObject();
    } else if (type == CallError) {
        if (a.size() < 4 || !a.at(2).isString()) {
            f.errorDescription = QStringLiteral("a CALLERROR is [4, id, code, description, details]");
            return f;
        }
        f.errorCode = a.at(2).toString();
        f.errorDescription = a.at(3).toString();
    } else {
        f.error = QStringLiteral("ProtocolError");
        f.errorDescription = QStringLiteral("unknown message type");
        return f;
    }
    f.type = Type(int(type));
    f.error.clear();
    return f;
}

// ---------------------------------------------------------------- connection

CsmsConnection::CsmsConnection(const Options &options, QObject *parent)
    : QObject(parent), m_opt(options), m_backoffMs(options.reconnectMinMs)
{
    m_idPrefix = QByteArray::number(QRandomGenerator::global()->generate() & 0xffffff, 16) + '-';
    m_reconnect.setSingleShot(true);
    m_connectTimeout.setSingleShot(true);
    m_callTimer.setSingleShot(true);
    connect(&m_reconnect, &QTimer::timeout, this, &CsmsConnection::connectNow);
    connect(&m_connectTimeout, &QTimer::timeout, this, [this] {
        qCWarning(lcCsms) << "no connection within" << m_opt.connectTimeoutMs / 1000 << "s";
        onDisconnected();
    });
    connect(&m_ping, &QTimer::timeout, this, &CsmsConnection::sendPing);
    connect(&m_callTimer, &QTimer::timeout, this, &CsmsConnection::callTimedOut);
}

CsmsConnection::~CsmsConnection() { stop(); }

QString CsmsConnection::identityOf(const QUrl &url)
{
    return url.path(QUrl::FullyDecoded).section(QLatin1Char('/'), -1);
}

void CsmsConnection::start()
{
    m_running = true;
    connectNow();
}

void CsmsConnection::stop()
{
    m_running = false;
    m_reconnect.stop();
    m_callTimer.stop();
    m_callId.clear();
    if (m_socket) {
        m_socket->disconnect(this);
        if (m_open)
            m_socket->close(QWebSocketProtocol::CloseCodeNormal, QStringLiteral("charge point shutting down"));
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    m_open = false;
    m_ping.stop();
    m_connectTimeout.stop();
}

void CsmsConnection::connectNow()
{
    if (!m_running || m_socket)
        return;
    m_socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
    m_socket->setMaxAllowedIncomingMessageSize(MaxFrameBytes);
    m_socket->setMaxAllowedIncomingFrameSize(MaxFrameBytes);
    connect(m_socket, &QWebSocket::connected, this, &CsmsConnection::onConnected);
    connect(m_socket, &QWebSocket::disconnected, this, &CsmsConnection::onDisconnected);
    connect(m_socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), this,
            &CsmsConnection::onDisconnected);
    connect(m_socket, &QWebSocket::sslErrors, this, [](const QList<QSslError> &errors) {
        for (const QSslError &e : errors)
            qCWarning(lcCsms).noquote() << "TLS:" << e.errorString();
    });
    connect(m_socket, &QWebSocket::textMessageReceived, this, &CsmsConnection::onText);
    connect(m_socket, &QWebSocket::binaryMessageReceived, this, [this] {
        qCWarning(lcCsms) << "binary frame ignored";
        sendError(QStringLiteral("-1"), QStringLiteral("FormationViolation"), QStringLiteral("binary frame"));
    });
    connect(m_socket, &QWebSocket::pong, this, &CsmsConnection::onPong);

    if (m_opt.url.scheme() == QLatin1String("wss")) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        if (!m_opt.caFile.isEmpty()) {
            const QList<QSslCertificate> cas = QSslCertificate::fromPath(m_opt.caFile, QSsl::Pem);
            if (cas.isEmpty())
                qCWarning(lcCsms).noquote() << "no CA certificate in" << m_opt.caFile;
            ssl.setCaCertificates(cas);
        }
        m_socket->setSslConfiguration(ssl);
    }
    QNetworkRequest request(m_opt.url);
    request.setRawHeader("Sec-WebSocket-Protocol", "ocpp1.6");
    if (!m_opt.password.isEmpty())
        request.setRawHeader("Authorization",
                             "Basic " + (identityOf(m_opt.url).toUtf8() + ':' + m_opt.password).toBase64());
    qCInfo(lcCsms).noquote() << "connecting to" << m_opt.url.toString(QUrl::RemoveUserInfo);
    m_connectTimeout.start(m_opt.connectTimeoutMs);
    m_socket->open(request);
}

void CsmsConnection::onConnected()
{
    m_connectTimeout.stop();
    m_open = true;
    ++m_generation;
    m_pongAwaited = false;
    if (m_opt.pingIntervalMs > 0)
        m_ping.start(m_opt.pingIntervalMs);
    qCInfo(lcCsms) << "connected";
    emit opened();
}

// Also the end of a connection that never opened.
void CsmsConnection::onDisconnected()
{
    if (!m_socket)
        return;
    const bool wasOpen = m_open;
    if (wasOpen)
        qCWarning(lcCsms).noquote() << "connection closed:" << m_socket->closeCode() << m_socket->closeReason();
    else
        qCWarning(lcCsms).noquote() << "cannot connect:" << m_socket->errorString();
    dropSocket();
    if (!m_callId.isEmpty())
        finishCall(false, QJsonObject(), QStringLiteral("ConnectionLost"));
    if (wasOpen)
        emit closed();
    scheduleReconnect();
}

void CsmsConnection::dropSocket()
{
    m_open = false;
    m_ping.stop();
    m_connectTimeout.stop();
    if (!m_socket)
        return;
    QWebSocket *s = m_socket;
    m_socket = nullptr;
    s->disconnect(this);
    s->abort();
    s->deleteLater();
}

void CsmsConnection::scheduleReconnect()
{
    if (!m_running)
        return;
    const int jitter = int(QRandomGenerator::global()->bounded(m_backoffMs / 4 + 1));
    qCInfo(lcCsms) << "next connection attempt in" << (m_backoffMs + jitter) << "ms";
    m_reconnect.start(m_backoffMs + jitter);
    m_backoffMs = qMin(m_opt.reconnectMaxMs, m_backoffMs * 2);
}

void CsmsConnection::sendPing()
{
    if (!m_socket || !m_open)
        return;
    if (m_pongAwaited) {
        qCWarning(lcCsms) << "no answer to the last ping; connecting again";
        onDisconnected();
        return;
    }
    m_pongAwaited = true;
    m_socket->ping();
}

void CsmsConnection::onPong(quint64, const QByteArray &) { m_pongAwaited = false; }

void CsmsConnection::sendFrame(const QJsonArray &frame)
{
    if (!m_socket || !m_open)
        return;
    const QByteArray text = QJsonDocument(frame).toJson(QJsonDocument::Compact);
    qCDebug(lcCsms).noquote() << "->" << QString::fromUtf8(text);
    m_socket->sendTextMessage(QString::fromUtf8(text));
}

bool CsmsConnection::call(const QString &action, const QJsonObject &payload)
{
    if (!m_open || !m_callId.isEmpty())
        return false;
    m_callId = QString::fromLatin1(m_idPrefix + QByteArray::number(++m_nextId));
    m_callAction = action;
    sendFrame(QJsonArray{2, m_callId, action, payload});
    m_callTimer.start(m_opt.callTimeoutMs);
    return true;
}

void CsmsConnection::sendResult(const QString &id, const QJsonObject &payload)
{
    sendFrame(QJsonArray{3, id, payload});
}

void CsmsConnection::sendError(const QString &id, const QString &code, const QString &description)
{
    sendFrame(QJsonArray{4, id, code, description, QJsonObject()});
}

void CsmsConnection::callTimedOut()
{
    qCWarning(lcCsms).noquote() << m_callAction << "not answered within" << m_opt.callTimeoutMs / 1000 << "s";
    finishCall(false, QJsonObject(), QStringLiteral("Timeout"));
}

void CsmsConnection::finishCall(bool ok, const QJsonObject &payload, const QString &code)
{
    const QString action = m_callAction;
    m_callId.clear();
    m_callAction.clear();
    m_callTimer.stop();
    if (ok)
        emit callSucceeded(action, payload);
    else
        emit callFailed(action, code);
}

void CsmsConnection::onText(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    qCDebug(lcCsms).noquote() << "<-" << frameText(bytes);
    m_pongAwaited = false;
    const OcppFrame f = OcppFrame::parse(bytes);
    switch (f.type) {
    case OcppFrame::Call:
        emit callReceived(f.id, f.action, f.payload);
        return;
    case OcppFrame::CallResult:
    case OcppFrame::CallError:
        if (f.id != m_callId || m_callId.isEmpty()) {
            qCWarning(lcCsms).noquote() << "answer to no CALL in flight ignored:" << f.id;
            return;
        }
        if (f.type == OcppFrame::CallResult) {
            m_backoffMs = m_opt.reconnectMinMs; // the link works
            finishCall(true, f.payload, QString());
        } else {
            qCWarning(lcCsms).noquote() << m_callAction << "answered with" << f.errorCode << f.errorDescription;
            finishCall(false, QJsonObject(), f.errorCode.isEmpty() ? QStringLiteral("GenericError") : f.errorCode);
        }
        return;
    case OcppFrame::Invalid:
        break;
    }
    qCWarning(lcCsms).noquote() << "malformed frame:" << f.errorDescription;
    // Only a CALL is answered; a frame that may have been an answer is not.
    QJsonParseError error;
    const QJsonArray a = QJsonDocument::fromJson(bytes, &error).array();
    const bool answerable = a.isEmpty() || !a.at(0).isDouble() || a.at(0).toDouble() == OcppFrame::Call ||
                            (a.at(0).toDouble() != OcppFrame::CallResult && a.at(0).toDouble() != OcppFrame::CallError);
    if (answerable)
        sendError(f.id.isEmpty() ? QStringLiteral("-1") : f.id, f.error, f.errorDescription);
}
