// RS232_CCU: the line (port, one request at a time, reassembly and
// validation of the answers). Codec, decoding and the poll schedule are in
// rs232_ccu_codec.cpp, rs232_ccu_decode.cpp and rs232_ccu_schedule.cpp.
#include "rs232_ccu.h"

#include "ccu_records.h"
#include "rs232_ccu_frame.h"
#include "runtimeoptions.h"

#include <QDebug>
#include <QThread>
#include <QTimer>

// Created before the application object, so it belongs to the GUI thread.
QTimer *timer_rs232_interval = new QTimer;
Shared<quint32> uint_err_rs232{0};
Shared<quint16> closetime{0};
Shared<int> pulse{0};

using namespace ccu_frame;

RS232_CCU::RS232_CCU(QObject *parent) : QObject(parent)
{
}

RS232_CCU::~RS232_CCU()
{
    releaseSerial();
    qDebug() << "The destroy thread ID = " << QThread::currentThreadId();
    qDebug() << "Thread destroy";
}

void RS232_CCU::releaseSerial()
{
    if (serial) {
        if (serial->isOpen())
            serial->close();
        delete serial;
        serial = nullptr;
    }
    delete timer_serial;
    timer_serial = nullptr;
}

// ------------------------------------------------------------------ line

void RS232_CCU::serialInit()
{
    if (serial) {
        // Already closed by the recovery loop; a fresh object starts clean.
        if (serial->isOpen())
            serial->close();
        delete serial;
    }
    serial = new QSerialPort;
    // Half a frame from the old port must not prefix the first new answer.
    ReiceveData_all.clear();

    RS232_CCU_Settings.name = CcuPortName;
    RS232_CCU_Settings.baudRate = QSerialPort::Baud19200;
    RS232_CCU_Settings.dataBits = QSerialPort::Data8;
    RS232_CCU_Settings.parity = QSerialPort::NoParity;
    RS232_CCU_Settings.stopBits = QSerialPort::OneStop;
    RS232_CCU_Settings.flowControl = QSerialPort::NoFlowControl;
    serial->setPortName(RS232_CCU_Settings.name);
    connect(serial, &QSerialPort::readyRead, this, &RS232_CCU::ReceiveData);

    if (!serial->open(QIODevice::ReadWrite))
        return; // silent: the schedule counts the unanswered requests
    applySerialSettings(serial, RS232_CCU_Settings);
    ReadBootupinfo();
}

QTimer *RS232_CCU::responseTimer()
{
    if (!timer_serial) {
        timer_serial = new QTimer;
        timer_serial->setSingleShot(true);
        connect(timer_serial, &QTimer::timeout, this, &RS232_CCU::Serial_error);
    }
    return timer_serial;
}

void RS232_CCU::WriteSerial()
{
    if (m_halted)
        return;
    // A port that never opened takes no bytes; the request still counts as
    // sent, and its time-out as unanswered.
    if (serial && serial->isOpen())
        serial->write(Senddata);
    responseTimer()->start(ResponseTimeoutMs);
}

void RS232_CCU::Serial_error()
{
    if (errorinfo.Err_Sys_RS232)
        return;
    ++uint_err_rs232;
    if (++m_missedInRow >= LinkLossThreshold) {
        errorinfo.Err_Sys_RS232 = true;
        qDebug() << "RS232 communication lost.";
    }
}

void RS232_CCU::linkAnswered()
{
    if (timer_serial)
        timer_serial->stop();
    m_missedInRow = 0;
    if (errorinfo.Err_Sys_RS232) {
        errorinfo.Err_Sys_RS232 = false;
        uint_err_rs232 = 0;
        qDebug() << "RS232 communication sucessed.";
    }
}

void RS232_CCU::ReceiveData()
{
    if (!serial)
        return;
    takeReceived(serial->readAll());
}

void RS232_CCU::takeReceived(const QByteArray &chunk)
{
    m_readBuf = chunk;
    ReiceveData_all.append(m_readBuf);
    if (!m_readBuf.endsWith('\r')) {
        // Noise without a carriage return would otherwise pile up forever.
        if (ReiceveData_all.size() > MaxFrameLength) {
            qDebug() << "reiceive data error：" << ReiceveData_all.toHex();
            ReiceveData_all.clear();
            m_readBuf.clear();
        }
        return;
    }
    if (!ReiceveData_all.startsWith('~') || ReiceveData_all.size() < ShortestFrame) {
        qDebug() << "reiceive data error：" << ReiceveData_all.toHex();
        ReiceveData_all.clear();
        m_readBuf.clear();
        return;
    }

    linkAnswered();
    ReiceveData_content_HexAscii = ReiceveData_all.mid(1, ReiceveData_all.size() - 6);
    ReiceveData_content_Hex = HexAciiToHex_ByteArray(ReiceveData_content_HexAscii);
    ReiceveData_all.clear();

    // At least 12 characters of text, so the six header bytes are there.
    if (byteAt(ReiceveData_content_Hex, 0) != Ver || byteAt(ReiceveData_content_Hex, 1) != Adr
        || byteAt(ReiceveData_content_Hex, 2) != Cid1) {
        m_readBuf.clear();
        return;
    }
    const uint lenid = FindLength(ReiceveData_content_Hex, 4);
    if (int(lenid) != ReiceveData_content_HexAscii.size() - 12) {
        qDebug() << "Received data lenth wrong!!";
        m_readBuf.clear();
        return;
    }
    ReiceveData_Datainfo = ReiceveData_content_Hex.right(int(lenid / 2));

    const char rtn = ReiceveData_content_Hex.at(3);
    if (rtn == 0) {
        switch (Order) {
        case 1: decodeBootup(); break;
        case 2: decodeSystemStatus(); break;
        case 3: decodeChargingData(); break;
        case 4: decodeAlarms(); break;
        default: break; // a command's acknowledgement carries nothing
        }
    } else {
        emit signal_RTN(rtn);
        qDebug() << "command feed back RTN wrong,RTN=" << rtn;
    }
    m_readBuf.clear();
}
