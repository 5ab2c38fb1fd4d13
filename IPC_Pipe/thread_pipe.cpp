#include "thread_pipe.h"

#include "datafiles.h"
#include "globalvariable.h"
#include "ipc_pipe.h"
#include "transactionrecord.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QThread>
#include <QTimer>

#include <climits>
#include <cmath>
#include <functional>

QTimer *timer_authorize_retry_1 = nullptr;
QTimer *timer_starttransaction_retry_1 = nullptr;
QTimer *timer_stoptransaction_retry_1 = nullptr;
QTimer *timer_metervalue_retry_1 = nullptr;

const QString OcppFailurePhrase = QStringLiteral("failure to process the message");

namespace {

// Every request this charger sends carries the message key 1.
const QString RequestKey = QStringLiteral("1");

QString jsonText(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

// A register reading truncated toward zero; a reading that is not a number
// is reported as 0 rather than as an undefined conversion.
qint64 wholeMeter(double value)
{
    if (!std::isfinite(value))
        return 0;
    return qint64(std::trunc(qBound(-9.0e15, value, 9.0e15)));
}

// Members read as the dispatcher needs them: absent or of another type gives
// an empty text, an empty object or 0.
QString textMember(const QJsonObject &object, const QString &name)
{
    const QJsonValue value = object.value(name);
    return value.isString() ? value.toString() : QString();
}

QJsonObject objectMember(const QJsonObject &object, const QString &name)
{
    const QJsonValue value = object.value(name);
    return value.isObject() ? value.toObject() : QJsonObject();
}

qint32 wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return 0;
    const double d = value.toDouble();
    if (!std::isfinite(d) || d != std::trunc(d) || d < double(INT_MIN) || d > double(INT_MAX))
        return 0;
    return qint32(d);
}

int attemptLimit()
{
    bool ok = false;
    const int attempts = configText(QStringLiteral("TransactionMessageAttempts")).toInt(&ok, 10);
    return ok ? attempts : 0;
}

// gun_status has three records; a connector number beyond them names none.
bool knownConnector(ushort n, const char *request)
{
    if (n < 3)
        return true;
    qWarning().noquote() << request << "for unknown connector" << n << "not sent";
    return false;
}

QTimer *newRetryTimer()
{
    QTimer *timer = new QTimer;
    timer->setSingleShot(false);
    return timer;
}

void deleteTimer(QTimer *&timer)
{
    delete timer;
    timer = nullptr;
}

} // namespace

// ---------------------------------------------------------------- set-up and shutdown

Thread_pipe::Thread_pipe(QObject *parent) : QObject(parent)
{
    if (!timer_authorize_retry_1)
        timer_authorize_retry_1 = newRetryTimer();
    if (!timer_starttransaction_retry_1)
        timer_starttransaction_retry_1 = newRetryTimer();
    if (!timer_stoptransaction_retry_1)
        timer_stoptransaction_retry_1 = newRetryTimer();
    if (!timer_metervalue_retry_1)
        timer_metervalue_retry_1 = newRetryTimer();

    const QByteArray inPath = QFile::encodeName(dataFile(QStringLiteral("ocppin")));
    const QByteArray outPath = QFile::encodeName(dataFile(QStringLiteral("ocppout")));

    ocppin = new IPC_Pipe(inPath.constData());
    Ocppin_Read_Thread = new QThread;
    ocppin->moveToThread(Ocppin_Read_Thread);
    connect(Ocppin_Read_Thread, &QThread::finished, ocppin, &QObject::deleteLater);
    connect(Ocppin_Read_Thread, &QThread::finished, Ocppin_Read_Thread, &QObject::deleteLater);
    connect(Ocppin_Read_Thread, &QThread::started, ocppin, &IPC_Pipe::PipeRead);
    // Before the thread starts: a message already waiting in the FIFO is
    // read at once and must find its receiver.
    connect(ocppin, &IPC_Pipe::signal_ocppin, this, &Thread_pipe::Ocppin_datapro);
    Ocppin_Read_Thread->start();

    ocppout = new IPC_Pipe(outPath.constData());
    Ocppout_Write_Thread = new QThread;
    ocppout->moveToThread(Ocppout_Write_Thread);
    connect(Ocppout_Write_Thread, &QThread::finished, ocppout, &QObject::deleteLater);
    connect(Ocppout_Write_Thread, &QThread::finished, Ocppout_Write_Thread, &QObject::deleteLater);
    connect(Ocppout_Write_Thread, &QThread::started, ocppout, &IPC_Pipe::PipeInit);
    Ocppout_Write_Thread->start();

    connect(this, &Thread_pipe::ocppwrite, ocppout, &IPC_Pipe::PipeWrite);

    connect(this, &Thread_pipe::signal_RemoteStart_conf, this, &Thread_pipe::RemoteStartTransaction_Response);
    connect(this, &Thread_pipe::signal_RemoteStop_conf, this, &Thread_pipe::RemoteStopTransaction_Response);
    connect(this, &Thread_pipe::signal_Reset_conf, this, &Thread_pipe::Reset_Response);

    connect(timer_starttransaction_retry_1, &QTimer::timeout, this, &Thread_pipe::Retry_StartTransactionRequest);
    connect(timer_stoptransaction_retry_1, &QTimer::timeout, this, &Thread_pipe::Retry_StopTransactionRequest);
    connect(timer_metervalue_retry_1, &QTimer::timeout, this, &Thread_pipe::Retry_MeterValueRequest);
}

