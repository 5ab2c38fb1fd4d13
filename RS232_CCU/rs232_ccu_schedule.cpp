// RS232_CCU: the poll schedule, the command and setting frames, and the
// request slots the owner relays to.
#include "rs232_ccu.h"

#include "ccu_records.h"
#include "rs232_ccu_frame.h"

#include <QDebug>
#include <QTimer>

using namespace ccu_frame;

// ------------------------------------------------------------------ schedule

void RS232_CCU::Rs232_Contrl()
{
    if (m_halted)
        return;
    if (errorinfo.Err_Sys_RS232) {
        if (serial && serial->isOpen())
            serial->close();
        closetime = closetime + 1;
        if (closetime > 10) {
            serialInit();
            closetime = 0;
        }
        return;
    }
    closetime = 0;

    const quint16 sys = systemstatus.Sys_available_sta;
    if (sys == 1 || sys == 2 || systemstatus.Gun1_available_sta == 2) {
        // A stop must reach a CCU that reports trouble; the status read in
        // between the alarm reads is what ends this state once it clears; a
        // charge that goes on under a warning keeps its figures current and
        // its end is seen.
        if (Request_Gun1_Stop) {
            SendCommand_Gun1_Stop();
            return;
        }
        const quint16 phase = charginfo.Charging_phase;
        const bool charging = systemstatus.Gun1_available_sta == 1 || (phase >= 1 && phase <= 5);
        m_alarmTurn %= charging ? 3 : 2;
        switch (m_alarmTurn++) {
        case 0: ReadErrorData(); break;
        case 1: ReadSystemStatus(); break;
        default: ReadChargingData(); break;
        }
        return;
    }
    m_alarmTurn = 0;

    if (Request_Gun1_Start)
        SendCommand_Gun1_Start();
    else if (Request_Gun1_Stop)
        SendCommand_Gun1_Stop();
    else if (Request_ReadBootup)
        ReadBootupinfo();
    else if (Request_Set_PowerLimitEn)
        Set_PowerLimitEn(EnablePowerLimit);
    else if (Request_Set_CurrentLimit)
        Set_CurrentLimit(CurrentLimit);
    else if (Request_Set_VoltageLimit)
        Set_VoltageLimit(VoltageLimit);
    else if (Request_Set_PowerLimit)
        Set_PowerLimit(PowerLimit);
    else if (Request_FanSpeedCtrl)
        Set_FanSpeedCtrl(ushort(FanSpeedCtrl));
    else if (pulse == 0) {
        ReadSystemStatus();
        pulse = 1;
    } else {
        ReadChargingData();
        pulse = 0;
    }
}

void RS232_CCU::Rs232_start() { m_running = true; }

void RS232_CCU::set_run(bool run) { m_running = run; }

void RS232_CCU::ReadBootupinfo()
{
    Order = 1;
    Msg_CID2 = 0x41;
    Msg_LENID = 0;
    Msg_INFO.clear();
    SendCommand_data_prepare();
    Request_ReadBootup = false;
}

void RS232_CCU::ReadSystemStatus()
{
    Order = 2;
    Msg_CID2 = 0x42;
    Msg_LENID = 0;
    Msg_INFO.clear();
    SendCommand_data_prepare();
}

void RS232_CCU::ReadChargingData()
{
    Order = 3;
    Msg_CID2 = 0x43;
    Msg_LENID = 2;
    Msg_INFO = QByteArray(1, char(0x01));
    SendCommand_data_prepare();
}

void RS232_CCU::ReadErrorData()
{
    Order = 4;
    Msg_CID2 = 0x46;
    Msg_LENID = 0;
    Msg_INFO.clear();
    SendCommand_data_prepare();
}

// ------------------------------------------------------------------ commands

void RS232_CCU::sendControl(quint8 subCode)
{
    Order = 5;
    Msg_CID2 = 0x45;
    Msg_LENID = 4;
    Msg_INFO = QByteArray(1, char(0x71)) + char(subCode);
    SendCommand_data_prepare();
}

void RS232_CCU::sendSetting(quint16 cid2, const QByteArray &info)
{
    Order = 5;
    Msg_CID2 = cid2;
    Msg_LENID = quint16(info.size() * 2);
    Msg_INFO = info;
    SendCommand_data_prepare();
}

