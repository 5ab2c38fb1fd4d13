#ifndef THREAD_PIPE_H
#define THREAD_PIPE_H

// The OCPP link to the local OCPP client over the two FIFOs of the data
// directory: builds the requests of the session supervisor, dispatches the
// client's responses and the central system's commands into gun_status[1]
// and SystemResetReq, and re-sends transaction messages the client failed to
// process.

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class IPC_Pipe;
class QThread;
class QTimer;

// Retry timers of the transaction messages; created with the link, deleted
// by its stop(). The Authorize one is never started.
extern QTimer *timer_authorize_retry_1;
extern QTimer *timer_starttransaction_retry_1;
extern QTimer *timer_stoptransaction_retry_1;
extern QTimer *timer_metervalue_retry_1;

// Text a client puts in a response it could not process.
extern const QString OcppFailurePhrase;

class Thread_pipe : public QObject
{
    Q_OBJECT
public:
    // MeterValues kept for a client that does not answer them; beyond this
    // the oldest goes. Start and stop messages are never dropped.
    static constexpr int MaxMeterValuesKept = 1000;

    explicit Thread_pipe(QObject *parent = nullptr);
    ~Thread_pipe() override;

    IPC_Pipe *ocppin = nullptr;
    IPC_Pipe *ocppout = nullptr;
    QThread *Ocppin_Read_Thread = nullptr;
    QThread *Ocppout_Write_Thread = nullptr;
    QJsonObject Ocppin_rootobj;
    quint16 Retry_AuthorizerReq = 0;
    quint16 Retry_StartTransactionReq = 0;
    quint16 Retry_StopTransactionReq = 0;
    quint16 Retry_MeterValueReq = 0;

signals:
    void ocppwrite(QString message);
    void signal_RemoteStart_conf(QString status, QString key);
    void signal_RemoteStop_conf(QString status, QString key);
    void signal_Reset_conf(QString status, QString key);
    void signal_CS_NoResponse();
    // A transaction message was answered or given up.
    void transactionMessageSettled();

public slots:
    void stop();
    void Ocppin_datapro(QString text);
    void StatusNotification_Request(ushort ConnectorId);
    void StartTransaction_Request(ushort ConnectorId);
    void Authorize_Request(ushort ConnectorId);
    void StopTransacation_Request(ushort ConnectorId);
    void RemoteStartTransaction_Response(QString status, QString key);
    void RemoteStopTransaction_Response(QString status, QString key);
    void Reset_Response(QString status, QString key);
    void MeterValue_Request(ushort ConnectorId);
    void Retry_AuthorizeRequest();
    void Retry_StartTransactionRequest();
    void Retry_StopTransactionRequest();
    void Retry_MeterValueRequest();
    // Start-up: a message the previous run left unanswered goes out again
    // as it was, and the StopTransaction of a transaction it left open.
    void resendTransactionMessage(QString text);
    void sendStopTransaction(qint32 transactionId, double meterStop, QString reason, QString timestamp);

private:
    // The transaction messages of one kind: the cache (every message not yet
    // answered without failure, oldest first), those written and awaiting an
    // answer (a client on the FIFOs answers in the order of writing), the
    // retry timer (null once the link was stopped) and the re-send counter of
    // the message being retried.
    struct Queue
    {
        const char *action;
        QStringList &cache;
        QStringList &inFlight;
        QTimer *timer;
        quint16 &counter;
    };
    Queue startQueue();
    Queue stopQueue();
    Queue meterQueue();
    Queue queueOf(const QString &text);

    void sendRequest(const QString &action, const QJsonObject &payload);
    void sendResponse(const QString &action, const QString &status, const QString &key);
    // Kept in its cache, then written. keepAtMost > 0 bounds the cache.
    void queueTransactionMessage(Queue q, const QString &text, int keepAtMost = 0);
    // A response of the kind: the oldest message awaiting an answer is
    // settled, or, answered with a failure, waits to be sent again. Returns
    // that message (empty when none awaited an answer).
    QString answerTransactionMessage(Queue q, bool failed);
    // The oldest message of the kind that failed and waits to be sent again.
    static QString waitingForResend(const Queue &q);
    void armRetry(const Queue &q);
    void resendFailed(Queue q, const std::function<void(const QString &)> &giveUp);
    void stopWriter();
    void stopReader();

    QStringList m_startInFlight;
    QStringList m_stopInFlight;
    QStringList m_meterInFlight;
};

#endif // THREAD_PIPE_H
