#include "thread_rs485.h"

#include "dc_meter.h"

#include <QDebug>
#include <QTimer>

QTimer *timer_rs485_interval = new QTimer;

namespace {
constexpr int PollIntervalMs = 3000;
}

Thread_rs485::Thread_rs485(QObject *parent) : QObject(parent)
{
    dc_meter1 = new DC_Meter(1);
    RS485_DCMeter_Thread = new QThread(this);
    dc_meter1->moveToThread(RS485_DCMeter_Thread);

    // The reader (with its port and response timer) is deleted on its own
    // thread as that thread ends.
    connect(RS485_DCMeter_Thread, &QThread::finished, dc_meter1, &QObject::deleteLater);
    connect(RS485_DCMeter_Thread, &QThread::finished, RS485_DCMeter_Thread, &QObject::deleteLater);
    connect(RS485_DCMeter_Thread, &QThread::started, dc_meter1, &DC_Meter::SerialInit);

    // A previous owner in this process may already have deleted the timer.
    if (!timer_rs485_interval)
        timer_rs485_interval = new QTimer;
    timer_rs485_interval->setInterval(PollIntervalMs);
    connect(timer_rs485_interval, &QTimer::timeout, dc_meter1, &DC_Meter::ReadAllInputRegister);
    // The timer runs only once the thread does: ticks queued to a thread that
    // never starts would pile up for the life of the process.
}

void Thread_rs485::start()
{
    if (!m_startable || !RS485_DCMeter_Thread)
        return;
    m_startable = false;
    RS485_DCMeter_Thread->start();
    if (timer_rs485_interval)
        timer_rs485_interval->start();
}

void Thread_rs485::stop()
{
    m_startable = false;
    if (RS485_DCMeter_Thread) {
        RS485_DCMeter_Thread->quit();
        RS485_DCMeter_Thread->wait();
    }
    delete timer_rs485_interval;
    timer_rs485_interval = nullptr;
    qDebug() << "thread 485 stop";
}

Thread_rs485::~Thread_rs485()
{
    if (RS485_DCMeter_Thread) {
        RS485_DCMeter_Thread->quit();
        RS485_DCMeter_Thread->wait();
    }
    if (timer_rs485_interval) {
        delete timer_rs485_interval;
        timer_rs485_interval = nullptr;
    }
    // A thread that never ran never deleted its reader; nothing else touches
    // the reader then, so it goes here.
    delete dc_meter1.data();
    // The thread's own deferred deletion needs an event loop that may have
    // ended already.
    delete RS485_DCMeter_Thread.data();
    qDebug() << "thread 485 destroy";
}
