// test-components: core ccu
//
// The CCU frame codec: request frames byte for byte, the conversions on
// their edge inputs, reassembly and validation of answers, and the decoding
// of every answer into its record.

#include "testsupport.h"
#include "tst_ccu_codec_frames.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>

using Send = std::function<void(RS232_CCU &)>;
Q_DECLARE_METATYPE(Send)

class TestCcuCodec : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetCcuState(); }

    void requestFrames_data();
    void requestFrames();
    void lenidZeroSendsNoInfo();
    void commandLogLines_data();
    void commandLogLines();

    void hexDigits_data();
    void hexDigits();
    void hexTextToBytes_data();
    void hexTextToBytes();
    void lengthField_data();
    void lengthField();
    void checksum_data();
    void checksum();
    void findLength_data();
    void findLength();
    void findChecksum();

    void reassemblyOverThreeReads();
    void lowerCaseAnswer();
    void rejectedDeliveries_data();
    void rejectedDeliveries();
    void wrongAddressStopsTimerSilently();
    void nonZeroRtn();
    void noiseWithoutCarriageReturnIsBounded();
    void lateAnswerDecodedByCurrentOrder();

    void statusTemperature_data();
    void statusTemperature();
    void statusFields();
    void alarmBytes();
    void shortAnswersLeaveRecords_data();
    void shortAnswersLeaveRecords();
    void chargingData();
    void bootupData();
};

void TestCcuCodec::requestFrames_data()
{
    QTest::addColumn<Send>("send");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("boot-up read") << Send([](RS232_CCU &c) { c.ReadBootupinfo(); }) << QByteArray("~210150410000FDB2\r");
    QTest::newRow("status read") << Send([](RS232_CCU &c) { c.ReadSystemStatus(); }) << QByteArray("~210150420000FDB1\r");
    QTest::newRow("charging read") << Send([](RS232_CCU &c) { c.ReadChargingData(); }) << QByteArray("~21015043E00201FD38\r");
    QTest::newRow("alarm read") << Send([](RS232_CCU &c) { c.ReadErrorData(); }) << QByteArray("~210150460000FDAD\r");
    QTest::newRow("start") << Send([](RS232_CCU &c) { c.SendCommand_Gun1_Start(); }) << QByteArray("~21015045C0047101FCCE\r");
    QTest::newRow("stop") << Send([](RS232_CCU &c) { c.SendCommand_Gun1_Stop(); }) << QByteArray("~21015045C0047100FCCF\r");
    QTest::newRow("suspend") << Send([](RS232_CCU &c) { c.SendCommand_Gun1_Suspend(); }) << QByteArray("~21015045C0047102FCCD\r");
    QTest::newRow("lock") << Send([](RS232_CCU &c) { c.SendCommand_Gun1_Lock(); }) << QByteArray("~21015045C00471E0FCBA\r");
    QTest::newRow("unlock") << Send([](RS232_CCU &c) { c.SendCommand_Gun1_Unlock(); }) << QByteArray("~21015045C00471E1FCB9\r");
    QTest::newRow("pending") << Send([](RS232_CCU &c) { c.SendCommand_Gun1_Pending(); }) << QByteArray("~21015045C00471AAFCAD\r");
    QTest::newRow("voltage limit 750") << Send([](RS232_CCU &c) { c.Set_VoltageLimit(750.0f); })
                                       << QByteArray("~21015044600A8400803B44FB87\r");
    QTest::newRow("current limit 100") << Send([](RS232_CCU &c) { c.Set_CurrentLimit(100.0f); })
                                       << QByteArray("~21015045600A810000C842FB8D\r");
    QTest::newRow("power limit 50") << Send([](RS232_CCU &c) { c.Set_PowerLimit(50.0f); })
                                    << QByteArray("~21015045600A9100004842FB9B\r");
    QTest::newRow("power limit on") << Send([](RS232_CCU &c) { c.Set_PowerLimitEn(true); })
                                    << QByteArray("~21015044C0048501FCCA\r");
    QTest::newRow("power limit off") << Send([](RS232_CCU &c) { c.Set_PowerLimitEn(false); })
                                     << QByteArray("~21015044C0048500FCCB\r");
    QTest::newRow("fan 300 -> 0x2C") << Send([](RS232_CCU &c) { c.Set_FanSpeedCtrl(300); })
                                     << QByteArray("~21015044C004872CFCB4\r");
    QTest::newRow("alarm mask") << Send([](RS232_CCU &c) { c.Set_AlarmMask(); }) << QByteArray("~21015044A006830004FC69\r");
}

