#ifndef RS232_CCU_FRAME_H
#define RS232_CCU_FRAME_H

// Frame constants and byte helpers shared by the pieces of RS232_CCU (codec,
// line handling, decoding, commands). Private to this folder.

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <cstring>

namespace ccu_frame {

constexpr quint8 Ver = 0x21;
constexpr quint8 Adr = 0x01;
constexpr quint8 Cid1 = 0x50;
constexpr int ShortestFrame = 18;

inline quint8 byteAt(const QByteArray &b, int i) { return quint8(b.at(i)); }

inline quint16 bigEndian16(const QByteArray &b, int i)
{
    return quint16((byteAt(b, i) << 8) | byteAt(b, i + 1));
}

inline float littleEndianFloat(const QByteArray &b, int i)
{
    const quint32 raw = qFromLittleEndian<quint32>(b.constData() + i);
    float value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

inline QByteArray floatBytes(float value)
{
    quint32 raw;
    std::memcpy(&raw, &value, sizeof raw);
    QByteArray out(4, '\0');
    qToLittleEndian<quint32>(raw, out.data());
    return out;
}

inline QString hexText(const QByteArray &b, int from, int count)
{
    return QString::fromLatin1(b.mid(from, count).toHex());
}

inline bool bit(quint8 value, int n) { return (value >> n) & 1; }

} // namespace ccu_frame

#endif // RS232_CCU_FRAME_H
