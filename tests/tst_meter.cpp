// test-components: core meter
#include "dc_meter.h"
#include "dc_meter_data.h"
#include "runtimeoptions.h"
#include "testsupport.h"

#include <QTimer>
#include <QtTest>

namespace {

QByteArray withCrc(QByteArray frame)
{
    return frame + CRC16Modbus().CalculateCRC16(frame);
}

// The answer to the measurement read: 19 registers, energy at 0x400E.
QByteArray measurementBody(const QByteArray &voltage, const QByteArray &current, const QByteArray &energy,
                           char address = 0x01, char byteCount = 0x26)
{
    QByteArray data(38, '\0');
    data.replace(0, 4, voltage).replace(4, 4, current).replace(28, 4, energy);
    return QByteArray(1, address) + '\x04' + byteCount + data;
}

// 375 V (43 BB 80 00), 100 A, 12.5 kWh.
QByteArray measurement(char address = 0x01, char byteCount = 0x26)
{
    return withCrc(measurementBody(QByteArray::fromHex("43BB8000"), QByteArray::fromHex("42C80000"),
                                   QByteArray::fromHex("41480000"), address, byteCount));
}

const QString ErrorLine = QStringLiteral("Communication with DC meter 1 is error.");
const QString RestoredLine = QStringLiteral("Communication with DC meter 1 is restored.");

} // namespace

class tst_Meter : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        for (DC_Meter_Data &d : dc_meter_data) {
            d.SerialNumber = QString();
            d.voltage = d.current = d.Powerquantity = 0;
            d.Com_error = false;
        }
    }

    void requestFrames()
    {
        DC_Meter meter(1);
        meter.ReadAllInputRegister();
        QCOMPARE(meter.SendData.toHex(' '), QByteArray("01 04 40 00 00 13 a4 07"));
        QCOMPARE(meter.timer_serial485->interval(), 500); // then the evaluation
        meter.ReadSerialNum();
        QCOMPARE(meter.SendData.toHex(' '), QByteArray("01 03 fc 00 00 02 f4 5b"));
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
        QTest::newRow("header only, count 0xFF") << QByteArray::fromHex("0104FF") << false;
        QTest::newRow("late answer before the fresh one") << good + good << false;
        QTest::newRow("well formed, too short for the values") << withCrc(QByteArray::fromHex("0104020000")) << false;
        QTest::newRow("noise") << QByteArray(1024, char(0xFF)) << false;
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
        QCOMPARE(dc_meter_data[1].voltage.load(), accepted ? 375.0f : 0.0f);
        QCOMPARE(dc_meter_data[1].current.load(), accepted ? 100.0f : 0.0f);
        QCOMPARE(dc_meter_data[1].Powerquantity.load(), accepted ? 12.5f : 0.0f);
        QVERIFY(meter.Rs485_readBuf.isEmpty()); // every evaluation ends the exchange
    }

    // A value that is no number keeps the last reading (7 here): the energy
    // register must never turn into NaN.
    void nonFiniteValuesKeepTheLastReading()
    {
        for (DC_Meter_Data &d : dc_meter_data)
            d.voltage = d.current = d.Powerquantity = 7.0f;
        DC_Meter meter(1);
        meter.Rs485_Comand = 1;
        meter.Rs485_readBuf = withCrc(measurementBody(QByteArray::fromHex("7F800000"), QByteArray::fromHex("C1200000"),
                                                      QByteArray::fromHex("7FC00000")));
        meter.ReceiveContrl();
        QCOMPARE(meter.Rs485_error_num, quint16(0));
        QCOMPARE(dc_meter_data[1].voltage.load(), 7.0f);
        QCOMPARE(dc_meter_data[1].current.load(), -10.0f);
        QCOMPARE(dc_meter_data[1].Powerquantity.load(), 7.0f);
    }

    void serialNumber()
    {
        DC_Meter meter(1);
        meter.ReadSerialNum();
        meter.Rs485_readBuf = withCrc(QByteArray::fromHex("01030412AB34CD"));
        meter.ReceiveContrl();
        QCOMPARE(dc_meter_data[1].SerialNumber.text(), QStringLiteral("12ab34cd"));
    }

    // Polls go on against a line that never opened and count as unanswered.
    void portThatDoesNotOpen()
    {
        MeterPortName = "/nonexistent/ttyMeter";
        LogCapture log;
        DC_Meter meter(1);
        meter.SerialInit();
        meter.ReadAllInputRegister();
        meter.ReceiveContrl();
        QCOMPARE(meter.Rs485_error_num, quint16(1));
        QVERIFY(log.lines().contains("serialport: Open /nonexistent/ttyMeter failed!!"));
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
        QCOMPARE(log.lines().count(ErrorLine), 1);
        QVERIFY(!exchange(0, true));
        QVERIFY(!exchange(0, true));
        QCOMPARE(log.lines().count(RestoredLine), 1);
        QVERIFY(!exchange(10, true));
        QVERIFY(!exchange(9, false));
        QVERIFY(exchange(0, false));
        QCOMPARE(log.lines().count(ErrorLine), 2);
        QVERIFY(!dc_meter_data[2].Com_error);
    }
};

QTEST_GUILESS_MAIN(tst_Meter)
#include "tst_meter.moc"
