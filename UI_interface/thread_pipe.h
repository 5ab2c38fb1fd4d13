#ifndef THREAD_PIPE_H
#define THREAD_PIPE_H

#include <QObject>

// The OCPP link over the two FIFOs (placeholder until the OCPP link lands).
class Thread_pipe : public QObject
{
    Q_OBJECT
public:
    explicit Thread_pipe(QObject *parent = nullptr) : QObject(parent) {}

public slots:
    void StatusNotification_Request(ushort) {}
    void Authorize_Request(ushort) {}
    void StartTransaction_Request(ushort) {}
    void StopTransacation_Request(ushort) {}
    void MeterValue_Request(ushort) {}
    void stop() {}
};

#endif
