#ifndef BRIDGE_P_H
#define BRIDGE_P_H

// What the two halves of the bridge (bridge.cpp: the HMI side,
// bridge_csms.cpp: the central system side) share: the texts and limits of
// the protocol and the logging categories.

#include <QJsonObject>
#include <QJsonValue>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcCsms)
Q_DECLARE_LOGGING_CATEGORY(lcHmi)
Q_DECLARE_LOGGING_CATEGORY(lcQueue)

namespace bridge_detail {

// What the HMI sends in every request and reads back in every answer.
inline const QString HmiKey = QStringLiteral("1");
inline const QString StartTransaction = QStringLiteral("StartTransaction");
inline const QString StopTransaction = QStringLiteral("StopTransaction");
inline const QString MeterValues = QStringLiteral("MeterValues");

// Answers to the HMI are of no use once it has moved on.
constexpr int AnswerTtlMs = 15000;
constexpr int BootRetryMs = 10000;
constexpr int DefaultAttempts = 3;
constexpr int DefaultRetrySeconds = 30;

inline QJsonObject statusPayload(const QString &status) { return {{QStringLiteral("status"), status}}; }

// A message key for the HMI: the central system's message id where the HMI
// reads it back intact.
inline bool isUsableKey(const QString &id)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9._:-]{1,36}$"));
    return id != QLatin1String("1") && plain.match(id).hasMatch();
}

// Checks a payload member; returns the CALLERROR code for a missing or
// wrong one, or an empty text.
inline QString checkMember(const QJsonObject &o, const char *name, QJsonValue::Type type, bool required)
{
    const QJsonValue v = o.value(QLatin1String(name));
    if (v.isUndefined())
        return required ? QStringLiteral("ProtocolError") : QString();
    if (v.type() != type)
        return QStringLiteral("TypeConstraintViolation");
    if (type == QJsonValue::Double && v.toDouble() != double(qint64(v.toDouble())))
        return QStringLiteral("TypeConstraintViolation");
    return QString();
}

} // namespace bridge_detail
using namespace bridge_detail;

#endif // BRIDGE_P_H
