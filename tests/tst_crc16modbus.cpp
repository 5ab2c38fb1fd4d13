// test-components: common meter
#include "crc16modbus.h"

#include <QtTest>

class tst_Crc16Modbus : public QObject
{
    Q_OBJECT
private slots:
    // Every entry against the register shifted bit by bit with the reflected
    // polynomial, as the Modbus RTU standard writes it down.
    void tableMatchesBitwiseCrc()
    {
        const CRC16Modbus crc;
        for (int i = 0; i < 256; ++i) {
            quint16 entry = quint16(i);
            for (int bit = 0; bit < 8; ++bit)
                entry = (entry & 1) ? quint16((entry >> 1) ^ 0xA001) : quint16(entry >> 1);
            QCOMPARE(int(crc.crcTable[i]), int(entry));
        }
    }

    void calculate_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("crcBytes"); // low byte first
        QTest::newRow("check value") << QByteArray("123456789") << QByteArray::fromHex("374B");
        QTest::newRow("empty") << QByteArray() << QByteArray::fromHex("FFFF");
        QTest::newRow("measurement request, byte 0x07") << QByteArray::fromHex("010440000013") << QByteArray::fromHex("A407");
        QTest::newRow("request with its CRC") << QByteArray::fromHex("010440000013A407") << QByteArray::fromHex("0000");
    }
    void calculate()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, crcBytes);
        CRC16Modbus crc;
        QCOMPARE(crc.CalculateCRC16(data).toHex(' '), crcBytes.toHex(' '));
        QCOMPARE(crc.result.toHex(' '), crcBytes.toHex(' '));
    }
};

QTEST_APPLESS_MAIN(tst_Crc16Modbus)
#include "tst_crc16modbus.moc"
