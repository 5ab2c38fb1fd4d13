#ifndef CRC16MODBUS_H
#define CRC16MODBUS_H

// CRC-16 of Modbus RTU frames (reflected polynomial 0xA001, start 0xFFFF,
// no final XOR), table driven.

#include <QByteArray>
#include <QtGlobal>

constexpr int arrayCRCTableLength = 256;

class CRC16Modbus
{
public:
    CRC16Modbus();

    void InitCRC16Table();
    quint16 UpdateCRC16(quint16 crc, quint8 byte) const;
    // The CRC over data, as the two bytes that go on the line: low byte first.
    QByteArray CalculateCRC16(QByteArray data);

    QByteArray result; // the last CRC computed, low byte first
    quint16 crcTable[arrayCRCTableLength];
};

#endif // CRC16MODBUS_H
