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

#include <cctype>

// Made and deleted on the worker thread by the owner (see WorkerThread).
QTimer *timer_rs232_interval = nullptr;
Shared<quint32> uint_err_rs232{0};
Shared<quint16> closetime{0};
Shared<int> pulse{0};

using namespace ccu_frame;

RS232_CCU::RS232_CCU(QObject *parent) : QObject(parent)
{
    m_clock.start();
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
    // Half a frame from the old port must not prefix the first new answer,
    // and nothing asked on the old port is answered on the new one.
    ReiceveData_all.clear();
    m_awaiting = false;
    m_lateRequests.clear();
    m_bootupKnown = false;

    RS232_CCU_Settings.name = CcuPortName;
    RS232_CCU_Settings.baudRate = QSerialPort::Baud19200;
    RS232_CCU_Settings.dataBits = QSerialPort::Data8;
    RS232_CCU_Settings.parity = QSerialPort::NoParity;
    RS232_CCU_Settings.stopBits = QSerialPort::OneStop;
    RS232_CCU_Settings.flowControl = QSerialPort::NoFlowControl;
    serial->setPortName(RS232_CCU_Settings.name);
    connect(serial, &QSerialPort::readyRead, this, &RS232_CCU::ReceiveData);
    // A device that goes away (adapter unplugged, re-enumerated) leaves a
    // port that reports its end again and again; it is closed at once and
    // rebuilt by the recovery loop.
    connect(serial, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::ResourceError && serial)
            lineFailed(serial->errorString());
    });

    if (!serial->open(QIODevice::ReadWrite))
        return; // silent: the schedule counts the unanswered requests
    applySerialSettings(serial, RS232_CCU_Settings);
    ReadBootupinfo();
}

void RS232_CCU::lineFailed(const QString &why)
{
    if (serial && serial->isOpen())
        serial->close();
    m_awaiting = false;
    if (timer_serial)
        timer_serial->stop();
    qDebug().noquote() << "RS232 line failed:" << why;
    if (!errorinfo.Err_Sys_RS232) {
        // Nothing can be answered on a closed port; waiting for the
        // unanswered-request count would only delay the rebuild.
        errorinfo.Err_Sys_RS232 = true;
        qDebug() << "RS232 communication lost.";
    }
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
    // A request still waiting for its answer is overtaken; its answer may
    // still come and is then recognised as late.
    if (m_awaiting)
        addLate(m_inFlightOrder);
    // A port that never opened takes no bytes; the request still counts as
    // sent, and its time-out as unanswered.
    if (serial && serial->isOpen())
        serial->write(Senddata);
    m_awaiting = true;
    m_inFlightOrder = Order;
    responseTimer()->start(ResponseTimeoutMs);
}

void RS232_CCU::addLate(int order)
{
    m_lateRequests.append({order, m_clock.elapsed()});
    if (m_lateRequests.size() > MaxLateRequests)
        m_lateRequests.removeFirst();
}

void RS232_CCU::Serial_error()
{
    if (m_awaiting) {
        m_awaiting = false;
        addLate(m_inFlightOrder);
        // The CCU's identity and limits are read until one answer brings them.
        if (m_inFlightOrder == 1 && !m_bootupKnown)
            Request_ReadBootup = true;
    }
    if (errorinfo.Err_Sys_RS232)
        return;
    ++uint_err_rs232;
    if (++m_missedInRow >= LinkLossThreshold) {
        errorinfo.Err_Sys_RS232 = true;
        qDebug() << "RS232 communication lost.";
    }
}

// Any frame from the CCU, sound or not, on time or late, shows that the line
// and the CCU are there.
void RS232_CCU::lineAlive()
{
    m_missedInRow = 0;
    if (errorinfo.Err_Sys_RS232) {
        errorinfo.Err_Sys_RS232 = false;
        uint_err_rs232 = 0;
        qDebug() << "RS232 communication sucessed.";
    }
}

// The request on the line has its answer: its response window closes.
void RS232_CCU::requestAnswered()
{
    if (timer_serial)
        timer_serial->stop();
    m_awaiting = false;
    lineAlive();
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
    // Every carriage return ends a frame; what follows the last one waits
    // for the rest of its frame.
    int cr;
    while ((cr = ReiceveData_all.indexOf('\r')) >= 0) {
        const QByteArray frame = ReiceveData_all.left(cr + 1);
        ReiceveData_all.remove(0, cr + 1);
        takeFrame(frame);
    }
    // Noise without a carriage return would otherwise pile up forever.
    if (ReiceveData_all.size() > MaxFrameLength) {
        qDebug() << "reiceive data error：" << ReiceveData_all.toHex();
        ReiceveData_all.clear();
    }
    m_readBuf.clear();
}

// Every character between SOI and the carriage return is a hexadecimal digit,
// LCHKSUM fits LENID and CHKSUM fits the text.
bool RS232_CCU::frameIsSound(const QByteArray &frame) const
{
    const QByteArray text = frame.mid(1, frame.size() - 2);
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    const QByteArray body = text.left(text.size() - 4);
    if (body.size() % 2 != 0)
        return false;
    const QByteArray length = HexAciiToHex_ByteArray(body.mid(8, 4));
    if (CalLength(FindLength(length, 0)) != length)
        return false;
    // Over the characters as sent; a CCU writing lower case may also have
    // summed their upper-case form.
    const uint wanted = FindChecksum(frame);
    return (CalCheckSum(body) & 0xFFFF) == wanted || (CalCheckSum(body.toUpper()) & 0xFFFF) == wanted;
}

