#ifndef THREAD_RS485_H
#define THREAD_RS485_H

// Owner of the DC meter reader and its thread. Lives on the GUI thread; the
// poll timer below ticks there and its ticks are queued to the reader.

#include <QObject>
#include <QPointer>
#include <QThread>

class DC_Meter;
class QTimer;

// Poll timer of the meter, 3 s. Created before main(); deleted by stop() or
// by the owner's destructor, whichever comes first, and then left null.
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

    // Both are cleared when their objects go away with the finished thread.
    QPointer<QThread> RS485_DCMeter_Thread;
    QPointer<DC_Meter> dc_meter1;

public slots:
    void stop();

private:
    bool m_startable = true;
};

#endif // THREAD_RS485_H