void TestCcuCodec::requestFrames()
{
    QFETCH(Send, send);
    QFETCH(QByteArray, frame);
    RS232_CCU ccu;
    send(ccu);
    QCOMPARE(ccu.Senddata, frame);
}

void TestCcuCodec::lenidZeroSendsNoInfo()
{
    RS232_CCU ccu;
    ccu.Msg_CID2 = 0x42;
    ccu.Msg_LENID = 0;
    ccu.Msg_INFO = QByteArray::fromHex("7101");
    ccu.SendCommand_data_prepare();
    QCOMPARE(ccu.Senddata, QByteArray("~210150420000FDB1\r"));
    QCOMPARE(ccu.Msg_CHKSUM & 0xFFFF, 0xFDB1u);
}

void TestCcuCodec::commandLogLines_data()
{
    QTest::addColumn<Send>("send");
    QTest::addColumn<QString>("line");
    QTest::newRow("start") << Send([](RS232_CCU &c) { c.SendCommand_Gun1_Start(); })
                           << "Upercontroller request start charging. ";
    QTest::newRow("fan keeps 300") << Send([](RS232_CCU &c) { c.Set_FanSpeedCtrl(300); }) << "Set fan speed =  300";
    QTest::newRow("power limit off") << Send([](RS232_CCU &c) { c.Set_PowerLimitEn(false); }) << "Power limit disabled. ";
    QTest::newRow("voltage") << Send([](RS232_CCU &c) { c.Set_VoltageLimit(750.0f); }) << "Set voltage limit=  750";
}

void TestCcuCodec::commandLogLines()
{
    QFETCH(Send, send);
    QFETCH(QString, line);
    RS232_CCU ccu;
    LogCapture log;
    send(ccu);
    QVERIFY2(log.lines().contains(line), qPrintable(log.lines().join(" | ")));
}

void TestCcuCodec::hexDigits_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("character");
    QTest::addColumn<int>("decoded"); // AsciiToHex(character)
    QTest::newRow("0") << 0 << int('0') << 0;
    QTest::newRow("9") << 9 << int('9') << 9;
    QTest::newRow("10") << 10 << int('A') << 10;
    QTest::newRow("15") << 15 << int('F') << 15;
    QTest::newRow("16 has no digit") << 16 << 0 << 0;
    QTest::newRow("0xFFFF has no digit") << 0xFFFF << 0 << 0;
}

void TestCcuCodec::hexDigits()
{
    QFETCH(int, value);
    QFETCH(int, character);
    QFETCH(int, decoded);
    QCOMPARE(int(RS232_CCU::HexToAscii(quint16(value))), character);
    QCOMPARE(int(RS232_CCU::AsciiToHex(quint16(character))), decoded);
    // Either case, only the low eight bits, anything else is 0.
    QCOMPARE(int(RS232_CCU::AsciiToHex('f')), 15);
    QCOMPARE(int(RS232_CCU::AsciiToHex(0x100 + 'b')), 11);
    QCOMPARE(int(RS232_CCU::AsciiToHex('g')), 0);
    QCOMPARE(int(RS232_CCU::AsciiToHex('~')), 0);
}

