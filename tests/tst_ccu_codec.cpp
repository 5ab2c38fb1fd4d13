// test-components: common ccu

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

    void requestFrames_data()
    {
        QTest::addColumn<Send>("send");
        QTest::addColumn<QByteArray>("frame");
        const auto row = [](const char *name, Send send, const char *frame) {
            QTest::newRow(name) << send << QByteArray(frame);
        };
        row("boot-up read", [](RS232_CCU &c) { c.ReadBootupinfo(); }, "~210150410000FDB2\r");
        row("status read", [](RS232_CCU &c) { c.ReadSystemStatus(); }, "~210150420000FDB1\r");
        row("charging read", [](RS232_CCU &c) { c.ReadChargingData(); }, "~21015043E00201FD38\r");
        row("alarm read", [](RS232_CCU &c) { c.ReadErrorData(); }, "~210150460000FDAD\r");
        row("start", [](RS232_CCU &c) { c.SendCommand_Gun1_Start(); }, "~21015045C0047101FCCE\r");
        row("stop", [](RS232_CCU &c) { c.SendCommand_Gun1_Stop(); }, "~21015045C0047100FCCF\r");
        row("suspend", [](RS232_CCU &c) { c.SendCommand_Gun1_Suspend(); }, "~21015045C0047102FCCD\r");
        row("lock", [](RS232_CCU &c) { c.SendCommand_Gun1_Lock(); }, "~21015045C00471E0FCBA\r");
        row("unlock", [](RS232_CCU &c) { c.SendCommand_Gun1_Unlock(); }, "~21015045C00471E1FCB9\r");
        row("pending", [](RS232_CCU &c) { c.SendCommand_Gun1_Pending(); }, "~21015045C00471AAFCAD\r");
        row("voltage limit 750", [](RS232_CCU &c) { c.Set_VoltageLimit(750.0f); }, "~21015044600A8400803B44FB87\r");
        row("current limit 100", [](RS232_CCU &c) { c.Set_CurrentLimit(100.0f); }, "~21015045600A810000C842FB8D\r");
        row("power limit 50", [](RS232_CCU &c) { c.Set_PowerLimit(50.0f); }, "~21015045600A9100004842FB9B\r");
        row("power limit on", [](RS232_CCU &c) { c.Set_PowerLimitEn(true); }, "~21015044C0048501FCCA\r");
        row("power limit off", [](RS232_CCU &c) { c.Set_PowerLimitEn(false); }, "~21015044C0048500FCCB\r");
        row("fan 300 -> 0x2C", [](RS232_CCU &c) { c.Set_FanSpeedCtrl(300); }, "~21015044C004872CFCB4\r");
        row("alarm mask", [](RS232_CCU &c) { c.Set_AlarmMask(); }, "~21015044A006830004FC69\r");
    }
    void requestFrames()
    {
        QFETCH(Send, send);
        QFETCH(QByteArray, frame);
        RS232_CCU ccu;
        send(ccu);
        QCOMPARE(ccu.Senddata, frame);
    }

    void conversionAndLengthEdges()
    {
        const auto bytes = [](const char *text) { return RS232_CCU::HexAciiToHex_ByteArray(text); };
        QCOMPARE(bytes(""), QByteArray());
        QCOMPARE(bytes("A"), QByteArray());
        QCOMPARE(bytes("0a1"), QByteArray::fromHex("0a")); // an odd tail is ignored
        QCOMPARE(bytes("7E7e"), QByteArray::fromHex("7e7e"));
        QCOMPARE(bytes("zzG1"), QByteArray::fromHex("0001")); // non-digits are 0
        QCOMPARE(RS232_CCU::CalCheckSum(QByteArray()), 0u);
        QCOMPARE(RS232_CCU::CalCheckSum(QByteArray::fromHex("ff")), 0xFFFFFF01u); // bytes are unsigned
        QCOMPARE(RS232_CCU::FindChecksum("~210150420000fdb1\r"), 0xFDB1u);
        QCOMPARE(RS232_CCU::FindChecksum("AB\r"), 0u);
        // LENGTH: LENID in 12 bits under a 4-bit check of its nibble sum, read in bounds.
        QCOMPARE(RS232_CCU::CalLength(16), QByteArray::fromHex("f010"));
        QCOMPARE(RS232_CCU::CalLength(4095), QByteArray::fromHex("3fff"));
        const QByteArray header = QByteArray::fromHex("210150007054");
        QCOMPARE(RS232_CCU::FindLength(header, 4), 84u);
        LogCapture log;
        QCOMPARE(RS232_CCU::FindLength(header, 5), 0u);
        QCOMPARE(RS232_CCU::FindLength(header, 255), 0u);
        QCOMPARE(log.count("Checked data lenth wrong!!"), 2);
    }

    // One status read answered by these deliveries; empty line: nothing
    // logged; answered: the response timer stopped. The next sound frame is
    // decoded in any case.
    void deliveries_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QString>("line");
        QTest::addColumn<uint>("temperature");
        QTest::addColumn<bool>("answered");
        const QByteArray info = statusInfo(253, 0, 0, 1);
        const QByteArray status = ccuResponse(0, info);
        const QString garbage = "reiceive data error：";
        const QString badLength = "Received data lenth wrong!!";
        const QString badFrame = "CCU frame with a bad checksum dropped";
        QByteArray flipped = status, badSum = status, badLchk = status;
        flipped[13] = '8'; // temperature 0x80FD: a damaged digit that is still hex
        badSum[status.size() - 2] = badSum[status.size() - 2] == '0' ? '1' : '0';
        const int length = ccuLength(24);
        const QByteArray head = QByteArray::fromHex("21015000");
        using L = QList<QByteArray>;
        QTest::newRow("over three reads") << L{status.left(10), status.mid(10, 20), status.mid(30)} << "" << 253u << true;
        QTest::newRow("lower case") << L{ccuResponse(0, statusInfo(0x1AB, 0, 0, 1), true)} << "" << 0x1ABu << true;
        QTest::newRow("17 characters") << L{"~21015000000FDB1\r"} << garbage << 0u << false;
        QTest::newRow("no SOI") << L{"x" + status.mid(1)} << garbage << 0u << false;
        QTest::newRow("noise without CR, bounded") << QVector<QByteArray>(10, QByteArray(1000, 'x')).toList() << garbage << 0u << false;
        QTest::newRow("stray bytes before the frame") << L{"\x01~~" + status} << "" << 253u << true;
        QTest::newRow("frame after a broken one") << L{status.left(20) + status} << "" << 253u << true;
        // The first answers the request; the second answers nothing.
        QTest::newRow("two frames in one read") << L{ccuResponse(0, statusInfo(100, 0, 0, 1)) + status} << "" << 100u << true;
        QTest::newRow("digit damaged") << L{flipped} << badFrame << 0u << true;
        QTest::newRow("CHKSUM wrong") << L{badSum} << badFrame << 0u << true;
        QTest::newRow("LCHKSUM wrong")
            << L{ccuFrame((head + char((length >> 8) ^ 0x10) + char(length & 0xFF) + info).toHex().toUpper())}
            << badFrame << 0u << true;
        QTest::newRow("not hexadecimal")
            << L{ccuFrame((head + char(length >> 8) + char(length & 0xFF)).toHex().toUpper() + "00FD00000001G00A0B0C0D00")}
            << badFrame << 0u << true;
        const int wrong = ccuLength(22);
        QTest::newRow("wrong LENID") << L{ccuFrame((head + char(wrong >> 8) + char(wrong & 0xFF) + info).toHex().toUpper())}
                                     << badLength << 0u << true;
        QTest::newRow("wrong address") << L{ccuResponse(0, info, false, 0x02)} << "" << 0u << true;
        QTest::newRow("RTN 0x34") << L{ccuResponse(0x34, info)} << "command feed back RTN wrong,RTN= 4" << 0u << true;
    }
    void deliveries()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QString, line);
        QFETCH(uint, temperature);
        QFETCH(bool, answered);
        RS232_CCU ccu;
        ccu.ReadSystemStatus();
        QSignalSpy rtn(&ccu, &RS232_CCU::signal_RTN);
        LogCapture log;
        for (const QByteArray &piece : pieces)
            ccu.takeReceived(piece);
        QVERIFY2(line.isEmpty() ? log.lines().isEmpty() : log.contains(line), qPrintable(log.lines().join(" | ")));
        QCOMPARE(systemstatus.Temperature.load(), temperature);
        QCOMPARE(ccu.timer_serial->isActive(), !answered);
        QCOMPARE(rtn.count(), line.contains("RTN") ? 1 : 0);
        QVERIFY(ccu.ReiceveData_all.size() <= RS232_CCU::MaxFrameLength);
        ccu.ReadSystemStatus();
        ccu.takeReceived(ccuResponse(0, statusInfo(300, 0, 0, 1)));
        QCOMPARE(systemstatus.Temperature.load(), 300u);
    }

    void statusDecoding_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<QString>("text");
        QTest::newRow("0x00FD") << 0x00FD << "25.3Centigrade";
        QTest::newRow("0x0009") << 0x0009 << "0.9Centigrade";
        QTest::newRow("0x00FA, whole degrees") << 0x00FA << "25.0Centigrade";
        QTest::newRow("0xFFFF") << 0xFFFF << "6553.5Centigrade";
    }
    void statusDecoding()
    {
        QFETCH(int, raw);
        QFETCH(QString, text);
        RS232_CCU ccu;
        ccu.ReadSystemStatus();
        ccu.takeReceived(ccuResponse(0, statusInfo(quint16(raw), 3, 0xFE, 0x05)));
        const SysStatus &st = systemstatus;
        QCOMPARE(st.TemperatureStr.text() + ' ' + st.Sys_time.text(), text + " 0a0b0c0d");
        QCOMPARE((QList<uint>{st.Sys_available_sta, st.Gun1_available_sta, st.Gun1_plugged_sta}), (QList<uint>{3, 2, 1}));
    }

    void alarmBytes()
    {
        for (Shared<bool> *f : {&errorinfo.Err_Sys_EPO, &errorinfo.Err_Gun1_ISO, &errorinfo.Err_Sys_Rectifier_Com})
            *f = true;
        RS232_CCU ccu;
        ccu.ReadErrorData();
        ccu.takeReceived(ccuResponse(0, QByteArray::fromHex("000501c2000000")));
        const ErrorInfo &e = errorinfo;
        QCOMPARE((QVector<bool>{e.Err_Sys_DoorOpen, e.Err_Sys_SPD, e.Err_Gun1_PLC_Com, e.Err_Gun1_Elock, e.Err_Gun1_ISO_Com,
                                e.Err_Gun1_Output_ShortCircuit, e.Err_Sys_EPO, e.Err_Sys_Rectifier, e.Err_Sys_TemperatureOver,
                                e.Err_Sys_Fan, e.Err_Sys_others, e.Err_Sys_PowerSupply, e.Err_Sys_Rectifier_Com, e.Err_Gun1_ISO,
                                e.Err_Gun1_TemperatureOver, e.Err_Gun1_Rectifier, e.Err_Gun1_others,
                                e.Err_Gun1_Rectifier_Com, e.Err_Sys_RS232}),
                 QVector<bool>(6, true) + QVector<bool>(13, false));
    }

    // The flags of a fault stay while the CCU still reports alarm or fault,
    // and go with the first status that reports neither.
    void alarmFlagsEndWithTheFault_data()
    {
        QTest::addColumn<int>("sys");
        QTest::addColumn<int>("gun");
        QTest::addColumn<bool>("kept");
        QTest::newRow("system alarm (1)") << 1 << 0 << true;
        QTest::newRow("system fault (2)") << 2 << 1 << true;
        QTest::newRow("gun fault (2)") << 0 << 2 << true;
        QTest::newRow("all clear") << 0 << 0 << false;
        QTest::newRow("updating (3), delivering") << 3 << 1 << false;
    }
    void alarmFlagsEndWithTheFault()
    {
        QFETCH(int, sys);
        QFETCH(int, gun);
        QFETCH(bool, kept);
        RS232_CCU ccu;
        ccu.ReadErrorData();
        ccu.takeReceived(ccuResponse(0, QByteArray::fromHex("01ff01ff000000")));
        ccu.ReadSystemStatus();
        ccu.takeReceived(ccuResponse(0, statusInfo(253, quint8(sys), quint8(gun), 1)));
        const ErrorInfo &e = errorinfo;
        QCOMPARE((QVector<bool>{e.Err_Sys_DoorOpen, e.Err_Sys_PowerSupply, e.Err_Sys_Rectifier_Com, e.Err_Gun1_ISO,
                                e.Err_Gun1_Elock, e.Err_Gun1_Output_ShortCircuit, e.Err_Gun1_PLC_Com}),
                 QVector<bool>(7, kept));
    }

    void shortAnswersLeaveRecords_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("line");
        QTest::newRow("boot-up 51") << 1 << 51 << "Received bootup infomation error";
        QTest::newRow("status 11") << 2 << 11 << "Received system status error";
        QTest::newRow("charging 41") << 3 << 41 << "Received charging data error";
        QTest::newRow("alarms 6") << 4 << 6 << "Received system alarm infomation error";
    }
    void shortAnswersLeaveRecords()
    {
        QFETCH(int, order);
        QFETCH(int, size);
        QFETCH(QString, line);
        errorinfo.Err_Sys_DoorOpen = true;
        RS232_CCU ccu;
        const Send reads[] = {[](RS232_CCU &c) { c.ReadBootupinfo(); }, [](RS232_CCU &c) { c.ReadSystemStatus(); },
                              [](RS232_CCU &c) { c.ReadChargingData(); }, [](RS232_CCU &c) { c.ReadErrorData(); }};
        reads[order - 1](ccu);
        LogCapture log;
        ccu.takeReceived(ccuResponse(0, QByteArray(size, char(0xFF))));
        QVERIFY(log.lines().contains(line));
        QVERIFY(bootupinfo.CCU_FW_Ver.isEmpty() && systemstatus.Temperature == 0u && charginfo.Charging_phase == 0
                && errorinfo.Err_Sys_DoorOpen);
    }

    void chargingData()
    {
        // Times 17 and 9, limits 450 V and 200 A, 55.0 and -20.0 degC, 41 V, reason 5, code 7.
        const QByteArray d = "\x03" + floatLE(398.5f) + floatLE(120.25f) + QByteArray::fromHex("01396450")
            + floatLE(405.0f) + floatLE(125.0f) + QByteArray::fromHex("0011000901c200c80226ff3800290507 0000000000");
        RS232_CCU ccu;
        ccu.ReadChargingData();
        ccu.takeReceived(ccuResponse(0, d));
        const ChargInfo &c = charginfo;
        QCOMPARE((QList<double>{double(c.Charging_phase), c.DC_Voltage_Out, c.DC_Current_Out,
                                double(c.BMS_Protocol_Type), double(c.SOC_Current), double(c.SOC_Full),
                                double(c.SOC_Bulk), c.DC_Voltage_Request, c.DC_Current_Request,
                                double(c.Time_Full_Togo), double(c.Time_Bulk_Togo), double(c.BMS_Voltage_Limit),
                                double(c.BMS_Current_Limit), double(c.BMS_Temperature_Limit),
                                double(c.BMS_Temperature_Max), double(c.BMS_Voltage_Max), double(c.Stop_Reason),
                                double(c.Code_diagnostic)}),
                 (QList<double>{3, 398.5, 120.25, 1, 57, 100, 80, 405, 125, 17, 9, 450, 200, 550, -200, 41, 5, 7}));
    }

    void bootupData()
    {
        // Bar code, MAC, 1 gun; self-check bit 1; 10 01 11 01: e-lock 2, SPD, door, EPO 1;
        // 7500; power limit on; firmware; address 1; fan speed 75.
        const QByteArray d = QByteArray("CCU-BAR-0001").leftJustified(24, '\0')
            + QByteArray::fromHex("001a2b3c4d5e0000 010000 02 9d 1d4c 01 0102000720240501 01004b00");
        RS232_CCU ccu;
        ccu.ReadBootupinfo();
        ccu.takeReceived(ccuResponse(0, d));
        const BootupInfo &b = bootupinfo;
        QCOMPARE(b.ControllerBar.text(), QString::fromLatin1(d.left(24).toHex()));
        QCOMPARE(b.ControllerMAC.text(), QString("001a2b3c4d5e0000"));
        QCOMPARE(b.CCU_FW_Ver.text(), QString("0102000720240501"));
        QCOMPARE((QList<uint>{b.AvailableGunNum, b.EPO_Vol_Level, b.DoorOpen_pro_enble, b.SPD_pro_enable,
                              b.E_lock_Type, b.Gun1_SelfCheck_enable, b.Max_DC_Voltage, b.PowerLimit_enable,
                              b.CCU_Adr, b.Fan_Speed, b.ACGunPower}),
                 (QList<uint>{1, 1, 1, 1, 2, 1, 7500, 1, 1, 75, 0}));
    }
};

QTEST_GUILESS_MAIN(TestCcuCodec)
#include "tst_ccu_codec.moc"
