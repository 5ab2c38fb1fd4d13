#include "thread_rs232_ccu1.h"

#include "globalvariable.h"

#include <QDebug>
#include <QTimer>

Thread_RS232_CCU1::Thread_RS232_CCU1(QObject *parent) : QObject(parent)
{
    rs232_ccu.moveToThread(&RS232_CCU1_Thread);
    connect(&RS232_CCU1_Thread, &QThread::started, &rs232_ccu, &RS232_CCU::serialInit);
    // The port and the response timer were made on the worker thread and
    // are deleted there, as the thread finishes.
    connect(&RS232_CCU1_Thread, &QThread::finished, &rs232_ccu, &RS232_CCU::releaseSerial,
            Qt::DirectConnection);

    // An earlier owner (tests build several) took its timer along.
    if (!timer_rs232_interval)
        timer_rs232_interval = new QTimer;
    timer_rs232_interval->setInterval(1000);
    connect(timer_rs232_interval, &QTimer::timeout, &rs232_ccu, &RS232_CCU::Rs232_Contrl);

    connect(this, &Thread_RS232_CCU1::signal_setpara_Voltagelimit, &rs232_ccu, &RS232_CCU::Set_VoltageLimit_Request);
    connect(this, &Thread_RS232_CCU1::signal_setpara_Powerlimit, &rs232_ccu, &RS232_CCU::Set_PowerLimit_Request);
    connect(this, &Thread_RS232_CCU1::signal_setpara_PowerlimitEn, &rs232_ccu, &RS232_CCU::Set_PowerLimitEn_Request);
    connect(this, &Thread_RS232_CCU1::signal_setpara_FanSpeedCtrl, &rs232_ccu, &RS232_CCU::Set_FanSpeedCtrl_Request);
    connect(this, &Thread_RS232_CCU1::signal_setpara_Currentlimit, &rs232_ccu, &RS232_CCU::Set_CurrentLimit_Request);
    connect(this, &Thread_RS232_CCU1::signal_gun1_start, &rs232_ccu, &RS232_CCU::SendCommand_Gun1_Start_Request);
    connect(this, &Thread_RS232_CCU1::signal_gun1_stop, &rs232_ccu, &RS232_CCU::SendCommand_Gun1_Stop_Request);
}

Thread_RS232_CCU1::~Thread_RS232_CCU1()
{
    rs232_ccu.m_halted = true;
    RS232_CCU1_Thread.quit();
    RS232_CCU1_Thread.wait();
    delete timer_rs232_interval;
    timer_rs232_interval = nullptr;
    // rs232_ccu, then the thread object, go as members.
}

void Thread_RS232_CCU1::start()
{
    if (m_started)
        return;
    m_started = true;
    // The poll timer starts with the thread: ticks queued to a worker whose
    // thread is not running would only pile up and then burst onto the line.
    RS232_CCU1_Thread.start();
    if (timer_rs232_interval)
        timer_rs232_interval->start(1000);
}

void Thread_RS232_CCU1::stop()
{
    if (timer_rs232_interval)
        timer_rs232_interval->stop();
    rs232_ccu.m_halted = true;
    RS232_CCU1_Thread.quit();
    RS232_CCU1_Thread.wait();
}

void Thread_RS232_CCU1::SendCommand_Gun1_Start_Request()
{
    Start_command_set_1 = true;
    emit signal_gun1_start();
}

void Thread_RS232_CCU1::SendCommand_Gun1_Stop_Request()
{
    Stop_command_set_1 = true;
    qDebug() << "whoooooooooo";
    emit signal_gun1_stop();
}

void Thread_RS232_CCU1::Set_VoltageLimit_Request(float value) { emit signal_setpara_Voltagelimit(value); }

void Thread_RS232_CCU1::Set_CurrentLimit_Request(float value) { emit signal_setpara_Currentlimit(value); }

void Thread_RS232_CCU1::Set_PowerLimit_Request(float value) { emit signal_setpara_Powerlimit(value); }

void Thread_RS232_CCU1::Set_PowerLimitEn_Request(bool enable) { emit signal_setpara_PowerlimitEn(enable); }

void Thread_RS232_CCU1::Set_FanSpeedCtrl_Request(ushort speed) { emit signal_setpara_FanSpeedCtrl(speed); }