void TestCcuCodec::hexTextToBytes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("one character") << QByteArray("A") << QByteArray();
    QTest::newRow("odd tail ignored") << QByteArray("0a1") << QByteArray::fromHex("0a");
    QTest::newRow("mixed case") << QByteArray("7E7e") << QByteArray::fromHex("7e7e");
    QTest::newRow("non-digits are 0") << QByteArray("zzG1") << QByteArray::fromHex("0001");
    QTest::newRow("high bytes") << QByteArray("FF80") << QByteArray::fromHex("ff80");
}

void TestCcuCodec::hexTextToBytes()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(RS232_CCU::HexAciiToHex_ByteArray(text), bytes);
    if (text.size() % 2 == 0 && !text.contains('z') && !text.contains('G'))
        QCOMPARE(RS232_CCU::HexToHexAcii_ByteArray(bytes), text.toUpper());
}

void TestCcuCodec::lengthField_data()
{
    QTest::addColumn<uint>("lenid");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("0") << 0u << QByteArray::fromHex("0000");
    QTest::newRow("2") << 2u << QByteArray::fromHex("e002");
    QTest::newRow("4") << 4u << QByteArray::fromHex("c004");
    QTest::newRow("6") << 6u << QByteArray::fromHex("a006");
    QTest::newRow("10") << 10u << QByteArray::fromHex("600a");
    QTest::newRow("16") << 16u << QByteArray::fromHex("f010");
    QTest::newRow("84 (42 bytes)") << 84u << QByteArray::fromHex("7054");
    QTest::newRow("4095") << 4095u << QByteArray::fromHex("3fff");
}

void TestCcuCodec::lengthField()
{
    QFETCH(uint, lenid);
    QFETCH(QByteArray, field);
    QCOMPARE(RS232_CCU::CalLength(lenid), field);
    QCOMPARE(RS232_CCU::FindLength(field, 0), lenid);
}

void TestCcuCodec::checksum_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<quint32>("sum");
    QTest::newRow("empty") << QByteArray() << 0u;
    QTest::newRow("status read text") << QByteArray("210150420000") << 0xFFFFFDB1u;
    QTest::newRow("charging read text") << QByteArray("21015043E00201") << 0xFFFFFD38u;
    QTest::newRow("bytes are unsigned") << QByteArray::fromHex("ff") << 0xFFFFFF01u;
}

void TestCcuCodec::checksum()
{
    QFETCH(QByteArray, bytes);
    QFETCH(quint32, sum);
    QCOMPARE(RS232_CCU::CalCheckSum(bytes), sum);
}

void TestCcuCodec::findLength_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("position");
    QTest::addColumn<uint>("lenid");
    QTest::addColumn<bool>("complains");
    const QByteArray header = QByteArray::fromHex("210150007054");
    QTest::newRow("LENGTH at 4") << header << 4 << 84u << false;
    QTest::newRow("top nibble masked") << QByteArray::fromHex("ffff") << 0 << 0xFFFu << false;
    QTest::newRow("last byte") << header << 5 << 0u << true;
    QTest::newRow("past the end") << header << 255 << 0u << true;
    QTest::newRow("empty") << QByteArray() << 0 << 0u << true;
}

void TestCcuCodec::findLength()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, position);
    QFETCH(uint, lenid);
    QFETCH(bool, complains);
    LogCapture log;
    QCOMPARE(RS232_CCU::FindLength(bytes, quint8(position)), lenid);
    QCOMPARE(log.contains("Checked data lenth wrong!!"), complains);
}

void TestCcuCodec::findChecksum()
{
    QCOMPARE(RS232_CCU::FindChecksum("~210150420000FDB1\r"), 0xFDB1u);
    QCOMPARE(RS232_CCU::FindChecksum("~210150420000fdb1\r"), 0xFDB1u);
    QCOMPARE(RS232_CCU::FindChecksum("AB\r"), 0u);
    QCOMPARE(RS232_CCU::FindChecksum(QByteArray()), 0u);
}

