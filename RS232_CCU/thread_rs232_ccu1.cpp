#include "thread_rs232_ccu1.h"
#include "logcategories.h"

#include "globalvariable.h"

#include <QDebug>

Thread_RS232_CCU1::Thread_RS232_CCU1(QObject *parent)
    : QObject(parent),
      m_lifecycle(RS232_CCU1_Thread, rs232_ccu, timer_rs232_interval, 1000, &RS232_CCU::serialInit,
                  &RS232_CCU::releaseSerial, &RS232_CCU::Rs232_Contrl, &rs232_ccu.m_halted)
{
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
    m_lifecycle.stop();
    // rs232_ccu, then the thread object, go as members.
}

void Thread_RS232_CCU1::start()
{
    m_lifecycle.start();
}

void Thread_RS232_CCU1::stop()
{
    m_lifecycle.stop();
}

void Thread_RS232_CCU1::SendCommand_Gun1_Start_Request()
{
    Start_command_set_1 = true;
    emit signal_gun1_start();
}

void Thread_RS232_CCU1::SendCommand_Gun1_Stop_Request()
{
    Stop_command_set_1 = true;
    qCInfo(lcCcu) << "whoooooooooo";
    emit signal_gun1_stop();
}

void Thread_RS232_CCU1::Set_VoltageLimit_Request(float value) { emit signal_setpara_Voltagelimit(value); }

void Thread_RS232_CCU1::Set_CurrentLimit_Request(float value) { emit signal_setpara_Currentlimit(value); }

void Thread_RS232_CCU1::Set_PowerLimit_Request(float value) { emit signal_setpara_Powerlimit(value); }

void Thread_RS232_CCU1::Set_PowerLimitEn_Request(bool enable) { emit signal_setpara_PowerlimitEn(enable); }

void Thread_RS232_CCU1::Set_FanSpeedCtrl_Request(ushort speed) { emit signal_setpara_FanSpeedCtrl(speed); }
