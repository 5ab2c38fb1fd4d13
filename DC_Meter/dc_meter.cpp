#include "dc_meter.h"

#include "dc_meter_data.h"
#include "runtimeoptions.h"

#include <QDebug>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

constexpr int ResponseTimeoutMs = 500;
constexpr quint16 ErrorThreshold = 10; // failures tolerated before the meter counts as lost

// Request in flight.
constexpr quint16 CommandMeasurement = 1;
constexpr quint16 CommandSerialNumber = 2;

// Shortest response that holds every field a request decodes: address,
// function, byte count, data up to the last field, CRC.
constexpr int MeasurementMinLength = 35 + 2; // energy ends at byte 34
constexpr int SerialNumberMinLength = 7 + 2; // serial number ends at byte 6

DC_Meter_Data *entryFor(quint16 address)
{
    return address < 3 ? &dc_meter_data[address] : nullptr;
}

} // namespace

DC_Meter::DC_Meter(quint16 address)
{
    DCMeter_Comamand.meter_addres = address;
    Rs485_error_num = 0;
    Rs485_Comand = 0;
}

DC_Meter::~DC_Meter()
{
    releaseSerial();
}

void DC_Meter::releaseSerial()
{
    delete timer_serial485;
    timer_serial485 = nullptr;
    releasePort();
}

void DC_Meter::releasePort()
{
    if (serial_rs485) {
        serial_rs485->disconnect(this);
        delete serial_rs485;
        serial_rs485 = nullptr;
    }
}

void DC_Meter::SerialInit()
{
    releasePort();
    serial_rs485 = new QSerialPort();
    m_failuresSinceOpen = 0;
    m_reopenDue = false;

    RS485_DCMeter_Settings = serailSettings();
    if (DCMeter_Comamand.meter_addres == 1)
        RS485_DCMeter_Settings.name = MeterPortName;

    serial_rs485->setPortName(RS485_DCMeter_Settings.name);
    connect(serial_rs485, &QSerialPort::readyRead, this, &DC_Meter::ReadData);
    // An adapter that goes away (unplugged, re-enumerated) leaves a port that
    // reports its end again and again: closed at once, opened afresh at the
    // next poll.
    connect(serial_rs485, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error != QSerialPort::ResourceError || !serial_rs485 || !serial_rs485->isOpen())
            return;
        qDebug().noquote() << "serialport:" << RS485_DCMeter_Settings.name + " lost: " + serial_rs485->errorString();
        serial_rs485->close();
        m_reopenDue = true;
    });

    const QString name = RS485_DCMeter_Settings.name;
    if (!serial_rs485->open(QIODevice::ReadWrite)) {
        // Said once per outage; the port is tried again after every run of
        // failed polls.
        if (!m_openFailureLogged)
            qDebug().noquote() << "serialport:" << "Open " + name + " failed!!";
        m_openFailureLogged = true;
        return;
    }
    m_openFailureLogged = false;
    applySerialSettings(serial_rs485, RS485_DCMeter_Settings);
    qDebug().noquote() << "serialport:" << "Open " + name + " sucessed!!";
}

void DC_Meter::ReadAllInputRegister()
{
    if (m_reopenDue)
        SerialInit();
    qDebug() << "Reading DC METER, The thread ID = " << QThread::currentThreadId();
    DCMeter_Comamand.command_code = 0x04;
    DCMeter_Comamand.register_addres_h = 0x40;
    DCMeter_Comamand.register_addres_l = 0x00;
    DCMeter_Comamand.register_amount_h = 0x00;
    DCMeter_Comamand.register_amount_l = 0x13; // 19 registers, 0x4000..0x4012
    Rs485_Comand = CommandMeasurement;
    SendData_Prepare();
    WriteSerial();
}

void DC_Meter::ReadSerialNum()
{
    DCMeter_Comamand.command_code = 0x03;
    DCMeter_Comamand.register_addres_h = 0xFC;
    DCMeter_Comamand.register_addres_l = 0x00;
    DCMeter_Comamand.register_amount_h = 0x00;
    DCMeter_Comamand.register_amount_l = 0x02;
    Rs485_Comand = CommandSerialNumber;
    SendData_Prepare();
    WriteSerial();
}

void DC_Meter::SendData_Prepare()
{
    const CommandArray &c = DCMeter_Comamand;
    SendData.clear();
    SendData.append(char(c.meter_addres & 0xFF));
    SendData.append(char(c.command_code & 0xFF));
    SendData.append(char(c.register_addres_h & 0xFF));
    SendData.append(char(c.register_addres_l & 0xFF));
    SendData.append(char(c.register_amount_h & 0xFF));
    SendData.append(char(c.register_amount_l & 0xFF));
    DCMeter_Comamand.crc_code = crc16modbus.CalculateCRC16(SendData);
    SendData.append(DCMeter_Comamand.crc_code);
}