void TestCcuCodec::reassemblyOverThreeReads()
{
    RS232_CCU ccu;
    ccu.ReadSystemStatus();
    const QByteArray frame = ccuResponse(0, statusInfo(253, 0, 1, 1));
    ccu.takeReceived(frame.left(10));
    ccu.takeReceived(frame.mid(10, 20));
    QCOMPARE(systemstatus.Temperature.load(), 0u);
    QVERIFY(ccu.timer_serial->isActive());
    ccu.takeReceived(frame.mid(30));
    QCOMPARE(systemstatus.Temperature.load(), 253u);
    QCOMPARE(systemstatus.Gun1_plugged_sta.load(), quint16(1));
    QVERIFY(!ccu.timer_serial->isActive());
    QVERIFY(ccu.ReiceveData_all.isEmpty());
}

void TestCcuCodec::lowerCaseAnswer()
{
    RS232_CCU ccu;
    ccu.ReadSystemStatus();
    ccu.takeReceived(ccuResponse(0, statusInfo(0x1AB, 2, 2, 1), true));
    QCOMPARE(systemstatus.Temperature.load(), 0x1ABu);
    QCOMPARE(systemstatus.Sys_available_sta.load(), quint16(2));
    QCOMPARE(systemstatus.Gun1_available_sta.load(), quint16(2));
}

void TestCcuCodec::rejectedDeliveries_data()
{
    QTest::addColumn<QByteArray>("delivery");
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("timerStopped");
    const QByteArray status = ccuResponse(0, statusInfo(253, 0, 0, 1));
    QTest::newRow("17 characters") << QByteArray("~21015000000FDB1\r") << "reiceive data error：" << false;
    QTest::newRow("no SOI") << QByteArray("x" + status.mid(1)) << "reiceive data error：" << false;
    QTest::newRow("noise then frame") << QByteArray("\x01" + status) << "reiceive data error：" << false;
    QTest::newRow("only CR") << QByteArray("\r") << "reiceive data error：" << false;
    QTest::newRow("two frames in one read") << QByteArray(status + status) << "Received data lenth wrong!!" << true;
    QByteArray wrongLenid = status;
    wrongLenid[12] = '6'; // LENID 0x016 for 24 characters
    QTest::newRow("wrong LENID") << wrongLenid << "Received data lenth wrong!!" << true;
}

void TestCcuCodec::rejectedDeliveries()
{
    QFETCH(QByteArray, delivery);
    QFETCH(QString, line);
    QFETCH(bool, timerStopped);
    RS232_CCU ccu;
    ccu.ReadSystemStatus();
    LogCapture log;
    ccu.takeReceived(delivery);
    QVERIFY2(log.contains(line), qPrintable(log.lines().join(" | ")));
    QCOMPARE(systemstatus.Temperature.load(), 0u);
    QCOMPARE(ccu.timer_serial->isActive(), !timerStopped);
    QVERIFY(ccu.ReiceveData_all.isEmpty());

    // The next sound answer is decoded as usual.
    ccu.takeReceived(ccuResponse(0, statusInfo(253, 0, 0, 1)));
    QCOMPARE(systemstatus.Temperature.load(), 253u);
}

void TestCcuCodec::wrongAddressStopsTimerSilently()
{
    RS232_CCU ccu;
    ccu.ReadSystemStatus();
    QByteArray frame = ccuResponse(0, statusInfo(253, 0, 0, 1));
    frame[4] = '2'; // ADR 02; the checksum is not looked at anyway
    LogCapture log;
    ccu.takeReceived(frame);
    QVERIFY(log.lines().isEmpty());
    QVERIFY(!ccu.timer_serial->isActive());
    QCOMPARE(systemstatus.Temperature.load(), 0u);
}

void TestCcuCodec::nonZeroRtn()
{
    RS232_CCU ccu;
    ccu.ReadSystemStatus();
    QSignalSpy spy(&ccu, &RS232_CCU::signal_RTN);
    LogCapture log;
    ccu.takeReceived(ccuResponse(0x34, statusInfo(253, 0, 0, 1)));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<char>(), char(0x34));
    QVERIFY(log.lines().contains("command feed back RTN wrong,RTN= 4")); // the byte as a character
    QCOMPARE(systemstatus.Temperature.load(), 0u);
}