Thread_pipe::~Thread_pipe()
{
    // Runs at process exit whether or not stop() ran: neither thread may
    // outlive the link.
    stopReader();
    stopWriter();
    deleteTimer(timer_authorize_retry_1);
    deleteTimer(timer_starttransaction_retry_1);
    deleteTimer(timer_stoptransaction_retry_1);
    deleteTimer(timer_metervalue_retry_1);
}

void Thread_pipe::stopReader()
{
    if (!Ocppin_Read_Thread)
        return;
    // Cut from here, so the end's destruction on its own thread has nothing
    // of ours to touch.
    disconnect(ocppin, nullptr, this, nullptr);
    IPC_Pipe::finishReader(Ocppin_Read_Thread, ocppin);
    ocppin = nullptr; // deleted as its thread finished
    delete Ocppin_Read_Thread;
    Ocppin_Read_Thread = nullptr;
}

void Thread_pipe::stopWriter()
{
    if (!Ocppout_Write_Thread)
        return;
    // Writes already queued are still delivered; new ones go nowhere.
    disconnect(this, nullptr, ocppout, nullptr);
    IPC_Pipe::finishWriter(Ocppout_Write_Thread, ocppout);
    ocppout = nullptr;
    delete Ocppout_Write_Thread;
    Ocppout_Write_Thread = nullptr;
}

// Before a software reset: the writer ends and the retry timers go. The
// reader keeps delivering; what it brings no longer reaches a timer.
void Thread_pipe::stop()
{
    stopWriter();
    deleteTimer(timer_authorize_retry_1);
    deleteTimer(timer_starttransaction_retry_1);
    deleteTimer(timer_stoptransaction_retry_1);
    deleteTimer(timer_metervalue_retry_1);
}

// ---------------------------------------------------------------- outbound requests

void Thread_pipe::sendRequest(const QString &action, const QJsonObject &payload)
{
    const QString text = RequestKey + '=' + action + '=' + jsonText(payload);
    qDebug().noquote() << text;
    emit ocppwrite(text);
}

Thread_pipe::Queue Thread_pipe::startQueue()
{
    return {"StartTransaction", StartTransactionCache, m_startInFlight, timer_starttransaction_retry_1,
            Retry_StartTransactionReq};
}

Thread_pipe::Queue Thread_pipe::stopQueue()
{
    return {"StopTransaction", StopTransactionCache, m_stopInFlight, timer_stoptransaction_retry_1,
            Retry_StopTransactionReq};
}

Thread_pipe::Queue Thread_pipe::meterQueue()
{
    return {"MeterValues", MeterValueCache, m_meterInFlight, timer_metervalue_retry_1, Retry_MeterValueReq};
}

Thread_pipe::Queue Thread_pipe::queueOf(const QString &text)
{
    if (text.startsWith(QLatin1String("1=StartTransaction=")))
        return startQueue();
    if (text.startsWith(QLatin1String("1=StopTransaction=")))
        return stopQueue();
    return meterQueue();
}