void RS232_CCU::SendCommand_Gun1_Start()
{
    qDebug() << "Upercontroller request start charging. ";
    sendControl(0x01);
    Request_Gun1_Start = false;
}

void RS232_CCU::SendCommand_Gun1_Stop()
{
    qDebug() << "Upercontroller request stop charging. ";
    sendControl(0x00);
    Request_Gun1_Stop = false;
}

void RS232_CCU::SendCommand_Gun1_Suspend()
{
    qDebug() << "Upercontroller request suspend charging. ";
    sendControl(0x02);
}

void RS232_CCU::SendCommand_Gun1_Lock()
{
    qDebug() << "Upercontroller request gun1 lock. ";
    sendControl(0xE0);
}

void RS232_CCU::SendCommand_Gun1_Unlock()
{
    qDebug() << "Upercontroller request gun1 unlock. ";
    sendControl(0xE1);
}

void RS232_CCU::SendCommand_Gun1_Pending()
{
    sendControl(0xAA);
}

void RS232_CCU::Set_CurrentLimit(float value)
{
    qDebug() << "Set current limit= " << value;
    sendSetting(0x45, QByteArray(1, char(0x81)) + floatBytes(value));
    Request_Set_CurrentLimit = false;
}

void RS232_CCU::Set_PowerLimit(float value)
{
    qDebug() << "Set power limit= " << value;
    sendSetting(0x45, QByteArray(1, char(0x91)) + floatBytes(value));
    Request_Set_PowerLimit = false;
}

void RS232_CCU::Set_VoltageLimit(float value)
{
    Request_ReadBootup = true;
    qDebug() << "Set voltage limit= " << value;
    sendSetting(0x44, QByteArray(1, char(0x84)) + floatBytes(value));
    Request_Set_VoltageLimit = false;
}

void RS232_CCU::Set_PowerLimitEn(bool enable)
{
    Request_ReadBootup = true;
    qDebug() << (enable ? "Power limit enabled. " : "Power limit disabled. ");
    QByteArray info(1, char(0x85));
    info.append(char(enable ? 0x01 : 0x00));
    sendSetting(0x44, info);
    Request_Set_PowerLimitEn = false;
}

void RS232_CCU::Set_FanSpeedCtrl(ushort speed)
{
    Request_ReadBootup = true;
    qDebug() << "Set fan speed = " << speed;
    QByteArray info(1, char(0x87));
    info.append(char(speed & 0xFF));
    sendSetting(0x44, info);
    Request_FanSpeedCtrl = false;
}

void RS232_CCU::Set_AlarmMask()
{
    setpara.Alarm_Mask = 4;
    QByteArray info(1, char(0x83));
    info.append(char(0x00));
    info.append(char(setpara.Alarm_Mask & 0xFF));
    sendSetting(0x44, info);
    Request_Set_AlarmMask = false;
}

// ------------------------------------------------------------------ request slots

void RS232_CCU::SendCommand_Gun1_Start_Request() { Request_Gun1_Start = true; }

void RS232_CCU::SendCommand_Gun1_Stop_Request() { Request_Gun1_Stop = true; }

void RS232_CCU::Set_VoltageLimit_Request(float value)
{
    VoltageLimit = value;
    Request_Set_VoltageLimit = true;
}

void RS232_CCU::Set_CurrentLimit_Request(float value)
{
    CurrentLimit = value;
    Request_Set_CurrentLimit = true;
}

void RS232_CCU::Set_PowerLimit_Request(float value)
{
    PowerLimit = value;
    Request_Set_PowerLimit = true;
}

void RS232_CCU::Set_PowerLimitEn_Request(bool enable)
{
    EnablePowerLimit = enable;
    Request_Set_PowerLimitEn = true;
}

void RS232_CCU::Set_FanSpeedCtrl_Request(ushort speed)
{
    FanSpeedCtrl = float(speed);
    Request_FanSpeedCtrl = true;
}

void RS232_CCU::Set_AlarmMask_Reqest() { Request_Set_AlarmMask = true; }
