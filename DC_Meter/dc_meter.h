#ifndef DC_METER_H
#define DC_METER_H

// Modbus RTU reader of the DC energy meter on the RS485 line. Lives on the
// meter thread: each poll writes one request, and 500 ms later whatever has
// arrived is evaluated and decoded into dc_meter_data.

#include "crc16modbus.h"
#include "serialsettings.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

class QTimer;

struct CommandArray
{
    quint16 meter_addres = 0;
    quint16 command_code = 0;
    quint16 register_addres_h = 0;
    quint16 register_addres_l = 0;
    quint16 register_amount_h = 0;
    quint16 register_amount_l = 0;
    QByteArray crc_code; // CRC bytes of the last request, low byte first
};

class DC_Meter : public QObject
{
    Q_OBJECT
public:
    explicit DC_Meter(quint16 address);
    ~DC_Meter() override;

    void ReadSerialNum();
    QByteArray EndianSwap(QByteArray &data);
    void SendData_Prepare();
    void WriteSerial();

    // Closes and deletes the port and the response timer. Runs on the meter
    // thread as it finishes, so that both die on the thread that made them.
    void releaseSerial();

    // Response bytes kept for one evaluation: the longest frame the meter can
    // send is 256 bytes, anything beyond this fails the byte-count test anyway.
    static constexpr int maxBufferedBytes = 1024;

    QSerialPort *serial_rs485 = nullptr;
    CRC16Modbus crc16modbus;
    QTimer *timer_serial485 = nullptr;
    QByteArray SendData;
    QByteArray Rs485_readBuf;
    QByteArray Rs485_readData;
    serailSettings RS485_DCMeter_Settings;
    CommandArray DCMeter_Comamand;
    quint16 Rs485_error_num = 0;
    quint16 Rs485_Comand = 0;

public slots:
    void ReadAllInputRegister();
    void ReadData();
    void ReceiveContrl();
    void SerialInit();


private:
    void releasePort();
    bool responseIsValid();
    void storeResponse();
    void countFailure();
    float floatAt(int pos);

    quint16 m_failuresSinceOpen = 0; // failed exchanges since the port was (re)opened
    bool m_reopenDue = false;         // the next poll opens the port afresh
    bool m_openFailureLogged = false;
};

#endif // DC_METER_H
