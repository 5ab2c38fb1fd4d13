#include "rs232_ccu.h"

#include "ccu_records.h"
#include "runtimeoptions.h"

#include <QDebug>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <cstring>

// Created before the application object, so it belongs to the GUI thread.
QTimer *timer_rs232_interval = new QTimer;
Shared<quint32> uint_err_rs232{0};
Shared<quint16> closetime{0};
Shared<int> pulse{0};

namespace {

constexpr quint8 Ver = 0x21;
constexpr quint8 Adr = 0x01;
constexpr quint8 Cid1 = 0x50;
constexpr int ShortestFrame = 18;

quint8 byteAt(const QByteArray &b, int i) { return quint8(b.at(i)); }

quint16 bigEndian16(const QByteArray &b, int i)
{
    return quint16((byteAt(b, i) << 8) | byteAt(b, i + 1));
}

float littleEndianFloat(const QByteArray &b, int i)
{
    const quint32 raw = qFromLittleEndian<quint32>(b.constData() + i);
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

QByteArray floatBytes(float value)
{
    quint32 raw;
    std::memcpy(&raw, &value, sizeof raw);
    QByteArray out(4, '\0');
    qToLittleEndian<quint32>(raw, out.data());
    return out;
}

QString hexText(const QByteArray &b, int from, int count)
{
    return QString::fromLatin1(b.mid(from, count).toHex());
}

bool bit(quint8 value, int n) { return (value >> n) & 1; }

} // namespace

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

// ------------------------------------------------------------------ codec

quint16 RS232_CCU::HexToAscii(quint16 value)
{
    if (value <= 9)
        return quint16('0' + value);
    if (value <= 15)
        return quint16('A' + value - 10);
    return 0;
}

quint16 RS232_CCU::AsciiToHex(quint16 character)
{
    const quint8 c = quint8(character & 0xFF);
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

QByteArray RS232_CCU::HexToHexAcii_ByteArray(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes) {
        const quint8 v = quint8(b);
        out.append(char(HexToAscii(v >> 4)));
        out.append(char(HexToAscii(v & 0x0F)));
    }
    return out;
}

QByteArray RS232_CCU::HexAciiToHex_ByteArray(const QByteArray &text)
{
    QByteArray out;
    const int pairs = text.size() / 2;
    out.reserve(pairs);
    for (int i = 0; i < pairs; ++i)
        out.append(char(AsciiToHex(quint8(text.at(2 * i))) * 16 + AsciiToHex(quint8(text.at(2 * i + 1)))));
    return out;
}

QByteArray RS232_CCU::CalLength(uint lenid)
{
    lenid &= 0x0FFF;
    const uint nibbles = ((lenid >> 8) & 0xF) + ((lenid >> 4) & 0xF) + (lenid & 0xF);
    const uint lchksum = (0x10 - (nibbles & 0xF)) & 0xF;
    QByteArray out(2, '\0');
    out[0] = char((lchksum << 4) | ((lenid >> 8) & 0xF));
    out[1] = char(lenid & 0xFF);
    return out;
}

quint32 RS232_CCU::CalCheckSum(const QByteArray &bytes)
{
    quint32 sum = 0;
    for (char b : bytes)
        sum += quint8(b);
    return ~sum + 1;
}

uint RS232_CCU::FindLength(const QByteArray &bytes, quint8 position)
{
    if (bytes.size() < int(position) + 2) {
        qDebug() << "Checked data lenth wrong!!";
        return 0;
    }
    return ((uint(byteAt(bytes, position)) << 8) + byteAt(bytes, position + 1)) & 0x0FFF;
}

uint RS232_CCU::FindChecksum(const QByteArray &frame)
{
    if (frame.size() < 5)
        return 0;
    const QByteArray digits = frame.mid(frame.size() - 5, 4);
    uint value = 0;
    for (char c : digits)
        value = value * 16 + AsciiToHex(quint8(c));
    return value;
}

void RS232_CCU::SendCommand_data_prepare()
{
    Senddata_content_Hex.clear();
    Senddata_content_Hex.append(char(Ver));
    Senddata_content_Hex.append(char(Adr));
    Senddata_content_Hex.append(char(Cid1));
    Senddata_content_Hex.append(char(Msg_CID2 & 0xFF));
    Senddata_content_Hex.append(CalLength(Msg_LENID));
    if (Msg_LENID != 0)
        Senddata_content_Hex.append(Msg_INFO);
    Senddata_content_HexAscii = HexToHexAcii_ByteArray(Senddata_content_Hex);
    Msg_CHKSUM = CalCheckSum(Senddata_content_HexAscii);
    QByteArray checksum(2, '\0');
    checksum[0] = char((Msg_CHKSUM >> 8) & 0xFF);
    checksum[1] = char(Msg_CHKSUM & 0xFF);
    Senddata_content_HexAscii.append(HexToHexAcii_ByteArray(checksum));
    Senddata = '~' + Senddata_content_HexAscii + '\r';
    WriteSerial();
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

// ------------------------------------------------------------------ decoding

void RS232_CCU::decodeBootup()
{
    const QByteArray &d = ReiceveData_Datainfo;
    qDebug() << "Received bootup infomation.info size=" << d.size();
    if (d.size() < 52) {
        qDebug() << "Received bootup infomation error";
        return;
    }
    bootupinfo.ControllerBar = hexText(d, 0, 24);
    bootupinfo.ControllerMAC = hexText(d, 24, 8);
    bootupinfo.AvailableGunNum = byteAt(d, 32);
    const quint8 protection = byteAt(d, 36);
    bootupinfo.EPO_Vol_Level = protection & 0x03;
    bootupinfo.DoorOpen_pro_enble = (protection & 0x0C) != 0;
    bootupinfo.SPD_pro_enable = (protection & 0x30) != 0;
    bootupinfo.E_lock_Type = (protection >> 6) & 0x03;
    bootupinfo.Gun1_SelfCheck_enable = (byteAt(d, 35) & 0x03) != 0;
    bootupinfo.Max_DC_Voltage = bigEndian16(d, 37);
    bootupinfo.PowerLimit_enable = byteAt(d, 39) != 0;
    bootupinfo.CCU_FW_Ver = hexText(d, 40, 8);
    bootupinfo.CCU_Adr = byteAt(d, 48);
    bootupinfo.Fan_Speed = byteAt(d, 50);
}

void RS232_CCU::decodeSystemStatus()
{
    const QByteArray &d = ReiceveData_Datainfo;
    if (d.size() < 12) {
        qDebug() << "Received system status error";
        return;
    }
    const quint32 temperature = bigEndian16(d, 0);
    systemstatus.Temperature = temperature;
    systemstatus.TemperatureStr = QString::number(double(temperature / 10), 'f', 1) + "Centigrade";
    systemstatus.Sys_available_sta = byteAt(d, 2);
    systemstatus.Gun1_available_sta = byteAt(d, 4) & 0x03;
    systemstatus.Gun1_plugged_sta = byteAt(d, 6) & 0x03;
    systemstatus.Sys_time = hexText(d, 7, 4);
}

void RS232_CCU::decodeChargingData()
{
    const QByteArray &d = ReiceveData_Datainfo;
    qDebug() << "Recived charging data.size=" << d.size();
    if (d.size() < 42) {
        qDebug() << "Received charging data error";
        return;
    }
    charginfo.Charging_phase = byteAt(d, 0);
    charginfo.DC_Voltage_Out = littleEndianFloat(d, 1);
    charginfo.DC_Current_Out = littleEndianFloat(d, 5);
    charginfo.BMS_Protocol_Type = byteAt(d, 9);
    charginfo.SOC_Current = byteAt(d, 10);
    charginfo.SOC_Full = byteAt(d, 11);
    charginfo.SOC_Bulk = byteAt(d, 12);
    charginfo.DC_Voltage_Request = littleEndianFloat(d, 13);
    charginfo.DC_Current_Request = littleEndianFloat(d, 17);
    charginfo.Time_Full_Togo = bigEndian16(d, 21);
    charginfo.Time_Bulk_Togo = bigEndian16(d, 23);
    charginfo.BMS_Voltage_Limit = bigEndian16(d, 25);
    charginfo.BMS_Current_Limit = bigEndian16(d, 27);
    charginfo.BMS_Temperature_Limit = qint16(bigEndian16(d, 29));
    charginfo.BMS_Temperature_Max = qint16(bigEndian16(d, 31));
    charginfo.BMS_Voltage_Max = bigEndian16(d, 33);
    charginfo.Stop_Reason = byteAt(d, 35);
    charginfo.Code_diagnostic = byteAt(d, 36);
}

void RS232_CCU::decodeAlarms()
{
    const QByteArray &d = ReiceveData_Datainfo;
    qDebug() << "Recived system alarm infomation.size=" << d.size();
    if (d.size() < 7) {
        qDebug() << "Received system alarm infomation error";
        return;
    }
    const quint8 sys = byteAt(d, 1);
    errorinfo.Err_Sys_DoorOpen = bit(sys, 0);
    errorinfo.Err_Sys_EPO = bit(sys, 1);
    errorinfo.Err_Sys_SPD = bit(sys, 2);
    errorinfo.Err_Sys_Rectifier = bit(sys, 3);
    errorinfo.Err_Sys_TemperatureOver = bit(sys, 4);
    errorinfo.Err_Sys_Fan = bit(sys, 5);
    errorinfo.Err_Sys_others = bit(sys, 6);
    errorinfo.Err_Sys_PowerSupply = bit(sys, 7);
    errorinfo.Err_Sys_Rectifier_Com = bit(byteAt(d, 0), 0);
    const quint8 gun = byteAt(d, 3);
    errorinfo.Err_Gun1_ISO = bit(gun, 0);
    errorinfo.Err_Gun1_Elock = bit(gun, 1);
    errorinfo.Err_Gun1_TemperatureOver = bit(gun, 2);
    errorinfo.Err_Gun1_Rectifier = bit(gun, 3);
    errorinfo.Err_Gun1_others = bit(gun, 4);
    errorinfo.Err_Gun1_Rectifier_Com = bit(gun, 5);
    errorinfo.Err_Gun1_ISO_Com = bit(gun, 6);
    errorinfo.Err_Gun1_Output_ShortCircuit = bit(gun, 7);
    errorinfo.Err_Gun1_PLC_Com = bit(byteAt(d, 2), 0);
}

// ------------------------------------------------------------------ schedule

void RS232_CCU::Rs232_Contrl()
{
    if (m_halted)
        return;
    if (errorinfo.Err_Sys_RS232) {
        if (serial && serial->isOpen())
            serial->close();
        closetime = closetime + 1;
        if (closetime > 10) {
            serialInit();
            closetime = 0;
        }
        return;
    }
    closetime = 0;

    const quint16 sys = systemstatus.Sys_available_sta;
    if (sys == 1 || sys == 2 || systemstatus.Gun1_available_sta == 2) {
        // A stop must reach a CCU that reports trouble; the status read in
        // between the alarm reads is what ends this state once it clears.
        if (Request_Gun1_Stop) {
            SendCommand_Gun1_Stop();
            return;
        }
        if (m_statusTurnInAlarm)
            ReadSystemStatus();
        else
            ReadErrorData();
        m_statusTurnInAlarm = !m_statusTurnInAlarm;
        return;
    }
    m_statusTurnInAlarm = false;

    if (Request_Gun1_Start)
        SendCommand_Gun1_Start();
    else if (Request_Gun1_Stop)
        SendCommand_Gun1_Stop();
    else if (Request_ReadBootup)
        ReadBootupinfo();
    else if (Request_Set_PowerLimitEn)
        Set_PowerLimitEn(EnablePowerLimit);
    else if (Request_Set_CurrentLimit)
        Set_CurrentLimit(CurrentLimit);
    else if (Request_Set_VoltageLimit)
        Set_VoltageLimit(VoltageLimit);
    else if (Request_Set_PowerLimit)
        Set_PowerLimit(PowerLimit);
    else if (Request_FanSpeedCtrl)
        Set_FanSpeedCtrl(ushort(FanSpeedCtrl));
    else if (pulse == 0) {
        ReadSystemStatus();
        pulse = 1;
    } else {
        ReadChargingData();
        pulse = 0;
    }
}

void RS232_CCU::Rs232_start() { m_running = true; }

void RS232_CCU::set_run(bool run) { m_running = run; }

void RS232_CCU::ReadBootupinfo()
{
    Order = 1;
    Msg_CID2 = 0x41;
    Msg_LENID = 0;
    Msg_INFO.clear();
    SendCommand_data_prepare();
    Request_ReadBootup = false;
}

void RS232_CCU::ReadSystemStatus()
{
    Order = 2;
    Msg_CID2 = 0x42;
    Msg_LENID = 0;
    Msg_INFO.clear();
    SendCommand_data_prepare();
}

void RS232_CCU::ReadChargingData()
{
    Order = 3;
    Msg_CID2 = 0x43;
    Msg_LENID = 2;
    Msg_INFO = QByteArray(1, char(0x01));
    SendCommand_data_prepare();
}

void RS232_CCU::ReadErrorData()
{
    Order = 4;
    Msg_CID2 = 0x46;
    Msg_LENID = 0;
    Msg_INFO.clear();
    SendCommand_data_prepare();
}

// ------------------------------------------------------------------ commands

void RS232_CCU::sendControl(quint8 subCode)
{
    Order = 5;
    Msg_CID2 = 0x45;
    Msg_LENID = 4;
    Msg_INFO = QByteArray(1, char(0x71)) + char(subCode);
    SendCommand_data_prepare();
}

void RS232_CCU::sendSetting(quint16 cid2, const QByteArray &info)
{
    Order = 5;
    Msg_CID2 = cid2;
    Msg_LENID = quint16(info.size() * 2);
    Msg_INFO = info;
    SendCommand_data_prepare();
}

void RS232_CCU::SendCommand_Gun1_Start()
{
    qDebug() << "Upercontroller request start charging. ";
    sendControl(0x01);
    Request_Gun1_Start = false;
}

void RS232_CCU::SendCommand_Gun1_Stop()
{
    qDebug() << "Upercontroller request stop charging. ";
    sendControl(0x00);
    Request_Gun1_Stop = false;
}

void RS232_CCU::SendCommand_Gun1_Suspend()
{
    qDebug() << "Upercontroller request suspend charging. ";
    sendControl(0x02);
}

void RS232_CCU::SendCommand_Gun1_Lock()
{
    qDebug() << "Upercontroller request gun1 lock. ";
    sendControl(0xE0);
}

void RS232_CCU::SendCommand_Gun1_Unlock()
{
    qDebug() << "Upercontroller request gun1 unlock. ";
    sendControl(0xE1);
}

void RS232_CCU::SendCommand_Gun1_Pending()
{
    sendControl(0xAA);
}

void RS232_CCU::Set_CurrentLimit(float value)
{
    qDebug() << "Set current limit= " << value;
    sendSetting(0x45, QByteArray(1, char(0x81)) + floatBytes(value));
    Request_Set_CurrentLimit = false;
}

void RS232_CCU::Set_PowerLimit(float value)
{
    qDebug() << "Set power limit= " << value;
    sendSetting(0x45, QByteArray(1, char(0x91)) + floatBytes(value));
    Request_Set_PowerLimit = false;
}

void RS232_CCU::Set_VoltageLimit(float value)
{
    Request_ReadBootup = true;
    qDebug() << "Set voltage limit= " << value;
    sendSetting(0x44, QByteArray(1, char(0x84)) + floatBytes(value));
    Request_Set_VoltageLimit = false;
}

void RS232_CCU::Set_PowerLimitEn(bool enable)
{
    Request_ReadBootup = true;
    qDebug() << (enable ? "Power limit enabled. " : "Power limit disabled. ");
    QByteArray info(1, char(0x85));
    info.append(char(enable ? 0x01 : 0x00));
    sendSetting(0x44, info);
    Request_Set_PowerLimitEn = false;
}

void RS232_CCU::Set_FanSpeedCtrl(ushort speed)
{
    Request_ReadBootup = true;
    qDebug() << "Set fan speed = " << speed;
    QByteArray info(1, char(0x87));
    info.append(char(speed & 0xFF));
    sendSetting(0x44, info);
    Request_FanSpeedCtrl = false;
}

void RS232_CCU::Set_AlarmMask()
{
    setpara.Alarm_Mask = 4;
    QByteArray info(1, char(0x83));
    info.append(char(0x00));
    info.append(char(setpara.Alarm_Mask & 0xFF));
    sendSetting(0x44, info);
    Request_Set_AlarmMask = false;
}

// ------------------------------------------------------------------ request slots

void RS232_CCU::SendCommand_Gun1_Start_Request() { Request_Gun1_Start = true; }

void RS232_CCU::SendCommand_Gun1_Stop_Request() { Request_Gun1_Stop = true; }

void RS232_CCU::Set_VoltageLimit_Request(float value)
{
    VoltageLimit = value;
    Request_Set_VoltageLimit = true;
}

void RS232_CCU::Set_CurrentLimit_Request(float value)
{
    CurrentLimit = value;
    Request_Set_CurrentLimit = true;
}

void RS232_CCU::Set_PowerLimit_Request(float value)
{
    PowerLimit = value;
    Request_Set_PowerLimit = true;
}

void RS232_CCU::Set_PowerLimitEn_Request(bool enable)
{
    EnablePowerLimit = enable;
    Request_Set_PowerLimitEn = true;
}

void RS232_CCU::Set_FanSpeedCtrl_Request(ushort speed)
{
    FanSpeedCtrl = float(speed);
    Request_FanSpeedCtrl = true;
}

void RS232_CCU::Set_AlarmMask_Reqest() { Request_Set_AlarmMask = true; }
