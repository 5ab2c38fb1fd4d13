#ifndef TST_CCU_CODEC_FRAMES_H
#define TST_CCU_CODEC_FRAMES_H

// What a CCU would send back, built here by hand (not with the code under
// test), and the reset of the records between test cases.

#include "ccu_records.h"
#include "rs232_ccu.h"

#include <QByteArray>
#include <QtEndian>

// A frame around the hexadecimal text of its binary content: "~", the text,
// the checksum of the text as sent, CR.
inline QByteArray ccuFrame(const QByteArray &text)
{
    quint32 sum = 0;
    for (char c : text)
        sum += quint8(c);
    return '~' + text + QByteArray::number((0x10000 - (sum & 0xFFFF)) & 0xFFFF, 16).rightJustified(4, '0').toUpper()
        + '\r';
}

// The LENGTH field for a LENID: LCHKSUM in the top nibble.
inline int ccuLength(int lenid)
{
    const int nibbles = (lenid & 0xF) + ((lenid >> 4) & 0xF) + ((lenid >> 8) & 0xF);
    return (((16 - nibbles % 16) % 16) << 12) | lenid;
}

// A response frame: "~", hex of 21 01 50 RTN LENGTH INFO, checksum, CR.
inline QByteArray ccuResponse(quint8 rtn, const QByteArray &info, bool lowerCase = false, quint8 adr = 0x01)
{
    const int length = ccuLength(info.size() * 2);
    const char head[] = {0x21, char(adr), 0x50, char(rtn), char(length >> 8), char(length & 0xFF)};
    const QByteArray text = (QByteArray(head, 6) + info).toHex().toUpper();
    return ccuFrame(lowerCase ? text.toLower() : text);
}

inline QByteArray floatLE(float v)
{
    QByteArray out(4, '\0');
    qToLittleEndian(v, out.data());
    return out;
}

inline QByteArray be16(quint16 v)
{
    return QByteArray(1, char(v >> 8)) + char(v & 0xFF);
}

// Twelve status bytes: temperature, system state, gun state, plug, clock.
inline QByteArray statusInfo(quint16 temperature, quint8 sys, quint8 gun, quint8 plugged)
{
    const char states[] = {char(sys), 0, char(gun), 0, char(plugged)};
    return be16(temperature) + QByteArray(states, 5) + QByteArray::fromHex("0a0b0c0d00");
}

inline void resetCcuState()
{
    systemstatus.Temperature = 0;
    systemstatus.TemperatureStr = QString();
    systemstatus.Sys_available_sta = systemstatus.Gun1_available_sta = systemstatus.Gun1_plugged_sta = 0;
    systemstatus.Sys_time = QString();
    errorinfo.Err_Sys_RS232 = false;
    charginfo.Charging_phase = charginfo.SOC_Current = 0;
    charginfo.DC_Voltage_Out = charginfo.DC_Current_Out = 0;
    bootupinfo.CCU_FW_Ver = QString();
    bootupinfo.Max_DC_Voltage = 0;
    bootupinfo.CCU_Adr = 0;
    uint_err_rs232 = 0;
    closetime = 0;
    pulse = 0;
}

#endif
