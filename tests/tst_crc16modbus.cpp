// test-components: core meter
#include "crc16modbus.h"

#include <QtTest>

namespace {

// Bit by bit, as the Modbus RTU standard writes it down.
quint16 referenceCrc(const QByteArray &data)
{
    quint16 crc = 0xFFFF;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

} // namespace

class tst_Crc16Modbus : public QObject
{
    Q_OBJECT
private slots:
    void table_data();
    void table();
    void tableMatchesBitwiseCrc();
    void calculate_data();
    void calculate();
    void frameWithItsCrcGivesZero_data();
    void frameWithItsCrcGivesZero();
};

void tst_Crc16Modbus::table_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("entry");
    QTest::newRow("0") << 0x00 << 0x0000;
    QTest::newRow("1") << 0x01 << 0xC0C1;
    QTest::newRow("2") << 0x02 << 0xC181;
    QTest::newRow("0x10") << 0x10 << 0xCC01;
    QTest::newRow("0x80 is the polynomial") << 0x80 << 0xA001;
    QTest::newRow("0xFF, last") << 0xFF << 0x4040;
}

void tst_Crc16Modbus::table()
{
    QFETCH(int, index);
    QFETCH(int, entry);
    const CRC16Modbus crc;
    QCOMPARE(int(crc.crcTable[index]), entry);
}

void tst_Crc16Modbus::tableMatchesBitwiseCrc()
{
    // One table lookup per byte must give what eight shifts per byte give.
    CRC16Modbus crc;
    QByteArray data;
    for (int i = 0; i < 300; ++i) {
        data.append(char((i * 37 + 11) & 0xFF));
        const quint16 expected = referenceCrc(data);
        const QByteArray got = crc.CalculateCRC16(data);
        QCOMPARE(got.size(), 2);
        QCOMPARE(quint16(quint8(got[0]) | quint8(got[1]) << 8), expected);
    }
}

void tst_Crc16Modbus::calculate_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("crcBytes");
    QTest::newRow("check value") << QByteArray("123456789") << QByteArray::fromHex("374B");
    QTest::newRow("empty") << QByteArray() << QByteArray::fromHex("FFFF");
    QTest::newRow("measurement request, high byte 0x07")
        << QByteArray::fromHex("010440000013") << QByteArray::fromHex("A407");
    QTest::newRow("serial-number request") << QByteArray::fromHex("0103FC000002") << QByteArray::fromHex("F45B");
    QTest::newRow("value 0x087F") << QByteArray::fromHex("E1") << QByteArray::fromHex("7F08");
    QTest::newRow("value 0x2400, low byte 0") << QByteArray(4, '\0') << QByteArray::fromHex("0024");
}

void tst_Crc16Modbus::calculate()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, crcBytes);
    CRC16Modbus crc;
    QCOMPARE(crc.CalculateCRC16(data).toHex(' '), crcBytes.toHex(' '));
    QCOMPARE(crc.result.toHex(' '), crcBytes.toHex(' '));
}

void tst_Crc16Modbus::frameWithItsCrcGivesZero_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("request") << QByteArray::fromHex("010440000013A407");
    QTest::newRow("serial-number answer") << QByteArray::fromHex("01030412AB34CD59FE");
    QByteArray answer = QByteArray::fromHex("010426") + QByteArray::fromHex("43BB8000") + QByteArray(34, '\x5A');
    CRC16Modbus crc;
    answer += crc.CalculateCRC16(answer);
    QTest::newRow("measurement answer, 43 bytes") << answer;
}

void tst_Crc16Modbus::frameWithItsCrcGivesZero()
{
    QFETCH(QByteArray, frame);
    CRC16Modbus crc;
    QCOMPARE(crc.CalculateCRC16(frame).toHex(' '), QByteArray("00 00"));
}

QTEST_APPLESS_MAIN(tst_Crc16Modbus)
#include "tst_crc16modbus.moc"
