#ifndef THREAD_RS485_H
#define THREAD_RS485_H

// Owner of the DC meter reader and its thread. Lives on the GUI thread; the
// poll timer below lives and ticks on the meter thread.

#include "dc_meter.h"
#include "workerthread.h"

#include <QObject>
#include <QThread>

class QTimer;

// Poll timer of the meter, 3 s. Made on the meter thread as it starts,
// deleted there as it finishes (stop() or the owner's destructor); null
// while no meter thread runs.
extern QTimer *timer_rs485_interval;

class Thread_rs485 : public QObject
{
    Q_OBJECT
public:
    explicit Thread_rs485(QObject *parent = nullptr);
    ~Thread_rs485() override;

    // Starts the meter thread and the poll timer. Call once, after the
    // connections are made; later calls, and calls after stop(), do nothing.
    void start();

    QThread RS485_DCMeter_Thread;
    DC_Meter dc_meter1{1};

public slots:
    void stop();

private:
    WorkerThread m_lifecycle; // after the thread and the reader: ends the thread first
};

#endif // THREAD_RS485_H
