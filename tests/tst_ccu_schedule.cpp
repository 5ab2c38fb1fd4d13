// test-components: core ccu
//
// The poll schedule, tick by tick: the scheduler slot is called directly and
// the frames it puts on a real pseudo-terminal are read back from the other
// end, so "one frame per tick" is what the line carries.

#include "ptysupport.h"
#include "runtimeoptions.h"
#include "testsupport.h"
#include "tst_ccu_codec_frames.h"

#include <QTimer>
#include <QtTest>

#include <functional>

namespace {
const QByteArray Bootup = "~210150410000FDB2\r";
const QByteArray StatusRead = "~210150420000FDB1\r";
const QByteArray Charging = "~21015043E00201FD38\r";
const QByteArray Alarms = "~210150460000FDAD\r";
const QByteArray Start = "~21015045C0047101FCCE\r";
const QByteArray Stop = "~21015045C0047100FCCF\r";
const QByteArray Current100 = "~21015045600A810000C842FB8D\r";
const QByteArray Power50 = "~21015045600A9100004842FB9B\r";
const QByteArray Voltage600 = "~21015044600A8400001644FB9D\r";
const QByteArray Voltage750 = "~21015044600A8400803B44FB87\r";
const QByteArray PowerLimitOn = "~21015044C0048501FCCA\r";
const QByteArray Fan300 = "~21015044C004872CFCB4\r";
} // namespace

using Request = std::function<void(RS232_CCU &)>;
Q_DECLARE_METATYPE(Request)

class TestCcuSchedule : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void freshLineBootupThenAlternates();
    void commandGoesFirstOneFramePerTick();
    void everyPendingRequestInPriorityOrder();
    void twoRequestsOfOneKindSendTheLatest();
    void bootupRereadAfterSetting_data();
    void bootupRereadAfterSetting();
    void alarmPollingAndRecovery_data();
    void alarmPollingAndRecovery();
    void linkLostAndRebuiltOnEleventhTick();
    void portThatCannotOpen();
    void haltedWorkerWritesNothing();

private:
    // The frames written since the last call (one tick's worth).
    QByteArray sent(RS232_CCU &ccu);
    void tickExpect(RS232_CCU &ccu, const QByteArray &frame);

    PtyLine m_line;
};

void TestCcuSchedule::initTestCase()
{
    QVERIFY(m_line.isValid());
}

void TestCcuSchedule::init()
{
    resetCcuState();
    CcuPortName = m_line.path();
    m_line.drain();
}

QByteArray TestCcuSchedule::sent(RS232_CCU &ccu)
{
    if (ccu.serial && ccu.serial->isOpen())
        ccu.serial->flush();
    QByteArray out;
    // Whatever was written is in the line within milliseconds; a short
    // quiet period after it shows that nothing else followed.
    while (m_line.waitReadable(out.isEmpty() ? 200 : 30))
        out += m_line.drain();
    return out;
}

void TestCcuSchedule::tickExpect(RS232_CCU &ccu, const QByteArray &frame)
{
    ccu.Rs232_Contrl();
    const QByteArray got = sent(ccu);
    if (got != frame)
        QFAIL(qPrintable(QString("tick wrote %1, expected %2")
                             .arg(QString::fromLatin1(got.toPercentEncoding()),
                                  QString::fromLatin1(frame.toPercentEncoding()))));
}

void TestCcuSchedule::freshLineBootupThenAlternates()
{
    RS232_CCU ccu;
    ccu.serialInit();
    QVERIFY(ccu.serial->isOpen());
    QCOMPARE(sent(ccu), Bootup);
    for (int i = 0; i < 2; ++i) {
        tickExpect(ccu, StatusRead);
        tickExpect(ccu, Charging);
    }
}

void TestCcuSchedule::commandGoesFirstOneFramePerTick()
{
    RS232_CCU ccu;
    ccu.serialInit();
    sent(ccu);
    ccu.Set_CurrentLimit_Request(100.0f);
    ccu.SendCommand_Gun1_Start_Request();
    tickExpect(ccu, Start);
    QVERIFY(!ccu.Request_Gun1_Start);
    tickExpect(ccu, Current100);
    tickExpect(ccu, StatusRead);
}