// Recorded before it is written: a message on its way is never lost.
void Thread_pipe::queueTransactionMessage(Queue q, const QString &text, int keepAtMost)
{
    while (keepAtMost > 0 && q.cache.size() >= keepAtMost) {
        const QString dropped = q.cache.takeFirst();
        q.inFlight.removeOne(dropped);
        transactionRecord.forgetMessage(dropped);
        qWarning().noquote() << q.action << "not answered: the oldest of" << keepAtMost << "kept is dropped";
    }
    q.cache.append(text);
    q.inFlight.append(text);
    transactionRecord.messageQueued(text);
    qDebug().noquote() << text;
    emit ocppwrite(text);
}

// At start-up, what the previous run left unanswered: already in the record.
void Thread_pipe::resendTransactionMessage(QString text)
{
    if (!TransactionRecord::isTransactionMessage(text)) {
        qWarning() << "not a transaction message, not sent again";
        return;
    }
    Queue q = queueOf(text);
    q.cache.append(text);
    q.inFlight.append(text);
    qDebug().noquote() << text;
    emit ocppwrite(text);
}

void Thread_pipe::sendStopTransaction(qint32 transactionId, double meterStop, QString reason, QString timestamp)
{
    QJsonObject payload;
    payload.insert(QStringLiteral("meterStop"), wholeMeter(meterStop));
    payload.insert(QStringLiteral("reason"), reason);
    payload.insert(QStringLiteral("timestamp"), timestamp);
    payload.insert(QStringLiteral("transactionId"), int(transactionId));
    queueTransactionMessage(stopQueue(), RequestKey + QStringLiteral("=StopTransaction=") + jsonText(payload));
}

void Thread_pipe::Authorize_Request(ushort ConnectorId)
{
    if (!knownConnector(ConnectorId, "Authorize"))
        return;
    QJsonObject payload;
    payload.insert(QStringLiteral("idTag"), gun_status[ConnectorId].IDtag);
    sendRequest(QStringLiteral("Authorize"), payload);
}

void Thread_pipe::StartTransaction_Request(ushort ConnectorId)
{
    const Status &gun = gun_status[1];
    const QString now = ocppTimestamp();
    QJsonObject payload;
    payload.insert(QStringLiteral("connectorId"), int(ConnectorId));
    payload.insert(QStringLiteral("idTag"), gun.IDtag);
    payload.insert(QStringLiteral("meterStart"), wholeMeter(gun.f_startmeter));
    payload.insert(QStringLiteral("reservationId"), 0);
    payload.insert(QStringLiteral("timestamp"), now);
    const QString text = RequestKey + QStringLiteral("=StartTransaction=") + jsonText(payload);
    transactionRecord.begin(text, ConnectorId, gun.IDtag, gun.f_startmeter, now);
    queueTransactionMessage(startQueue(), text);
    gun_status[1].startRequest = 2;
}

// The StopTransaction names the transaction its StartTransaction opened.
// While that start is unanswered the stop waits for its transactionId; a
// start given up unanswered has none, and its stop is not sent.
void Thread_pipe::StopTransacation_Request(ushort ConnectorId)
{
    Q_UNUSED(ConnectorId)
    const Status &gun = gun_status[1];
    const TransactionRecord::Stop stop{gun.f_stopmeter, gun.stopReason, ocppTimestamp()};
    qint32 transactionId = gun.transactionId;
    switch (transactionRecord.endSession(stop, &transactionId)) {
    case TransactionRecord::StopOutcome::NoTransaction:
    case TransactionRecord::StopOutcome::Send:
        sendStopTransaction(transactionId, stop.meterStop, stop.reason, stop.timestamp);
        break;
    case TransactionRecord::StopOutcome::Held:
        qWarning("StopTransaction waits for the answer to its StartTransaction");
        break;
    case TransactionRecord::StopOutcome::Dropped:
        qWarning("StopTransaction not sent: its StartTransaction was given up unanswered");
        break;
    }
}