void TestCcuCodec::noiseWithoutCarriageReturnIsBounded()
{
    RS232_CCU ccu;
    ccu.ReadSystemStatus();
    LogCapture log;
    const QByteArray noise(1000, 'x');
    for (int i = 0; i < 10; ++i)
        ccu.takeReceived(noise);
    QVERIFY(ccu.ReiceveData_all.size() <= RS232_CCU::MaxFrameLength);
    QVERIFY(log.contains("reiceive data error："));
    // A frame that starts cleanly after the drop is taken.
    ccu.ReiceveData_all.clear();
    ccu.takeReceived(ccuResponse(0, statusInfo(300, 0, 0, 0)));
    QCOMPARE(systemstatus.Temperature.load(), 300u);
}

void TestCcuCodec::lateAnswerDecodedByCurrentOrder()
{
    RS232_CCU ccu;
    ccu.ReadSystemStatus();
    ccu.ReadChargingData(); // the status answer comes after the next request
    LogCapture log;
    ccu.takeReceived(ccuResponse(0, statusInfo(253, 0, 0, 1)));
    QVERIFY(log.lines().contains("Recived charging data.size= 12"));
    QVERIFY(log.contains("Received charging data error"));
    QCOMPARE(systemstatus.Temperature.load(), 0u);
}

void TestCcuCodec::statusTemperature_data()
{
    QTest::addColumn<int>("raw");
    QTest::addColumn<QString>("text");
    QTest::newRow("0x00FD") << 0x00FD << "25.0Centigrade";
    QTest::newRow("0x0009") << 0x0009 << "0.0Centigrade";
    QTest::newRow("0x0000") << 0 << "0.0Centigrade";
    QTest::newRow("0xFFFF") << 0xFFFF << "6553.0Centigrade";
}

void TestCcuCodec::statusTemperature()
{
    QFETCH(int, raw);
    QFETCH(QString, text);
    RS232_CCU ccu;
    ccu.ReadSystemStatus();
    ccu.takeReceived(ccuResponse(0, statusInfo(quint16(raw), 0, 0, 0)));
    QCOMPARE(systemstatus.Temperature.load(), quint32(raw));
    QCOMPARE(systemstatus.TemperatureStr.text(), text);
}

void TestCcuCodec::statusFields()
{
    RS232_CCU ccu;
    ccu.ReadSystemStatus();
    // Only bits 0-1 of the gun bytes count.
    ccu.takeReceived(ccuResponse(0, statusInfo(253, 3, 0xFE, 0x05)));
    QCOMPARE(systemstatus.Sys_available_sta.load(), quint16(3));
    QCOMPARE(systemstatus.Gun1_available_sta.load(), quint16(2));
    QCOMPARE(systemstatus.Gun1_plugged_sta.load(), quint16(1));
    QCOMPARE(systemstatus.Sys_time.text(), QString("0a0b0c0d"));
}

