// RS232_CCU: the frame codec (ASCII hex, LENGTH, CHKSUM) and frame assembly.
#include "rs232_ccu.h"
#include "logcategories.h"

#include "rs232_ccu_frame.h"

#include <QDebug>

using namespace ccu_frame;

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
        qCInfo(lcCcu) << "Checked data lenth wrong!!";
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