// One frame up to its carriage return. Bytes before its last SOI are line
// noise (a stray byte, the tail of an earlier frame) and are skipped.
void RS232_CCU::takeFrame(const QByteArray &received)
{
    const int soi = received.lastIndexOf('~');
    if (soi < 0 || received.size() - soi < ShortestFrame) {
        qDebug() << "reiceive data error：" << received.toHex();
        return;
    }
    const QByteArray frame = received.mid(soi);

    // A damaged frame still answers the request: the CCU is there, but
    // none of its fields can be trusted.
    if (!frameIsSound(frame)) {
        const bool bootupAsked = m_awaiting && m_inFlightOrder == 1;
        requestAnswered();
        if (bootupAsked && !m_bootupKnown)
            Request_ReadBootup = true;
        if (!m_badFrameBurst)
            qDebug() << "CCU frame with a bad checksum dropped:" << frame.toHex();
        m_badFrameBurst = true;
        return;
    }
    m_badFrameBurst = false;

    ReiceveData_content_HexAscii = frame.mid(1, frame.size() - 6);
    ReiceveData_content_Hex = HexAciiToHex_ByteArray(ReiceveData_content_HexAscii);

    // At least 12 characters of text, so the six header bytes are there.
    if (byteAt(ReiceveData_content_Hex, 0) != Ver || byteAt(ReiceveData_content_Hex, 1) != Adr
        || byteAt(ReiceveData_content_Hex, 2) != Cid1) {
        requestAnswered();
        return;
    }
    const uint lenid = FindLength(ReiceveData_content_Hex, 4);
    if (int(lenid) != ReiceveData_content_HexAscii.size() - 12) {
        requestAnswered();
        qDebug() << "Received data lenth wrong!!";
        return;
    }
    ReiceveData_Datainfo = ReiceveData_content_Hex.right(int(lenid / 2));
    const char rtn = ReiceveData_content_Hex.at(3);

    int order = 0;
    switch (attribute(ReiceveData_Datainfo.size(), rtn == 0, order)) {
    case Answers::Current:
        requestAnswered();
        m_lateBurst = false;
        break;
    case Answers::Late:
        // Decoded as the answer to the request it belongs to; the request
        // now on the line keeps waiting for its own.
        lineAlive();
        if (!m_lateBurst)
            qDebug() << "CCU answer came after its time-out";
        m_lateBurst = true;
        break;
    case Answers::Nothing:
        lineAlive();
        return;
    }

    if (rtn == 0) {
        decode(order);
    } else {
        emit signal_RTN(rtn);
        qDebug() << "command feed back RTN wrong,RTN=" << rtn;
    }
}

namespace {

// INFO lengths of the answers to each request, as far apart as they are:
// commands carry none, alarms 7 bytes, status 12, charging data 42, boot-up
// information 52. Used only to tell a late answer from the awaited one.
bool infoFits(int order, int bytes)
{
    switch (order) {
    case 1: return bytes >= 52;
    case 2: return bytes >= 12 && bytes < 42;
    case 3: return bytes >= 42 && bytes < 52;
    case 4: return bytes >= 7 && bytes < 12;
    default: return bytes < 7;
    }
}

} // namespace

// Which request a sound frame answers. While no request has timed out the
// frame answers the one on the line. Otherwise it may be the late answer of
// an earlier request: the CCU answers in order, so it is taken for the
// oldest of them whose answer length it fits, then for the one on the line;
// a frame that fits none of them is decoded as nothing.
RS232_CCU::Answers RS232_CCU::attribute(int infoBytes, bool rtnOk, int &order)
{
    const qint64 now = m_clock.elapsed();
    while (!m_lateRequests.isEmpty() && now - m_lateRequests.first().timedOutAt > LateAnswerWindowMs)
        m_lateRequests.removeFirst();
    if (m_lateRequests.isEmpty()) {
        order = m_inFlightOrder;
        return m_awaiting ? Answers::Current : Answers::Nothing;
    }
    // A refusal carries no INFO to tell it by.
    for (int i = 0; i < m_lateRequests.size(); ++i) {
        if (!rtnOk || infoFits(m_lateRequests.at(i).order, infoBytes)) {
            order = m_lateRequests.at(i).order;
            m_lateRequests.remove(0, i + 1);
            return Answers::Late;
        }
    }
    if (m_awaiting && infoFits(m_inFlightOrder, infoBytes)) {
        order = m_inFlightOrder;
        m_lateRequests.clear(); // answered in order: the older ones are not coming
        return Answers::Current;
    }
    return Answers::Nothing;
}

void RS232_CCU::decode(int order)
{
    switch (order) {
    case 1: decodeBootup(); break;
    case 2: decodeSystemStatus(); break;
    case 3: decodeChargingData(); break;
    case 4: decodeAlarms(); break;
    default: break; // a command's acknowledgement carries nothing
    }
}
