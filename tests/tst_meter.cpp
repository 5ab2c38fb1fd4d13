// test-components: core meter
#include "dc_meter.h"
#include "dc_meter_data.h"
#include "runtimeoptions.h"
#include "testsupport.h"

#include <QTimer>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

QByteArray withCrc(QByteArray frame)
{
    CRC16Modbus crc;
    return frame + crc.CalculateCRC16(frame);
}

QByteArray floatBytes(float value)
{
    quint32 raw;
    std::memcpy(&raw, &value, sizeof raw);
    QByteArray bytes(4, '\0');
    qToBigEndian(raw, bytes.data());
    return bytes;
}

// The meter's answer to the measurement read: 19 registers, 38 data bytes.
QByteArray measurementBody(const QByteArray &voltage, const QByteArray &current, const QByteArray &energy,
                           char address = 0x01, char byteCount = 0x26)
{
    QByteArray data(38, '\0');
    data.replace(0, 4, voltage);
    data.replace(4, 4, current);
    data.replace(28, 4, energy); // registers 0x400E-0x400F
    return QByteArray(1, address) + '\x04' + byteCount + data;
}

QByteArray measurement(float voltage, float current, float energy, char address = 0x01)
{
    return withCrc(measurementBody(floatBytes(voltage), floatBytes(current), floatBytes(energy), address));
}

void resetMeterData()
{
    for (DC_Meter_Data &d : dc_meter_data) {
        d.SerialNumber = QString();
        d.voltage = 0;
        d.current = 0;
        d.Powerquantity = 0;
        d.Com_error = false;
    }
}

const QString ErrorLine = QStringLiteral("Communication with DC meter 1 is error.");
const QString RestoredLine = QStringLiteral("Communication with DC meter 1 is restored.");

} // namespace

class tst_Meter : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetMeterData(); }

    void requestFrames();
    void evaluation_data();
    void evaluation();
    void decoding_data();
    void decoding();
    void serialNumber();
    void eleventhFailureRaisesComError();
    void goodAnswerBreaksTheCount();
    void recoveryClearsComError();
    void otherAddressesStayInBounds();
    void portThatDoesNotOpen();
};

void tst_Meter::requestFrames()
{
    LogCapture log;
    DC_Meter meter(1);

    meter.ReadAllInputRegister();
    QCOMPARE(meter.SendData.toHex(' '), QByteArray("01 04 40 00 00 13 a4 07"));
    QCOMPARE(meter.DCMeter_Comamand.crc_code.toHex(' '), QByteArray("a4 07"));
    QCOMPARE(meter.Rs485_Comand, quint16(1));
    QCOMPARE(log.count("Reading DC METER, The thread ID = "), 1);
    // Evaluated 500 ms after the request, once.
    QVERIFY(meter.timer_serial485);
    QVERIFY(meter.timer_serial485->isActive());
    QVERIFY(meter.timer_serial485->isSingleShot());
    QCOMPARE(meter.timer_serial485->interval(), 500);

    meter.ReadSerialNum();
    QCOMPARE(meter.SendData.toHex(' '), QByteArray("01 03 fc 00 00 02 f4 5b"));
    QCOMPARE(meter.Rs485_Comand, quint16(2));

    meter.ReceiveContrl();
    QVERIFY(!meter.timer_serial485->isActive());
}

void tst_Meter::evaluation_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<bool>("accepted");

    const QByteArray good = measurement(375.0f, 100.0f, 12.5f);
    QTest::newRow("43-byte answer") << good << true;
    QTest::newRow("address 0") << measurement(375.0f, 100.0f, 12.5f, 0x00) << true;
    QTest::newRow("address 2") << measurement(375.0f, 100.0f, 12.5f, 0x02) << false;
    QTest::newRow("address 0x81") << measurement(375.0f, 100.0f, 12.5f, char(0x81)) << false;
    QTest::newRow("byte count 0x24")
        << withCrc(measurementBody(floatBytes(375), floatBytes(100), floatBytes(12.5f), 0x01, 0x24)) << false;
    QByteArray badCrc = good;
    badCrc[badCrc.size() - 1] = char(badCrc.at(badCrc.size() - 1) ^ 0x01);
    QTest::newRow("bad CRC") << badCrc << false;
    QByteArray badData = good;
    badData[5] = char(badData.at(5) ^ 0x10);
    QTest::newRow("data changed under its CRC") << badData << false;
    QTest::newRow("nothing arrived") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("one byte") << QByteArray::fromHex("01") << false;
    QTest::newRow("two bytes") << QByteArray::fromHex("0104") << false;
    QTest::newRow("header only, count 0xFF") << QByteArray::fromHex("0104FF") << false;
    QTest::newRow("late answer before the fresh one") << good + good << false;
    QTest::newRow("trailing byte") << good + '\0' << false;
    QTest::newRow("exception answer") << withCrc(QByteArray::fromHex("018402")) << false;
    QTest::newRow("well formed, too short for the values") << withCrc(QByteArray::fromHex("0104020000")) << false;
    QTest::newRow("well formed, no data") << withCrc(QByteArray::fromHex("010400")) << false;
    QTest::newRow("noise") << QByteArray(1024, char(0xFF)) << false;
}