void Thread_pipe::MeterValue_Request(ushort ConnectorId)
{
    if (!knownConnector(ConnectorId, "MeterValues"))
        return;
    const Status &gun = gun_status[1];
    QJsonArray sampled;
    const QStringList parts = configText(QStringLiteral("MeterValuesSampledData")).split(',', Qt::KeepEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        qDebug().noquote() << i << "=sampledData =" << part;
        QString value;
        QString unit;
        if (part == QLatin1String("Power.Active.Export")) {
            value = QString::number(gun.f_energy, 'f', 1);
            unit = QStringLiteral("kWh");
        } else if (part == QLatin1String("Voltage")) {
            value = QString::number(double(gun.f_voltage), 'f', 1);
            unit = QStringLiteral("V");
        } else if (part == QLatin1String("Current.Export")) {
            value = QString::number(double(gun.f_current), 'f', 1);
            unit = QStringLiteral("A");
        } else if (part == QLatin1String("SoC")) {
            value = QString::number(gun.soc);
            unit = QStringLiteral("Percent");
        } else {
            value = QStringLiteral("NotSupported");
            unit = QStringLiteral("null");
        }
        QJsonObject sample;
        sample.insert(QStringLiteral("format"), QStringLiteral("Raw"));
        sample.insert(QStringLiteral("measurand"), part);
        sample.insert(QStringLiteral("unit"), unit);
        sample.insert(QStringLiteral("value"), value);
        sampled.append(sample);
    }
    QJsonObject meterValue;
    meterValue.insert(QStringLiteral("sampledValue"), sampled);
    meterValue.insert(QStringLiteral("timestamp"), ocppTimestamp());

    QJsonObject payload;
    payload.insert(QStringLiteral("connectorId"), int(ConnectorId));
    payload.insert(QStringLiteral("meterValue"), QJsonArray{meterValue});
    payload.insert(QStringLiteral("transactionId"), int(gun_status[ConnectorId].transactionId));
    queueTransactionMessage(meterQueue(), RequestKey + QStringLiteral("=MeterValues=") + jsonText(payload),
                            MaxMeterValuesKept);
}

void Thread_pipe::StatusNotification_Request(ushort ConnectorId)
{
    if (!knownConnector(ConnectorId, "StatusNotification"))
        return;
    QJsonObject payload;
    payload.insert(QStringLiteral("connectorId"), int(ConnectorId));
    payload.insert(QStringLiteral("errorCode"), gun_status[1].errorcode);
    payload.insert(QStringLiteral("status"), gun_status[ConnectorId].status);
    const QString text = RequestKey + QStringLiteral("=StatusNotification=") + jsonText(payload);
    qDebug().noquote() << text;
    // The snapshot is written even while no client reads the FIFO; a file
    // that cannot be written does not hold the message back.
    writeJsonFile(dataFile(QStringLiteral("StatusNotification.json")), payload);
    emit ocppwrite(text);
}

// ---------------------------------------------------------------- answers to the central system

void Thread_pipe::sendResponse(const QString &action, const QString &status, const QString &key)
{
    QJsonObject payload;
    payload.insert(QStringLiteral("status"), status);
    const QString text = key + '=' + action + '=' + jsonText(payload);
    qDebug().noquote() << text;
    emit ocppwrite(text);
}

void Thread_pipe::RemoteStartTransaction_Response(QString status, QString key)
{
    sendResponse(QStringLiteral("RemoteStartTransactionResponse"), status, key);
}

void Thread_pipe::RemoteStopTransaction_Response(QString status, QString key)
{
    sendResponse(QStringLiteral("RemoteStopTransactionResponse"), status, key);
}

void Thread_pipe::Reset_Response(QString status, QString key)
{
    sendResponse(QStringLiteral("ResetResponse"), status, key);
}

// ---------------------------------------------------------------- inbound dispatch

