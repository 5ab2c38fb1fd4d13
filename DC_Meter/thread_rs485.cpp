#include "thread_rs485.h"

#include <QDebug>
#include <QTimer>

// Made and deleted on the meter thread (see WorkerThread).
QTimer *timer_rs485_interval = nullptr;

namespace {
constexpr int PollIntervalMs = 3000;
}

Thread_rs485::Thread_rs485(QObject *parent)
    : QObject(parent),
      m_lifecycle(RS485_DCMeter_Thread, dc_meter1, timer_rs485_interval, PollIntervalMs, &DC_Meter::SerialInit,
                  &DC_Meter::releaseSerial, &DC_Meter::ReadAllInputRegister)
{
}

void Thread_rs485::start()
{
    m_lifecycle.start();
}

void Thread_rs485::stop()
{
    m_lifecycle.stop();
    qDebug() << "thread 485 stop";
}

Thread_rs485::~Thread_rs485()
{
    m_lifecycle.stop();
    qDebug() << "thread 485 destroy";
}