void tst_Meter::evaluation()
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
    QCOMPARE(dc_meter_data[1].Powerquantity.load(), accepted ? 12.5f : 0.0f);
    QVERIFY(meter.Rs485_readBuf.isEmpty()); // every evaluation ends the exchange
}

void tst_Meter::decoding_data()
{
    QTest::addColumn<QByteArray>("voltageBytes");
    QTest::addColumn<QByteArray>("currentBytes");
    QTest::addColumn<QByteArray>("energyBytes");
    QTest::addColumn<float>("voltage");
    QTest::addColumn<float>("current");
    QTest::addColumn<float>("energy");

    QTest::newRow("375 V") << QByteArray::fromHex("43BB8000") << QByteArray::fromHex("00000000")
                           << QByteArray::fromHex("00000000") << 375.0f << 0.0f << 0.0f;
    QTest::newRow("charging") << QByteArray::fromHex("4448C000") << QByteArray::fromHex("42FB0000")
                              << QByteArray::fromHex("47C35000") << 803.0f << 125.5f << 100000.0f;
    QTest::newRow("reverse current") << QByteArray::fromHex("43BB8000") << QByteArray::fromHex("C1200000")
                                     << QByteArray::fromHex("3F800000") << 375.0f << -10.0f << 1.0f;
    // A register that is no number keeps the last reading (set to 7 below).
    QTest::newRow("NaN energy") << QByteArray::fromHex("43BB8000") << QByteArray::fromHex("00000000")
                                << QByteArray::fromHex("7FC00000") << 375.0f << 0.0f << 7.0f;
    QTest::newRow("infinite voltage") << QByteArray::fromHex("7F800000") << QByteArray::fromHex("40000000")
                                      << QByteArray::fromHex("40400000") << 7.0f << 2.0f << 3.0f;
}

void tst_Meter::decoding()
{
    QFETCH(QByteArray, voltageBytes);
    QFETCH(QByteArray, currentBytes);
    QFETCH(QByteArray, energyBytes);
    QFETCH(float, voltage);
    QFETCH(float, current);
    QFETCH(float, energy);

    dc_meter_data[1].voltage = 7.0f;
    dc_meter_data[1].current = 7.0f;
    dc_meter_data[1].Powerquantity = 7.0f;
    DC_Meter meter(1);
    meter.Rs485_Comand = 1;
    meter.Rs485_readBuf = withCrc(measurementBody(voltageBytes, currentBytes, energyBytes));
    meter.ReceiveContrl();

    QCOMPARE(meter.Rs485_error_num, quint16(0));
    QCOMPARE(dc_meter_data[1].voltage.load(), voltage);
    QCOMPARE(dc_meter_data[1].current.load(), current);
    QCOMPARE(dc_meter_data[1].Powerquantity.load(), energy);
}

void tst_Meter::serialNumber()
{
    DC_Meter meter(1);
    meter.ReadSerialNum();
    meter.Rs485_readBuf = withCrc(QByteArray::fromHex("01030412AB34CD"));
    meter.ReceiveContrl();
    QCOMPARE(dc_meter_data[1].SerialNumber.text(), QStringLiteral("12ab34cd"));
    QCOMPARE(dc_meter_data[1].voltage.load(), 0.0f);

    // A serial-number answer cut short is a failure, not a read past its end.
    meter.ReadSerialNum();
    meter.Rs485_readBuf = withCrc(QByteArray::fromHex("01030112"));
    meter.ReceiveContrl();
    QCOMPARE(meter.Rs485_error_num, quint16(1));
    QCOMPARE(dc_meter_data[1].SerialNumber.text(), QStringLiteral("12ab34cd"));
}