void Thread_pipe::Ocppin_datapro(QString text)
{
    // Envelope: key=action=payload.
    QString key = text;
    QString action;
    const int first = text.indexOf('=');
    if (first >= 0) {
        key = text.left(first);
        const int second = text.indexOf('=', first + 1);
        if (second >= 0)
            action = text.mid(first + 1, second - first - 1);
    }
    const QString prefix = key + '=' + action + '=';
    QString payload = text;
    payload.remove(prefix, Qt::CaseSensitive);

    qDebug().noquote() << QStringLiteral("this ocppin is about = ") + action;

    // Some clients escape every quote; backslashes are dropped before parsing.
    QByteArray json = payload.toUtf8();
    json.replace('\\', QByteArray());
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug().noquote() << "json error!" << int(error.error);
        return;
    }
    Ocppin_rootobj = document.object();
    const QJsonObject &root = Ocppin_rootobj;
    const bool failed = payload.contains(OcppFailurePhrase, Qt::CaseSensitive);
    Status &gun = gun_status[1];

    if (action == QLatin1String("AuthorizeResponse")) {
        if (textMember(objectMember(root, QStringLiteral("idTagInfo")), QStringLiteral("status")) ==
            QLatin1String("Accepted")) {
            qDebug("Authorize request accepted!!");
            gun.CardRead = 2;
        } else {
            qDebug("Authorize request rejected!!");
            gun.CardRead = 3;
        }
    } else if (action == QLatin1String("StartTransactionResponse")) {
        // Only a response with an idTagInfo status of the list answers the
        // start; any other is no answer and the start is sent again. An
        // answer to the start of a transaction that has ended (an earlier
        // session, a previous run) leaves the session on the screen alone.
        const QString answering = m_startInFlight.value(0);
        const bool ours = !transactionRecord.belongsToEndedTransaction(answering);
        quint16 startRequest = 0;
        if (root.contains(QStringLiteral("idTagInfo"))) {
            const QJsonObject info = objectMember(root, QStringLiteral("idTagInfo"));
            const QString status = textMember(info, QStringLiteral("status"));
            qDebug().noquote() << QStringLiteral("expiryDate = ") + textMember(info, QStringLiteral("expiryDate"));
            if (status == QLatin1String("Accepted")) {
                qDebug("start transaction request accepted!!");
                startRequest = 3;
            } else if (status == QLatin1String("Blocked") || status == QLatin1String("Expired") ||
                       status == QLatin1String("Invalid") || status == QLatin1String("ConcurrentTx")) {
                startRequest = 4;
            }
        }
        const bool hasId = startRequest != 0 && root.contains(QStringLiteral("transactionId"));
        const qint32 transactionId = hasId ? wholeNumber(root.value(QStringLiteral("transactionId"))) : 0;
        if (startRequest == 0) {
            qWarning("StartTransactionResponse without a known idTagInfo status: no answer, sent again");
        } else if (ours) {
            gun.startRequest = startRequest;
            if (hasId)
                gun.transactionId = transactionId;
        }
        // The record learns the transactionId (and sends a stop that waited
        // for it) before the start leaves it, so no moment on disk lacks both.
        if (!failed && startRequest != 0 && !answering.isNull()) {
            TransactionRecord::Stop held;
            const qint32 id = hasId ? transactionId : gun.transactionId;
            if (!hasId && !ours) {
                if (transactionRecord.startUnanswerable(answering))
                    qWarning("StopTransaction not sent: the answer to its StartTransaction has no transactionId");
            } else if (transactionRecord.startAnswered(answering, id, &held)) {
                sendStopTransaction(id, held.meterStop, held.reason, held.timestamp);
            }
        }
        answerTransactionMessage(startQueue(), failed || startRequest == 0);
    } else if (action == QLatin1String("StopTransactionResponse")) {
        if (root.contains(QStringLiteral("idTagInfo"))) {
            const QJsonObject info = objectMember(root, QStringLiteral("idTagInfo"));
            qDebug().noquote() << QStringLiteral("expiryDate = ") + textMember(info, QStringLiteral("expiryDate"));
            if (textMember(info, QStringLiteral("status")) == QLatin1String("Accepted"))
                qDebug("stop transaction request accepted!!");
        }
        answerTransactionMessage(stopQueue(), failed);
    } else if (action == QLatin1String("MeterValuesResponse")) {
        answerTransactionMessage(meterQueue(), failed);
    } else if (action == QLatin1String("RemoteStartTransaction")) {
        if (gun.status == sta_Available || gun.status == sta_Preparing) {
            gun.startRequest = 6;
            if (root.contains(QStringLiteral("idTag")))
                gun.IDtag = textMember(root, QStringLiteral("idTag"));
            gun.CardRead = 2;
            emit signal_RemoteStart_conf(QStringLiteral("Accepted"), key);
        } else {
            gun.startRequest = 7;
            emit signal_RemoteStart_conf(QStringLiteral("Rejected"), key);
        }
    } else if (action == QLatin1String("RemoteStopTransaction")) {
        if (!root.contains(QStringLiteral("transactionId")))
            return;
        if (wholeNumber(root.value(QStringLiteral("transactionId"))) == gun.transactionId) {
            gun.startRequest = 8;
            emit signal_RemoteStop_conf(QStringLiteral("Accepted"), key);
        } else {
            gun.startRequest = 9;
            emit signal_RemoteStop_conf(QStringLiteral("Rejected"), key);
        }
    } else if (action == QLatin1String("Reset")) {
        if (!root.contains(QStringLiteral("type")))
            return;
        const QString type = textMember(root, QStringLiteral("type"));
        if (type == QLatin1String("Soft")) {
            SystemResetReq = 1;
            emit signal_Reset_conf(QStringLiteral("Accepted"), key);
        } else if (type == QLatin1String("Hard")) {
            SystemResetReq = 2;
            emit signal_Reset_conf(QStringLiteral("Accepted"), key);
        }
    }
}