void TestCcuSchedule::everyPendingRequestInPriorityOrder()
{
    RS232_CCU ccu;
    ccu.serialInit();
    sent(ccu);
    ccu.Set_FanSpeedCtrl_Request(300);
    ccu.Set_PowerLimit_Request(50.0f);
    ccu.Set_VoltageLimit_Request(750.0f);
    ccu.Set_CurrentLimit_Request(100.0f);
    ccu.Set_PowerLimitEn_Request(true);
    ccu.SendCommand_Gun1_Stop_Request();
    ccu.SendCommand_Gun1_Start_Request();
    // Settings that change the boot-up information bring a boot-up read
    // before the next setting.
    for (const QByteArray &frame : {Start, Stop, PowerLimitOn, Bootup, Current100, Voltage750, Bootup, Power50,
                                    Fan300, Bootup, StatusRead, Charging})
        tickExpect(ccu, frame);
}

void TestCcuSchedule::twoRequestsOfOneKindSendTheLatest()
{
    RS232_CCU ccu;
    ccu.serialInit();
    sent(ccu);
    ccu.Set_VoltageLimit_Request(500.0f);
    ccu.Set_VoltageLimit_Request(600.0f);
    tickExpect(ccu, Voltage600);
    tickExpect(ccu, Bootup);
    tickExpect(ccu, StatusRead);
}

void TestCcuSchedule::bootupRereadAfterSetting_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("reread");
    QTest::newRow("current limit") << Request([](RS232_CCU &c) { c.Set_CurrentLimit_Request(100.0f); }) << Current100 << false;
    QTest::newRow("power limit") << Request([](RS232_CCU &c) { c.Set_PowerLimit_Request(50.0f); }) << Power50 << false;
    QTest::newRow("voltage limit") << Request([](RS232_CCU &c) { c.Set_VoltageLimit_Request(750.0f); }) << Voltage750 << true;
    QTest::newRow("power limit enable") << Request([](RS232_CCU &c) { c.Set_PowerLimitEn_Request(true); }) << PowerLimitOn << true;
    QTest::newRow("fan speed") << Request([](RS232_CCU &c) { c.Set_FanSpeedCtrl_Request(300); }) << Fan300 << true;
    QTest::newRow("start") << Request([](RS232_CCU &c) { c.SendCommand_Gun1_Start_Request(); }) << Start << false;
}

void TestCcuSchedule::bootupRereadAfterSetting()
{
    QFETCH(Request, request);
    QFETCH(QByteArray, frame);
    QFETCH(bool, reread);
    RS232_CCU ccu;
    ccu.serialInit();
    sent(ccu);
    request(ccu);
    tickExpect(ccu, frame);
    tickExpect(ccu, reread ? Bootup : StatusRead);
}

void TestCcuSchedule::alarmPollingAndRecovery_data()
{
    QTest::addColumn<int>("sys");
    QTest::addColumn<int>("gun");
    QTest::newRow("system alarm (1)") << 1 << 0;
    QTest::newRow("system fault (2)") << 2 << 0;
    QTest::newRow("gun fault (2)") << 0 << 2;
}

void TestCcuSchedule::alarmPollingAndRecovery()
{
    QFETCH(int, sys);
    QFETCH(int, gun);
    RS232_CCU ccu;
    ccu.serialInit();
    sent(ccu);
    tickExpect(ccu, StatusRead);
    ccu.takeReceived(ccuResponse(0, statusInfo(253, quint8(sys), quint8(gun), 1)));

    // A start asked for meanwhile waits; alarm and status reads alternate.
    ccu.SendCommand_Gun1_Start_Request();
    tickExpect(ccu, Alarms);
    tickExpect(ccu, StatusRead);
    ccu.takeReceived(ccuResponse(0, statusInfo(253, quint8(sys), quint8(gun), 1)));
    tickExpect(ccu, Alarms);
    QVERIFY(ccu.Request_Gun1_Start);

    // A stop goes out ahead of the next read.
    ccu.SendCommand_Gun1_Stop_Request();
    tickExpect(ccu, Stop);
    tickExpect(ccu, StatusRead);

    // The fault clears: the schedule returns, the waiting start goes first.
    ccu.takeReceived(ccuResponse(0, statusInfo(253, 0, 0, 1)));
    tickExpect(ccu, Start);
    tickExpect(ccu, Charging); // the routine reads go on where they left off
}