void tst_Meter::eleventhFailureRaisesComError()
{
    LogCapture log;
    DC_Meter meter(1);
    for (int i = 1; i <= 10; ++i) {
        meter.ReceiveContrl();
        QVERIFY2(!dc_meter_data[1].Com_error, qPrintable(QString("after failure %1").arg(i)));
    }
    QCOMPARE(meter.Rs485_error_num, quint16(10));
    QCOMPARE(log.count("Communication with DC meter"), 0);

    meter.ReceiveContrl();
    QVERIFY(dc_meter_data[1].Com_error);
    QCOMPARE(meter.Rs485_error_num, quint16(0));
    QCOMPARE(log.lines().count(ErrorLine), 1);

    // The outage goes on: no more lines, the flag stays.
    for (int i = 0; i < 25; ++i)
        meter.ReceiveContrl();
    QVERIFY(dc_meter_data[1].Com_error);
    QCOMPARE(log.lines().count(ErrorLine), 1);
    QVERIFY(!dc_meter_data[2].Com_error);
}

void tst_Meter::goodAnswerBreaksTheCount()
{
    DC_Meter meter(1);
    meter.Rs485_Comand = 1;
    for (int i = 0; i < 10; ++i)
        meter.ReceiveContrl();
    meter.Rs485_readBuf = measurement(375.0f, 0.0f, 1.0f);
    meter.ReceiveContrl();
    for (int i = 0; i < 10; ++i)
        meter.ReceiveContrl();
    QVERIFY(!dc_meter_data[1].Com_error);
    QCOMPARE(meter.Rs485_error_num, quint16(10));
}

void tst_Meter::recoveryClearsComError()
{
    LogCapture log;
    DC_Meter meter(1);
    meter.Rs485_Comand = 1;
    for (int i = 0; i < 11; ++i)
        meter.ReceiveContrl();
    QVERIFY(dc_meter_data[1].Com_error);

    // A bad answer is no recovery.
    meter.Rs485_readBuf = QByteArray::fromHex("0104");
    meter.ReceiveContrl();
    QVERIFY(dc_meter_data[1].Com_error);

    meter.Rs485_readBuf = measurement(400.0f, 50.0f, 3.0f);
    meter.ReceiveContrl();
    QVERIFY(!dc_meter_data[1].Com_error);
    QCOMPARE(dc_meter_data[1].voltage.load(), 400.0f);
    QCOMPARE(log.lines().count(RestoredLine), 1);

    meter.Rs485_readBuf = measurement(401.0f, 50.0f, 3.0f);
    meter.ReceiveContrl();
    QCOMPARE(log.lines().count(RestoredLine), 1);

    // The next outage is reported again, with the same threshold.
    for (int i = 0; i < 10; ++i)
        meter.ReceiveContrl();
    QVERIFY(!dc_meter_data[1].Com_error);
    meter.ReceiveContrl();
    QVERIFY(dc_meter_data[1].Com_error);
    QCOMPARE(log.lines().count(ErrorLine), 2);
}

void tst_Meter::otherAddressesStayInBounds()
{
    // Only entry 1 is in use; any other address writes its own entry or,
    // beyond the table, none.
    LogCapture log;
    for (quint16 address : {quint16(0), quint16(2), quint16(3), quint16(200)}) {
        DC_Meter meter(address);
        meter.Rs485_Comand = 1;
        for (int i = 0; i < 11; ++i)
            meter.ReceiveContrl();
        meter.Rs485_readBuf = measurement(375.0f, 1.0f, 2.0f);
        meter.ReceiveContrl();
        QCOMPARE(meter.Rs485_error_num, quint16(0));
    }
    QVERIFY(!dc_meter_data[1].Com_error);
    QCOMPARE(dc_meter_data[1].voltage.load(), 0.0f);
    QCOMPARE(dc_meter_data[2].voltage.load(), 375.0f);
    QVERIFY(log.contains("Communication with DC meter 2 is restored."));
}

void tst_Meter::portThatDoesNotOpen()
{
    LogCapture log;
    TestDataDir dir;
    const QString previous = MeterPortName;
    MeterPortName = dir.file("no-such-tty");
    DC_Meter meter(1);
    meter.SerialInit();
    MeterPortName = previous;

    QCOMPARE(log.lines().count("serialport: Open " + dir.file("no-such-tty") + " failed!!"), 1);
    QCOMPARE(meter.RS485_DCMeter_Settings.baudRate, QSerialPort::Baud9600);

    // Polls go on against the closed line and count as unanswered.
    meter.ReadAllInputRegister();
    QVERIFY(meter.timer_serial485->isActive());
    meter.ReceiveContrl();
    QCOMPARE(meter.Rs485_error_num, quint16(1));
    QVERIFY(!log.contains("device not open"));
}

QTEST_GUILESS_MAIN(tst_Meter)
#include "tst_meter.moc"
