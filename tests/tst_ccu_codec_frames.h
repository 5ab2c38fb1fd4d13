#ifndef TST_CCU_CODEC_FRAMES_H
#define TST_CCU_CODEC_FRAMES_H

// What a CCU would send back, built here by hand (not with the code under
// test), and the reset of the records between test cases.

#include "ccu_records.h"
#include "rs232_ccu.h"

#include <QByteArray>
#include <QtEndian>

#include <cstring>

// A response frame: "~", hex of 21 01 50 RTN LENGTH INFO, checksum, CR.
inline QByteArray ccuResponse(quint8 rtn, const QByteArray &info, bool lowerCase = false)
{
    const int lenid = info.size() * 2;
    const int nibbles = (lenid & 0xF) + ((lenid >> 4) & 0xF) + ((lenid >> 8) & 0xF);
    const int length = (((16 - nibbles % 16) % 16) << 12) | lenid;
    QByteArray head;
    head.append(char(0x21)).append(char(0x01)).append(char(0x50)).append(char(rtn));
    head.append(char(length >> 8)).append(char(length & 0xFF));
    QByteArray text = (head + info).toHex().toUpper();
    quint32 sum = 0;
    for (char c : text)
        sum += quint8(c);
    text += QByteArray::number((0x10000 - (sum & 0xFFFF)) & 0xFFFF, 16).rightJustified(4, '0').toUpper();
    if (lowerCase)
        text = text.toLower();
    return '~' + text + '\r';
}

inline QByteArray floatLE(float v)
{
    quint32 raw;
    std::memcpy(&raw, &v, 4);
    QByteArray out(4, '\0');
    qToLittleEndian(raw, out.data());
    return out;
}

inline QByteArray be16(quint16 v)
{
    QByteArray out;
    out.append(char(v >> 8)).append(char(v & 0xFF));
    return out;
}

// Twelve status bytes: temperature, system state, gun state, plug, clock.
inline QByteArray statusInfo(quint16 temperature, quint8 sys, quint8 gun, quint8 plugged)
{
    QByteArray b = be16(temperature);
    b.append(char(sys)).append('\0').append(char(gun)).append('\0').append(char(plugged));
    b.append(QByteArray::fromHex("0a0b0c0d")).append('\0');
    return b;
}

inline void resetCcuState()
{
    systemstatus.Temperature = 0;
    systemstatus.TemperatureStr = QString();
    systemstatus.Sys_available_sta = 0;
    systemstatus.Gun1_available_sta = 0;
    systemstatus.Gun1_plugged_sta = 0;
    systemstatus.Sys_time = QString();
    errorinfo.Err_Sys_RS232 = false;
    charginfo.Charging_phase = 0;
    charginfo.SOC_Current = 0;
    charginfo.DC_Voltage_Out = 0;
    charginfo.DC_Current_Out = 0;
    bootupinfo.CCU_FW_Ver = QString();
    uint_err_rs232 = 0;
    closetime = 0;
    pulse = 0;
}

#endif