void DC_Meter::WriteSerial()
{
    // What came after the last evaluation (an answer that was late) belongs
    // to no request any more; left in place it would spoil this one's answer.
    Rs485_readBuf = QByteArray();
    if (serial_rs485 && serial_rs485->isOpen()) {
        serial_rs485->readAll();
        serial_rs485->clear(QSerialPort::Input);
    }
    // A line that never opened gets no bytes; its evaluation then finds
    // nothing and counts the failure like any unanswered request.
    if (serial_rs485 && serial_rs485->isOpen())
        serial_rs485->write(SendData);

    if (!timer_serial485) {
        timer_serial485 = new QTimer(this);
        timer_serial485->setSingleShot(true);
        timer_serial485->setInterval(ResponseTimeoutMs);
        connect(timer_serial485, &QTimer::timeout, this, &DC_Meter::ReceiveContrl);
    }
    timer_serial485->start();
}

void DC_Meter::ReadData()
{
    if (!serial_rs485)
        return;
    const QByteArray chunk = serial_rs485->readAll();
    if (chunk.isEmpty())
        return;
    // A babbling line must not grow the buffer without bound; an overlong
    // buffer is a failed exchange either way.
    const int room = maxBufferedBytes - Rs485_readBuf.size();
    if (room > 0)
        Rs485_readBuf.append(chunk.left(room));
}

QByteArray DC_Meter::EndianSwap(QByteArray &data)
{
    QByteArray swapped;
    swapped.reserve(data.size());
    for (int i = data.size() - 1; i >= 0; --i)
        swapped.append(data.at(i));
    return swapped;
}

void DC_Meter::ReceiveContrl()
{
    if (timer_serial485)
        timer_serial485->stop();

    if (!responseIsValid()) {
        countFailure();
        return;
    }

    Rs485_error_num = 0;
    m_failuresSinceOpen = 0;
    DC_Meter_Data *entry = entryFor(DCMeter_Comamand.meter_addres);
    if (entry && entry->Com_error) {
        // The meter answers again: the fault goes with the outage.
        entry->Com_error = false;
        qDebug("Communication with DC meter %d is restored.", int(DCMeter_Comamand.meter_addres));
    }
    storeResponse();
    Rs485_readBuf.clear();
}

bool DC_Meter::responseIsValid()
{
    if (Rs485_readBuf.isNull())
        return false;

    const int length = Rs485_readBuf.size();
    if (length < 3)
        return false;
    const quint8 address = quint8(Rs485_readBuf.at(0));
    const quint8 byteCount = quint8(Rs485_readBuf.at(2));
    if (address > 1 || byteCount != length - 5)
        return false;

    Rs485_readData = Rs485_readBuf.left(length - 2);
    if (crc16modbus.CalculateCRC16(Rs485_readData) != Rs485_readBuf.right(2))
        return false;

    // A well-formed frame too short for the fields of its request (an
    // exception response, a partial block) carries no reading.
    if (Rs485_Comand == CommandMeasurement && length < MeasurementMinLength)
        return false;
    if (Rs485_Comand == CommandSerialNumber && length < SerialNumberMinLength)
        return false;
    return true;
}

float DC_Meter::floatAt(int pos)
{
    // The meter sends the most significant byte first; the swapped bytes are
    // in the panel's own (little-endian) order.
    QByteArray bytes = Rs485_readBuf.mid(pos, 4);
    const QByteArray swapped = EndianSwap(bytes);
    const quint32 raw = qFromLittleEndian<quint32>(swapped.constData());
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

void DC_Meter::storeResponse()
{
    DC_Meter_Data *entry = entryFor(DCMeter_Comamand.meter_addres);
    if (!entry)
        return;

    switch (Rs485_Comand) {
    case CommandMeasurement: {
        // A non-finite value is no reading; the energy register above all
        // must never turn into NaN.
        const float voltage = floatAt(3);
        const float current = floatAt(7);
        const float energy = floatAt(31);
        if (std::isfinite(voltage))
            entry->voltage = voltage;
        if (std::isfinite(current))
            entry->current = current;
        if (std::isfinite(energy))
            entry->Powerquantity = energy;
        break;
    }
    case CommandSerialNumber:
        entry->SerialNumber = QString::fromLatin1(Rs485_readBuf.mid(3, 4).toHex());
        break;
    default:
        break;
    }
}

void DC_Meter::countFailure()
{
    Rs485_readBuf.clear();
    if (Rs485_error_num < 0xFFFF)
        ++Rs485_error_num;
    // A run of failures as long as the one that raises the fault: the port
    // may be a stale handle (or never opened); the next poll opens it afresh.
    if (++m_failuresSinceOpen > ErrorThreshold)
        m_reopenDue = true;

    DC_Meter_Data *entry = entryFor(DCMeter_Comamand.meter_addres);
    if (Rs485_error_num > ErrorThreshold && entry && !entry->Com_error) {
        entry->Com_error = true;
        Rs485_error_num = 0;
        qDebug("Communication with DC meter %d is error.", int(DCMeter_Comamand.meter_addres));
    }
}