void TestCcuCodec::alarmBytes()
{
    for (Shared<bool> *f : {&errorinfo.Err_Sys_EPO, &errorinfo.Err_Sys_Fan, &errorinfo.Err_Gun1_ISO,
                            &errorinfo.Err_Sys_Rectifier_Com, &errorinfo.Err_Gun1_others})
        *f = true;
    RS232_CCU ccu;
    ccu.ReadErrorData();
    LogCapture log;
    ccu.takeReceived(ccuResponse(0, QByteArray::fromHex("000501c2000000")));
    QVERIFY(log.lines().contains("Recived system alarm infomation.size= 7"));

    const QList<QPair<const char *, bool>> expected = {
        {"DoorOpen", errorinfo.Err_Sys_DoorOpen}, {"SPD", errorinfo.Err_Sys_SPD},
        {"PLC_Com", errorinfo.Err_Gun1_PLC_Com}, {"Elock", errorinfo.Err_Gun1_Elock},
        {"ISO_Com", errorinfo.Err_Gun1_ISO_Com}, {"ShortCircuit", errorinfo.Err_Gun1_Output_ShortCircuit}};
    for (const auto &e : expected)
        QVERIFY2(e.second, e.first);
    const bool cleared[] = {errorinfo.Err_Sys_EPO, errorinfo.Err_Sys_Rectifier, errorinfo.Err_Sys_TemperatureOver,
                            errorinfo.Err_Sys_Fan, errorinfo.Err_Sys_others, errorinfo.Err_Sys_PowerSupply,
                            errorinfo.Err_Sys_Rectifier_Com, errorinfo.Err_Gun1_ISO,
                            errorinfo.Err_Gun1_TemperatureOver, errorinfo.Err_Gun1_Rectifier,
                            errorinfo.Err_Gun1_others, errorinfo.Err_Gun1_Rectifier_Com};
    for (bool c : cleared)
        QVERIFY(!c);
    QVERIFY(!errorinfo.Err_Sys_RS232); // not the CCU's flag
}

void TestCcuCodec::shortAnswersLeaveRecords_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("sizeLine");
    QTest::addColumn<QString>("errorLine");
    QTest::newRow("boot-up 51") << 1 << 51 << "Received bootup infomation.info size= 51" << "Received bootup infomation error";
    QTest::newRow("status 11") << 2 << 11 << "" << "Received system status error";
    QTest::newRow("charging 41") << 3 << 41 << "Recived charging data.size= 41" << "Received charging data error";
    QTest::newRow("alarms 6") << 4 << 6 << "Recived system alarm infomation.size= 6" << "Received system alarm infomation error";
}

void TestCcuCodec::shortAnswersLeaveRecords()
{
    QFETCH(int, order);
    QFETCH(int, size);
    QFETCH(QString, sizeLine);
    QFETCH(QString, errorLine);
    errorinfo.Err_Sys_DoorOpen = true;
    RS232_CCU ccu;
    ccu.Order = order;
    LogCapture log;
    ccu.takeReceived(ccuResponse(0, QByteArray(size, char(0xFF))));
    if (!sizeLine.isEmpty())
        QVERIFY2(log.lines().contains(sizeLine), qPrintable(log.lines().join(" | ")));
    QVERIFY(log.lines().contains(errorLine));
    QVERIFY(bootupinfo.CCU_FW_Ver.isEmpty());
    QCOMPARE(systemstatus.Temperature.load(), 0u);
    QCOMPARE(charginfo.Charging_phase.load(), quint16(0));
    QVERIFY(errorinfo.Err_Sys_DoorOpen);
}

void TestCcuCodec::chargingData()
{
    QByteArray d;
    d.append(char(3));
    d.append(floatLE(398.5f)).append(floatLE(120.25f));
    d.append(char(1)).append(char(57)).append(char(100)).append(char(80));
    d.append(floatLE(405.0f)).append(floatLE(125.0f));
    d.append(be16(17)).append(be16(9)).append(be16(450)).append(be16(200));
    d.append(be16(550)).append(be16(0xFF38)); // 55.0 and -20.0 degC
    d.append(be16(41)).append(char(5)).append(char(7));
    d.append(QByteArray(42 - d.size(), '\0'));
    QCOMPARE(d.size(), 42);

    RS232_CCU ccu;
    ccu.ReadChargingData();
    ccu.takeReceived(ccuResponse(0, d));
    QCOMPARE(charginfo.Charging_phase.load(), quint16(3));
    QCOMPARE(charginfo.DC_Voltage_Out.load(), 398.5f);
    QCOMPARE(charginfo.DC_Current_Out.load(), 120.25f);
    QCOMPARE(charginfo.BMS_Protocol_Type.load(), quint16(1));
    QCOMPARE(charginfo.SOC_Current.load(), quint16(57));
    QCOMPARE(charginfo.SOC_Full.load(), quint16(100));
    QCOMPARE(charginfo.SOC_Bulk.load(), quint16(80));
    QCOMPARE(charginfo.DC_Voltage_Request.load(), 405.0f);
    QCOMPARE(charginfo.DC_Current_Request.load(), 125.0f);
    QCOMPARE(charginfo.Time_Full_Togo.load(), 17u);
    QCOMPARE(charginfo.Time_Bulk_Togo.load(), 9u);
    QCOMPARE(charginfo.BMS_Voltage_Limit.load(), 450u);
    QCOMPARE(charginfo.BMS_Current_Limit.load(), 200u);
    QCOMPARE(charginfo.BMS_Temperature_Limit.load(), qint16(550));
    QCOMPARE(charginfo.BMS_Temperature_Max.load(), qint16(-200));
    QCOMPARE(charginfo.BMS_Voltage_Max.load(), 41u);
    QCOMPARE(charginfo.Stop_Reason.load(), quint16(5));
    QCOMPARE(charginfo.Code_diagnostic.load(), quint16(7));
}

