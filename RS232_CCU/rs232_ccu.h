#ifndef RS232_CCU_H
#define RS232_CCU_H

// The HMI's side of the RS232 line to the charging control unit (CCU): the
// frame codec, the one-request-per-second poll schedule, the decoding of the
// answers into the CCU records and the command frames. The object lives on
// the CCU worker thread (see Thread_RS232_CCU1); nothing else touches its
// members while that thread runs.

#include "serialsettings.h"
#include "sharedvalue.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QVector>

#include <atomic>

class QTimer;

// Paces the poll schedule. Process-wide; made on the worker thread as that
// thread starts and deleted there as it finishes (null meanwhile), so that a
// stalled GUI thread never stops the poll.
extern QTimer *timer_rs232_interval;

// Link counters; only the worker thread changes them.
extern Shared<quint32> uint_err_rs232; // unanswered requests since start or the last recovery
extern Shared<quint16> closetime;      // ticks spent with the link lost
extern Shared<int> pulse;              // 0: status read next, 1: charging-data read next

class RS232_CCU : public QObject
{
    Q_OBJECT
public:
    explicit RS232_CCU(QObject *parent = nullptr);
    ~RS232_CCU() override;

    // The link counts as lost after this many requests in a row have gone
    // unanswered: five seconds of silence at one request per second. A CCU
    // that skips an answer now and then (busy with a contactor, a noisy
    // line) does not trip it, while a dead line is reported well before the
    // driver would give up on a start.
    static constexpr quint32 LinkLossThreshold = 5;
    // No frame is longer than this: SOI, 12 header characters, 4095 INFO
    // characters, 4 checksum characters, EOI.
    static constexpr int MaxFrameLength = 1 + 12 + 4095 + 4 + 1;
    static constexpr int ResponseTimeoutMs = 500;

    QSerialPort *serial = nullptr;
    QTimer *timer_serial = nullptr;
    bool m_running = false;
    bool Request_ReadBootup = false;

    bool Request_Set_PowerLimit = false;
    float PowerLimit = 0;
    bool Request_Set_PowerLimitEn = false;
    bool EnablePowerLimit = false;
    bool Request_Set_VoltageLimit = false;
    float VoltageLimit = 0;
    bool Request_Set_CurrentLimit = false;
    float CurrentLimit = 0;
    bool Request_Gun1_Start = false;
    bool Request_Gun1_Stop = false;
    bool Request_FanSpeedCtrl = false;
    float FanSpeedCtrl = 0;
    bool Request_Set_AlarmMask = false;

    serailSettings RS232_CCU_Settings;

    QByteArray Senddata;
    QByteArray Senddata_content_Hex;
    QByteArray Senddata_content_HexAscii;
    int Order = 0;
    QByteArray m_readBuf;
    QByteArray ReiceveData_all;
    QByteArray ReiceveData_content_HexAscii;
    QByteArray ReiceveData_content_Hex;
    QByteArray ReiceveData_Datainfo;
    quint16 Msg_CID2 = 0;
    quint16 Msg_LENID = 0;
    QByteArray Msg_INFO;
    quint32 Msg_CHKSUM = 0;
    bool RS232_Busy = false;

    // Codec.
    static quint16 HexToAscii(quint16 value);
    static quint16 AsciiToHex(quint16 character);
    static QByteArray HexToHexAcii_ByteArray(const QByteArray &bytes);
    static QByteArray HexAciiToHex_ByteArray(const QByteArray &text);
    static QByteArray CalLength(uint lenid);
    static quint32 CalCheckSum(const QByteArray &bytes);
    static uint FindLength(const QByteArray &bytes, quint8 position);
    static uint FindChecksum(const QByteArray &frame);

    void SendCommand_data_prepare();
    void Rs232_start();
    void ReadBootupinfo();
    void ReadErrorData();
    void WriteSerial();

    // One delivery from the line, as ReceiveData hands it on: reassembly,
    // validation and decoding.
    void takeReceived(const QByteArray &chunk);

    // Requests that timed out and whose answers may still come, oldest first;
    // a CCU answers in order, so a few are enough. An answer is recognised
    // as late for this long after its request timed out (1.5 s after the
    // request), less than the two seconds until the same read is asked again.
    static constexpr int MaxLateRequests = 3;
    static constexpr int LateAnswerWindowMs = 1000;

    // Closes and deletes the port and the response timer. Runs on the worker
    // thread as it finishes, so that both die on the thread that made them.
    void releaseSerial();

    // Set by the owner before the worker thread is asked to quit: nothing
    // more goes onto the line.
    std::atomic<bool> m_halted{false};

signals:
    void signal_RTN(char rtn);
    void signal_serial_error();
    void finished();

public slots:
    void serialInit();
    void Serial_error();
    void ReceiveData();
    void Rs232_Contrl();
    void ReadSystemStatus();
    void ReadChargingData();
    void SendCommand_Gun1_Unlock();
    void SendCommand_Gun1_Lock();
    void SendCommand_Gun1_Pending();
    void SendCommand_Gun1_Suspend();
    void Set_AlarmMask_Reqest();
    void Set_AlarmMask();
    void SendCommand_Gun1_Start();
    void SendCommand_Gun1_Start_Request();
    void SendCommand_Gun1_Stop();
    void SendCommand_Gun1_Stop_Request();
    void Set_CurrentLimit(float value);
    void Set_CurrentLimit_Request(float value);
    void Set_PowerLimit(float value);
    void Set_PowerLimit_Request(float value);
    void Set_PowerLimitEn(bool enable);
    void Set_PowerLimitEn_Request(bool enable);
    void Set_VoltageLimit(float value);
    void Set_VoltageLimit_Request(float value);
    void Set_FanSpeedCtrl(ushort speed);
    void Set_FanSpeedCtrl_Request(ushort speed);
    void set_run(bool run);

private:
    // Which request a sound frame answers.
    enum class Answers { Current, Late, Nothing };

    void sendControl(quint8 subCode);
    void sendSetting(quint16 cid2, const QByteArray &info);
    QTimer *responseTimer();
    void takeFrame(const QByteArray &frame);
    bool frameIsSound(const QByteArray &frame) const;
    Answers attribute(int infoBytes, bool rtnOk, int &order);
    void lineAlive();
    void requestAnswered();
    void lineFailed(const QString &why);
    void decode(int order);
    void clearAlarmFlags();
    void decodeBootup();
    void decodeSystemStatus();
    void decodeChargingData();
    void decodeAlarms();

    // Requests unanswered in a row; the link-loss detector.
    quint32 m_missedInRow = 0;
    // While the CCU reports a fault the schedule takes turns: alarm read,
    // status read (so that a cleared fault is seen) and, while a charge runs,
    // charging-data read.
    int m_alarmTurn = 0;
    // The request on the line and whether its response window is still open.
    bool m_awaiting = false;
    int m_inFlightOrder = 0;
    struct LateRequest
    {
        int order;
        qint64 timedOutAt;
    };
    QVector<LateRequest> m_lateRequests;
    QElapsedTimer m_clock;
    void addLate(int order);
    // The boot-up read is asked again after a time-out until one answer has
    // brought the CCU's information (on this port).
    bool m_bootupKnown = false;
    // Bad frames and late answers are logged once per burst.
    bool m_badFrameBurst = false;
    bool m_lateBurst = false;
};

#endif // RS232_CCU_H
