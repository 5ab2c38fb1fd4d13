// test-components: common ccu
// The poll schedule, tick by tick, read back from a real pseudo-terminal so
// that "one frame per tick" is what the line carries.

#include "ptysupport.h"
#include "runtimeoptions.h"
#include "testsupport.h"
#include "tst_ccu_codec_frames.h"

#include <QTimer>
#include <QtTest>

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
const QByteArray PowerLimitOn = "~21015044C0048501FCCA\r";
const QByteArray Fan300 = "~21015044C004872CFCB4\r";
} // namespace

class TestCcuSchedule : public QObject
{
    Q_OBJECT

    PtyLine m_line;

    // The frames written since the last call, ended by a short quiet period.
    QByteArray sent(RS232_CCU &ccu)
    {
        if (ccu.serial && ccu.serial->isOpen())
            ccu.serial->flush();
        QByteArray out;
        while (m_line.waitReadable(out.isEmpty() ? 200 : 30))
            out += m_line.drain();
        return out;
    }
    QByteArray tick(RS232_CCU &ccu)
    {
        ccu.Rs232_Contrl();
        return sent(ccu);
    }
    void open(RS232_CCU &ccu)
    {
        ccu.serialInit();
        QVERIFY(ccu.serial->isOpen());
        QCOMPARE(sent(ccu), Bootup); // a fresh line starts with the boot-up read
    }

private slots:
    void initTestCase() { QVERIFY(m_line.isValid()); }
    void init()
    {
        resetCcuState();
        CcuPortName = m_line.path();
        m_line.drain();
    }

    // One frame per tick, commands first; settings that change the boot-up
    // information bring a boot-up read before the next setting; of two
    // requests of one kind the latest goes; then status and charging reads.
    void everyPendingRequestInPriorityOrder()
    {
        RS232_CCU ccu;
        open(ccu);
        ccu.Set_FanSpeedCtrl_Request(300);
        ccu.Set_PowerLimit_Request(50.0f);
        ccu.Set_VoltageLimit_Request(500.0f);
        ccu.Set_CurrentLimit_Request(100.0f);
        ccu.Set_VoltageLimit_Request(600.0f);
        ccu.Set_PowerLimitEn_Request(true);
        ccu.SendCommand_Gun1_Stop_Request();
        ccu.SendCommand_Gun1_Start_Request();
        for (const QByteArray &expected : {Start, Stop, PowerLimitOn, Bootup, Current100, Voltage600, Bootup, Power50,
                                           Fan300, Bootup, StatusRead, Charging, StatusRead, Charging})
            QCOMPARE(tick(ccu), expected);
    }

    void alarmPollingAndRecovery_data()
    {
        QTest::addColumn<int>("sys");
        QTest::addColumn<int>("gun");
        QTest::newRow("system alarm (1)") << 1 << 0;
        QTest::newRow("system fault (2)") << 2 << 0;
        QTest::newRow("gun fault (2)") << 0 << 2;
    }
    void alarmPollingAndRecovery()
    {
        QFETCH(int, sys);
        QFETCH(int, gun);
        const QByteArray fault = ccuResponse(0, statusInfo(253, quint8(sys), quint8(gun), 1));
        RS232_CCU ccu;
        open(ccu);
        QCOMPARE(tick(ccu), StatusRead);
        ccu.takeReceived(fault);

        // A start asked for meanwhile waits; alarm and status reads alternate.
        ccu.SendCommand_Gun1_Start_Request();
        QCOMPARE(tick(ccu), Alarms);
        QCOMPARE(tick(ccu), StatusRead);
        ccu.takeReceived(fault);
        QCOMPARE(tick(ccu), Alarms);
        // A stop goes out ahead of the next read.
        ccu.SendCommand_Gun1_Stop_Request();
        QCOMPARE(tick(ccu), Stop);
        QCOMPARE(tick(ccu), StatusRead);

        // The fault clears: the waiting start goes first, the routine reads
        // go on where they left off.
        ccu.takeReceived(ccuResponse(0, statusInfo(253, 0, 0, 1)));
        QCOMPARE(tick(ccu), Start);
        QCOMPARE(tick(ccu), Charging);
    }

    // Under a warning (system state 1) a charge goes on: its figures are
    // read in turn with the alarms and the status until it has finished.
    void chargeUnderAlarmKeepsItsFigures()
    {
        RS232_CCU ccu;
        open(ccu);
        QCOMPARE(tick(ccu), StatusRead);
        ccu.takeReceived(ccuResponse(0, statusInfo(253, 1, 1, 1)));
        QCOMPARE(tick(ccu), Alarms);
        QCOMPARE(tick(ccu), StatusRead);
        QCOMPARE(tick(ccu), Charging);
        ccu.takeReceived(ccuResponse(0, QByteArray(1, '\x06') + QByteArray(41, '\0'))); // finished
        QCOMPARE(tick(ccu), Alarms);
        QCOMPARE(tick(ccu), StatusRead);
        ccu.takeReceived(ccuResponse(0, statusInfo(253, 1, 0, 1))); // no longer delivering
        QCOMPARE(tick(ccu), Alarms);
        QCOMPARE(tick(ccu), StatusRead);
        QCOMPARE(tick(ccu), Alarms);
    }

