// test-components: common meter
#include "dc_meter.h"
#include "dc_meter_data.h"
#include "testsupport.h"

#include <QTimer>
#include <QtTest>

namespace {

QByteArray withCrc(QByteArray frame)
{
    return frame + CRC16Modbus().CalculateCRC16(frame);
}

// The answer to the measurement read, 19 registers: 375 V (43 BB 80 00),
// 100 A, and 12.5 kWh at 0x400E.
QByteArray measurement(char address = 0x01, char byteCount = 0x26)
{
    QByteArray data(38, '\0');
    data.replace(0, 8, QByteArray::fromHex("43BB800042C80000")).replace(28, 4, QByteArray::fromHex("41480000"));
    return withCrc(QByteArray(1, address) + '\x04' + byteCount + data);
}

} // namespace

class tst_Meter : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        for (DC_Meter_Data &d : dc_meter_data) {
            d.voltage = d.current = d.Powerquantity = 0;
            d.Com_error = false;
        }
    }

    // Every buffer that is not exactly one sound answer is one failure, read
    // within its bounds.
    void evaluation_data()
    {
        QTest::addColumn<QByteArray>("buffer");
        QTest::addColumn<bool>("accepted");
        const QByteArray good = measurement();
        QByteArray badCrc = good;
        badCrc[42] = char(badCrc.at(42) ^ 0x01);
        QTest::newRow("43-byte answer") << good << true;
        QTest::newRow("address 0") << measurement(0x00) << true;
        QTest::newRow("address 2") << measurement(0x02) << false;
        QTest::newRow("byte count 0x24") << measurement(0x01, 0x24) << false;
        QTest::newRow("bad CRC") << badCrc << false;
        QTest::newRow("nothing arrived") << QByteArray() << false;
        QTest::newRow("late answer before the fresh one") << good + good << false;
        QTest::newRow("well formed, too short for the values") << withCrc(QByteArray::fromHex("0104020000")) << false;
    }
    void evaluation()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(bool, accepted);
        DC_Meter meter(1);
        meter.Rs485_Comand = 1;
        meter.Rs485_error_num = 3;
        meter.Rs485_readBuf = buffer;
        meter.ReceiveContrl();
        QCOMPARE(meter.Rs485_error_num, quint16(accepted ? 0 : 4));
        const DC_Meter_Data &d = dc_meter_data[1];
        QCOMPARE((QList<float>{d.voltage, d.current, d.Powerquantity}),
                 (accepted ? QList<float>{375.0f, 100.0f, 12.5f} : QList<float>{0, 0, 0}));
    }

    // Raised on the 11th failure in a row with one line, cleared with one line
    // by the next good answer; a good answer breaks the count.
    void comErrorRaisedAndCleared()
    {
        LogCapture log;
        DC_Meter meter(1);
        meter.Rs485_Comand = 1;
        const auto exchange = [&meter](int failures, bool thenAnswer) {
            for (int i = 0; i < failures; ++i)
                meter.ReceiveContrl();
            meter.Rs485_readBuf = thenAnswer ? measurement() : QByteArray();
            meter.ReceiveContrl();
            return bool(dc_meter_data[1].Com_error);
        };
        QVERIFY(!exchange(9, false));
        QVERIFY(exchange(25, false)); // the outage goes on
        QCOMPARE(log.count("Communication with DC meter 1 is error."), 1);
        QVERIFY(!exchange(0, true));
        QVERIFY(!exchange(0, true));
        QCOMPARE(log.count("Communication with DC meter 1 is restored."), 1);
        QVERIFY(!exchange(10, true));
        QVERIFY(!exchange(9, false));
        QVERIFY(exchange(0, false));
        QCOMPARE(log.count("Communication with DC meter 1 is error."), 2);
        QVERIFY(!dc_meter_data[2].Com_error);
    }
};

QTEST_GUILESS_MAIN(tst_Meter)
#include "tst_meter.moc"