void TestCcuSchedule::linkLostAndRebuiltOnEleventhTick()
{
    RS232_CCU ccu;
    ccu.serialInit();
    QCOMPARE(sent(ccu), Bootup);
    LogCapture log;

    for (quint32 i = 1; i < RS232_CCU::LinkLossThreshold; ++i)
        ccu.Serial_error();
    QVERIFY(!errorinfo.Err_Sys_RS232);
    // An answer breaks the run of misses but keeps the count.
    ccu.takeReceived(ccuResponse(0, QByteArray(52, '\0')));
    QCOMPARE(uint_err_rs232.load(), RS232_CCU::LinkLossThreshold - 1);
    for (quint32 i = 1; i < RS232_CCU::LinkLossThreshold; ++i)
        ccu.Serial_error();
    QVERIFY(!errorinfo.Err_Sys_RS232);
    ccu.Serial_error();
    QVERIFY(errorinfo.Err_Sys_RS232);
    QVERIFY(log.contains("RS232 communication lost."));
    const quint32 counted = uint_err_rs232;
    QCOMPARE(counted, 2 * RS232_CCU::LinkLossThreshold - 1);
    ccu.Serial_error();
    QCOMPARE(uint_err_rs232.load(), counted);

    // Ten silent ticks with the port closed, then a fresh port and a boot-up read.
    ccu.SendCommand_Gun1_Start_Request();
    for (int tick = 1; tick <= 10; ++tick) {
        tickExpect(ccu, QByteArray());
        QCOMPARE(int(closetime), tick);
        QVERIFY(!ccu.serial->isOpen());
    }
    tickExpect(ccu, Bootup);
    QCOMPARE(int(closetime), 0);
    QVERIFY(ccu.serial->isOpen());

    ccu.takeReceived(ccuResponse(0, QByteArray(52, '\0')));
    QVERIFY(!errorinfo.Err_Sys_RS232);
    QCOMPARE(uint_err_rs232.load(), 0u);
    QVERIFY(log.contains("RS232 communication sucessed."));
    tickExpect(ccu, Start);
}

void TestCcuSchedule::portThatCannotOpen()
{
    CcuPortName = "/nonexistent/ttyCCU";
    RS232_CCU ccu;
    LogCapture log;
    ccu.serialInit();
    QVERIFY(!ccu.serial->isOpen());
    for (quint32 i = 1; i < RS232_CCU::LinkLossThreshold; ++i) {
        ccu.Rs232_Contrl();
        QVERIFY(ccu.timer_serial->isActive()); // the request counts as sent
        ccu.Serial_error();
    }
    QVERIFY2(log.lines().isEmpty(), qPrintable(log.lines().join(" | ")));
    QCOMPARE(uint_err_rs232.load(), RS232_CCU::LinkLossThreshold - 1);
    ccu.Rs232_Contrl();
    ccu.Serial_error();
    QVERIFY(errorinfo.Err_Sys_RS232);
    for (int tick = 0; tick < 11; ++tick)
        ccu.Rs232_Contrl();
    QCOMPARE(int(closetime), 0); // rebuilt, and still closed
    QVERIFY(!ccu.serial->isOpen());
    QVERIFY(errorinfo.Err_Sys_RS232);
}

void TestCcuSchedule::haltedWorkerWritesNothing()
{
    RS232_CCU ccu;
    ccu.serialInit();
    sent(ccu);
    ccu.m_halted = true;
    ccu.SendCommand_Gun1_Start_Request();
    tickExpect(ccu, QByteArray());
}

QTEST_GUILESS_MAIN(TestCcuSchedule)
#include "tst_ccu_schedule.moc"