void TestCcuCodec::bootupData()
{
    QByteArray d;
    d.append(QByteArray("CCU-BAR-0001").leftJustified(24, '\0'));
    d.append(QByteArray::fromHex("001a2b3c4d5e0000"));
    d.append(char(1)).append('\0').append('\0');
    d.append(char(0x02));       // 35: self-check bit 1
    d.append(char(0x9D));       // 36: 10 01 11 01 -> e-lock 2, SPD on, door on, EPO 1
    d.append(be16(7500));       // 37-38
    d.append(char(1));          // 39
    d.append(QByteArray::fromHex("0102000720240501"));
    d.append(char(0x01));       // 48
    d.append(char(0x00));       // 49
    d.append(char(75));         // 50
    d.append(char(0x00));       // 51
    QCOMPARE(d.size(), 52);

    RS232_CCU ccu;
    ccu.ReadBootupinfo();
    LogCapture log;
    ccu.takeReceived(ccuResponse(0, d));
    QVERIFY(log.lines().contains("Received bootup infomation.info size= 52"));
    QCOMPARE(bootupinfo.ControllerBar.text(), QString::fromLatin1(d.left(24).toHex()));
    QCOMPARE(bootupinfo.ControllerMAC.text(), QString("001a2b3c4d5e0000"));
    QCOMPARE(bootupinfo.AvailableGunNum.load(), quint16(1));
    QCOMPARE(bootupinfo.EPO_Vol_Level.load(), quint16(1));
    QVERIFY(bootupinfo.DoorOpen_pro_enble);
    QVERIFY(bootupinfo.SPD_pro_enable);
    QCOMPARE(bootupinfo.E_lock_Type.load(), quint16(2));
    QVERIFY(bootupinfo.Gun1_SelfCheck_enable);
    QCOMPARE(bootupinfo.Max_DC_Voltage.load(), 7500u);
    QVERIFY(bootupinfo.PowerLimit_enable);
    QCOMPARE(bootupinfo.CCU_FW_Ver.text(), QString("0102000720240501"));
    QCOMPARE(bootupinfo.CCU_Adr.load(), quint16(1));
    QCOMPARE(bootupinfo.Fan_Speed.load(), quint16(75));
    QCOMPARE(bootupinfo.ACGunPower.load(), 0u);

    // Bytes 49 and 51 feed no field.
    d[49] = char(0xFF);
    d[51] = char(0xFF);
    ccu.ReadBootupinfo();
    ccu.takeReceived(ccuResponse(0, d));
    QCOMPARE(bootupinfo.Fan_Speed.load(), quint16(75));
    QCOMPARE(bootupinfo.CCU_Adr.load(), quint16(1));
    QCOMPARE(bootupinfo.ChargeMergingMode.load(), quint16(0));
}

QTEST_GUILESS_MAIN(TestCcuCodec)
#include "tst_ccu_codec.moc"