// ---------------------------------------------------------------- transaction message retry

// The interval grows with every re-send of the message being retried.
void Thread_pipe::armRetry(const Queue &q)
{
    if (!q.timer)
        return; // the link was stopped: nothing is sent again
    qint64 interval = qint64(Config.TransactionMessageRetryInterval) * (qint64(q.counter) + 1);
    if (interval <= 0)
        interval = MinTransactionMessageRetryIntervalMs; // a 0 ms period would spin
    q.timer->start(int(qMin<qint64>(interval, MaxIntervalMs)));
}

QString Thread_pipe::waitingForResend(const Queue &q)
{
    QStringList flying = q.inFlight;
    for (const QString &text : q.cache)
        if (!flying.removeOne(text))
            return text;
    return QString();
}

QString Thread_pipe::answerTransactionMessage(Queue q, bool failed)
{
    const QString answered = q.inFlight.isEmpty() ? QString() : q.inFlight.takeFirst();
    if (failed) {
        armRetry(q);
        return answered;
    }
    if (!answered.isNull()) {
        q.cache.removeOne(answered);
        q.counter = 0; // the next message has attempts of its own
        transactionRecord.messageSettled(answered);
    }
    if (q.timer && waitingForResend(q).isNull())
        q.timer->stop();
    if (!answered.isNull())
        emit transactionMessageSettled();
    return answered;
}

// One retry tick of a kind: the oldest failed message goes out again, or,
// once its attempts are used up, it is dropped after what giving up means
// for the kind. A tick that finds none waiting ends the retry.
void Thread_pipe::resendFailed(Queue q, const std::function<void(const QString &)> &giveUp)
{
    const QString waiting = waitingForResend(q);
    if (waiting.isNull()) {
        if (q.timer)
            q.timer->stop();
        return;
    }
    const int limit = attemptLimit();
    if (int(q.counter) >= limit) {
        q.cache.removeOne(waiting);
        q.counter = 0;
        qWarning().noquote() << q.action << "given up after" << limit << "attempt(s)";
        transactionRecord.messageSettled(waiting);
        giveUp(waiting);
        if (q.timer && waitingForResend(q).isNull())
            q.timer->stop();
        emit transactionMessageSettled();
        return;
    }
    q.inFlight.append(waiting);
    emit ocppwrite(waiting);
    ++q.counter;
}

void Thread_pipe::Retry_StartTransactionRequest()
{
    // Given up: the supervisor goes on as if the start was accepted.
    resendFailed(startQueue(), [](const QString &start) {
        if (!transactionRecord.belongsToEndedTransaction(start))
            gun_status[1].startRequest = 3;
        if (transactionRecord.startUnanswerable(start))
            qWarning("StopTransaction not sent: its StartTransaction was given up unanswered");
    });
}

void Thread_pipe::Retry_StopTransactionRequest()
{
    resendFailed(stopQueue(), [](const QString &) {});
}

void Thread_pipe::Retry_MeterValueRequest()
{
    resendFailed(meterQueue(), [](const QString &) {});
}

// Not driven by anything: Authorize is never retried.
void Thread_pipe::Retry_AuthorizeRequest()
{
    ++Retry_AuthorizerReq;
    if (int(Retry_AuthorizerReq) < attemptLimit())
        Authorize_Request(1);
    else
        emit signal_CS_NoResponse();
}
