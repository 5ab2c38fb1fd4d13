// RS232_CCU: the answers decoded into the CCU records.
#include "rs232_ccu.h"

#include "ccu_records.h"
#include "rs232_ccu_frame.h"

#include <QDebug>

using namespace ccu_frame;

// ------------------------------------------------------------------ decoding

void RS232_CCU::decodeBootup()
{
    const QByteArray &d = ReiceveData_Datainfo;
    qDebug() << "Received bootup infomation.info size=" << d.size();
    if (d.size() < 52) {
        qDebug() << "Received bootup infomation error";
        return;
    }
    bootupinfo.ControllerBar = hexText(d, 0, 24);
    bootupinfo.ControllerMAC = hexText(d, 24, 8);
    bootupinfo.AvailableGunNum = byteAt(d, 32);
    const quint8 protection = byteAt(d, 36);
    bootupinfo.EPO_Vol_Level = protection & 0x03;
    bootupinfo.DoorOpen_pro_enble = (protection & 0x0C) != 0;
    bootupinfo.SPD_pro_enable = (protection & 0x30) != 0;
    bootupinfo.E_lock_Type = (protection >> 6) & 0x03;
    bootupinfo.Gun1_SelfCheck_enable = (byteAt(d, 35) & 0x03) != 0;
    bootupinfo.Max_DC_Voltage = bigEndian16(d, 37);
    bootupinfo.PowerLimit_enable = byteAt(d, 39) != 0;
    bootupinfo.CCU_FW_Ver = hexText(d, 40, 8);
    bootupinfo.CCU_Adr = byteAt(d, 48);
    bootupinfo.Fan_Speed = byteAt(d, 50);
    m_bootupKnown = true;
}

void RS232_CCU::decodeSystemStatus()
{
    const QByteArray &d = ReiceveData_Datainfo;
    if (d.size() < 12) {
        qDebug() << "Received system status error";
        return;
    }
    const quint32 temperature = bigEndian16(d, 0);
    systemstatus.Temperature = temperature;
    systemstatus.TemperatureStr = QString::number(temperature / 10.0, 'f', 1) + "Centigrade";
    const quint16 sys = byteAt(d, 2);
    const quint16 gun = byteAt(d, 4) & 0x03;
    // Neither alarm nor fault: the flags of the last fault are history, and
    // the next fault must be named by flags read during that fault.
    if (sys != 1 && sys != 2 && gun != 2)
        clearAlarmFlags();
    systemstatus.Sys_available_sta = sys;
    systemstatus.Gun1_available_sta = gun;
    systemstatus.Gun1_plugged_sta = byteAt(d, 6) & 0x03;
    systemstatus.Sys_time = hexText(d, 7, 4);
}

void RS232_CCU::clearAlarmFlags()
{
    for (Shared<bool> *flag :
         {&errorinfo.Err_Sys_DoorOpen, &errorinfo.Err_Sys_EPO, &errorinfo.Err_Sys_SPD, &errorinfo.Err_Sys_Rectifier,
          &errorinfo.Err_Sys_TemperatureOver, &errorinfo.Err_Sys_Fan, &errorinfo.Err_Sys_others,
          &errorinfo.Err_Sys_PowerSupply, &errorinfo.Err_Sys_Rectifier_Com, &errorinfo.Err_Gun1_ISO,
          &errorinfo.Err_Gun1_Elock, &errorinfo.Err_Gun1_TemperatureOver, &errorinfo.Err_Gun1_Rectifier,
          &errorinfo.Err_Gun1_others, &errorinfo.Err_Gun1_Rectifier_Com, &errorinfo.Err_Gun1_ISO_Com,
          &errorinfo.Err_Gun1_Output_ShortCircuit, &errorinfo.Err_Gun1_PLC_Com})
        *flag = false;
}

void RS232_CCU::decodeChargingData()
{
    const QByteArray &d = ReiceveData_Datainfo;
    qDebug() << "Recived charging data.size=" << d.size();
    if (d.size() < 42) {
        qDebug() << "Received charging data error";
        return;
    }
    charginfo.Charging_phase = byteAt(d, 0);
    charginfo.DC_Voltage_Out = littleEndianFloat(d, 1);
    charginfo.DC_Current_Out = littleEndianFloat(d, 5);
    charginfo.BMS_Protocol_Type = byteAt(d, 9);
    charginfo.SOC_Current = byteAt(d, 10);
    charginfo.SOC_Full = byteAt(d, 11);
    charginfo.SOC_Bulk = byteAt(d, 12);
    charginfo.DC_Voltage_Request = littleEndianFloat(d, 13);
    charginfo.DC_Current_Request = littleEndianFloat(d, 17);
    charginfo.Time_Full_Togo = bigEndian16(d, 21);
    charginfo.Time_Bulk_Togo = bigEndian16(d, 23);
    charginfo.BMS_Voltage_Limit = bigEndian16(d, 25);
    charginfo.BMS_Current_Limit = bigEndian16(d, 27);
    charginfo.BMS_Temperature_Limit = qint16(bigEndian16(d, 29));
    charginfo.BMS_Temperature_Max = qint16(bigEndian16(d, 31));
    charginfo.BMS_Voltage_Max = bigEndian16(d, 33);
    charginfo.Stop_Reason = byteAt(d, 35);
    charginfo.Code_diagnostic = byteAt(d, 36);
}

void RS232_CCU::decodeAlarms()
{
    const QByteArray &d = ReiceveData_Datainfo;
    qDebug() << "Recived system alarm infomation.size=" << d.size();
    if (d.size() < 7) {
        qDebug() << "Received system alarm infomation error";
        return;
    }
    const quint8 sys = byteAt(d, 1);
    errorinfo.Err_Sys_DoorOpen = bit(sys, 0);
    errorinfo.Err_Sys_EPO = bit(sys, 1);
    errorinfo.Err_Sys_SPD = bit(sys, 2);
    errorinfo.Err_Sys_Rectifier = bit(sys, 3);
    errorinfo.Err_Sys_TemperatureOver = bit(sys, 4);
    errorinfo.Err_Sys_Fan = bit(sys, 5);
    errorinfo.Err_Sys_others = bit(sys, 6);
    errorinfo.Err_Sys_PowerSupply = bit(sys, 7);
    errorinfo.Err_Sys_Rectifier_Com = bit(byteAt(d, 0), 0);
    const quint8 gun = byteAt(d, 3);
    errorinfo.Err_Gun1_ISO = bit(gun, 0);
    errorinfo.Err_Gun1_Elock = bit(gun, 1);
    errorinfo.Err_Gun1_TemperatureOver = bit(gun, 2);
    errorinfo.Err_Gun1_Rectifier = bit(gun, 3);
    errorinfo.Err_Gun1_others = bit(gun, 4);
    errorinfo.Err_Gun1_Rectifier_Com = bit(gun, 5);
    errorinfo.Err_Gun1_ISO_Com = bit(gun, 6);
    errorinfo.Err_Gun1_Output_ShortCircuit = bit(gun, 7);
    errorinfo.Err_Gun1_PLC_Com = bit(byteAt(d, 2), 0);
}