    // The boot-up read goes out again after every time-out and after a
    // damaged answer, until one answer brings the CCU's information.
    void bootupReadUntilAnswered()
    {
        RS232_CCU ccu;
        open(ccu);
        ccu.Serial_error();
        QCOMPARE(tick(ccu), Bootup);
        QByteArray damaged = ccuResponse(0, QByteArray(52, '\x11'));
        damaged[20] = '7';
        ccu.takeReceived(damaged);
        QCOMPARE(tick(ccu), Bootup);
        ccu.takeReceived(ccuResponse(0, QByteArray(52, '\x11')));
        QCOMPARE(bootupinfo.CCU_FW_Ver.text(), QString("1111111111111111"));
        QCOMPARE(tick(ccu), StatusRead);
        QCOMPARE(tick(ccu), Charging);
    }

    // Answers that come after their request timed out are taken for the
    // request they answer (by their length) or for none; they never stop
    // the wait for the answer of the request now on the line.
    void lateAnswersGoToTheirRequest()
    {
        const QByteArray status = ccuResponse(0, statusInfo(253, 0, 0, 1));
        const QByteArray charging = ccuResponse(0, QByteArray(1, '\x03') + QByteArray(41, '\0'));
        RS232_CCU ccu;
        open(ccu);
        ccu.takeReceived(ccuResponse(0, QByteArray(52, '\0')));
        QCOMPARE(tick(ccu), StatusRead);
        ccu.Serial_error();
        QCOMPARE(tick(ccu), Charging);
        ccu.takeReceived(status); // late, while the charging read waits
        QCOMPARE(systemstatus.Temperature.load(), 253u);
        QVERIFY(ccu.timer_serial->isActive());
        QCOMPARE(charginfo.Charging_phase.load(), quint16(0));
        ccu.takeReceived(charging); // its own answer
        QVERIFY(!ccu.timer_serial->isActive());
        QCOMPARE(charginfo.Charging_phase.load(), quint16(3));

        // Two reads time out; an answer that fits neither the alarm read on
        // the line nor them (a charging answer to a status read) is nothing.
        systemstatus.Sys_available_sta = 1;
        charginfo.Charging_phase = 0;
        QCOMPARE(tick(ccu), Alarms);
        ccu.Serial_error();
        QCOMPARE(tick(ccu), StatusRead);
        ccu.Serial_error();
        QCOMPARE(tick(ccu), Alarms);
        ccu.takeReceived(ccuResponse(0, QByteArray(1, '\x01') + QByteArray(41, '\0')));
        QCOMPARE(charginfo.Charging_phase.load(), quint16(0));
        QVERIFY(ccu.timer_serial->isActive());
        QCOMPARE(uint_err_rs232.load(), 3u);
        QVERIFY(!errorinfo.Err_Sys_RS232);
    }

    void linkLostAndRebuiltOnEleventhTick()
    {
        RS232_CCU ccu;
        open(ccu);
        LogCapture log;
        const auto miss = [&ccu](quint32 times) {
            for (quint32 i = 0; i < times; ++i)
                ccu.Serial_error();
        };
        miss(RS232_CCU::LinkLossThreshold - 1);
        QVERIFY(!errorinfo.Err_Sys_RS232);
        miss(2); // the count stops once the link is lost
        QVERIFY(errorinfo.Err_Sys_RS232);
        QCOMPARE(log.count("RS232 communication lost."), 1);
        QCOMPARE(uint_err_rs232.load(), RS232_CCU::LinkLossThreshold);

        // Ten silent ticks with the port closed, then a fresh port and a boot-up read.
        ccu.SendCommand_Gun1_Start_Request();
        for (int t = 1; t <= 10; ++t) {
            QVERIFY(tick(ccu).isEmpty());
            QVERIFY(closetime == t && !ccu.serial->isOpen());
        }
        QCOMPARE(tick(ccu), Bootup);
        QVERIFY(closetime == 0 && ccu.serial->isOpen());

        ccu.takeReceived(ccuResponse(0, QByteArray(52, '\0')));
        QVERIFY(!errorinfo.Err_Sys_RS232);
        QCOMPARE(uint_err_rs232.load(), 0u);
        QVERIFY(log.contains("RS232 communication sucessed."));
        QCOMPARE(tick(ccu), Start);
    }
};

QTEST_GUILESS_MAIN(TestCcuSchedule)
#include "tst_ccu_schedule.moc"
