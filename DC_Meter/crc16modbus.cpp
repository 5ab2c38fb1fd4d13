#include "crc16modbus.h"

CRC16Modbus::CRC16Modbus()
{
    result.clear();
    InitCRC16Table();
}

void CRC16Modbus::InitCRC16Table()
{
    for (int i = 0; i < arrayCRCTableLength; ++i) {
        quint16 crc = 0;
        quint16 data = quint16(i);
        for (int bit = 0; bit < 8; ++bit) {
            if ((data ^ crc) & 0x0001)
                crc = quint16((crc >> 1) ^ 0xA001);
            else
                crc = quint16(crc >> 1);
            data = quint16(data >> 1);
        }
        crcTable[i] = crc;
    }
}

quint16 CRC16Modbus::UpdateCRC16(quint16 crc, quint8 byte) const
{
    return quint16(crcTable[(byte ^ crc) & 0xFF] ^ (crc >> 8));
}

QByteArray CRC16Modbus::CalculateCRC16(QByteArray data)
{
    quint16 crc = 0xFFFF;
    for (const char c : qAsConst(data))
        crc = UpdateCRC16(crc, quint8(c));
    result.resize(2);
    result[0] = char(crc & 0xFF);
    result[1] = char(crc >> 8);
    return result;
}
