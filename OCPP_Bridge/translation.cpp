#include "translation.h"

#include <QJsonArray>
#include <QRegularExpression>

#include <cmath>

namespace Translation {

namespace {

// The HMI's failure phrase makes it send a message again; no answer from
// the bridge may carry it by accident.
const QString HmiFailurePhrase = QStringLiteral("failure to process the message");

struct Measurand
{
    const char *hmi;
    const char *ocpp;
    const char *unit; // OCPP unit of the translated value
};

// The HMI reports the energy register as "Power.Active.Export" in kWh and
// the charging current as "Current.Export", both seen from the charger; the
// central system counts them from the car's side.
const Measurand Measurands[] = {
    {"Power.Active.Export", "Energy.Active.Import.Register", "Wh"},
    {"Voltage", "Voltage", "V"},
    {"Current.Export", "Current.Import", "A"},
    {"SoC", "SoC", "Percent"},
};

const Measurand *measurandByHmiName(const QString &name)
{
    for (const Measurand &m : Measurands)
        if (name == QLatin1String(m.hmi))
            return &m;
    return nullptr;
}

const QStringList &statuses()
{
    static const QStringList list = {"Available", "Preparing", "Charging", "SuspendedEVSE", "SuspendedEV",
                                     "Finishing", "Reserved", "Unavailable", "Faulted"};
    return list;
}

const QStringList &errorCodes()
{
    static const QStringList list = {
        "ConnectorLockFailure", "EVCommunicationError", "GroundFailure", "HighTemperature", "InternalError",
        "LocalListConflict", "NoError", "OtherError", "OverCurrentFailure", "PowerMeterFailure",
        "PowerSwitchFailure", "ReaderFailure", "ResetFailure", "UnderVoltage", "OverVoltage", "WeakSignal"};
    return list;
}

const QStringList &authorizationStatuses()
{
    static const QStringList list = {"Accepted", "Blocked", "Expired", "Invalid", "ConcurrentTx"};
    return list;
}

// A JSON number that is a whole number within [minimum, 2^31).
bool wholeNumber(const QJsonValue &value, qint64 minimum, qint64 *out)
{
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    if (!std::isfinite(d) || d != std::trunc(d) || d < double(minimum) || d > 2147483647.0)
        return false;
    *out = qint64(d);
    return true;
}

Outcome failed(const QString &problem)
{
    Outcome o;
    o.problem = problem;
    return o;
}

Outcome succeeded(const QJsonObject &payload)
{
    Outcome o;
    o.ok = true;
    o.payload = payload;
    return o;
}

bool isNumberText(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]{1,12}(\\.[0-9]{1,6})?$"));
    return number.match(text).hasMatch();
}

} // namespace

qint64 kWhTextToWh(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^([0-9]{1,9})(?:\\.([0-9]{1,6}))?$"));
    const QRegularExpressionMatch m = decimal.match(text);
    if (!m.hasMatch())
        return -1;
    QString fraction = m.captured(2);
    // Wh keep three decimals of the kWh; a fourth rounds.
    fraction = (fraction + QStringLiteral("0000")).left(4);
    qint64 wh = m.captured(1).toLongLong() * 1000 + fraction.left(3).toLongLong();
    if (fraction.at(3) >= QLatin1Char('5'))
        ++wh;
    return wh;
}

qint64 refinedWh(qint64 wholeKWh, qint64 lastWh)
{
    const qint64 base = wholeKWh * 1000;
    if (lastWh >= base && lastWh < base + 1000)
        return lastWh;
    return base;
}

QString timestamp(const QJsonValue &value, const QDateTime &now)
{
    static const QRegularExpression form(
        QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}(\\.[0-9]{1,3})?Z$"));
    const QString text = value.toString();
    if (form.match(text).hasMatch() && QDateTime::fromString(text, Qt::ISODate).isValid())
        return text;
    return now.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
}

bool isSafeForHmi(const QString &text)
{
    for (const QChar c : text)
        if (c == QLatin1Char('"') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return !text.contains(HmiFailurePhrase);
}

bool isDeliverableIdTag(const QString &idTag)
{
    return !idTag.isEmpty() && idTag.size() <= 20 && isSafeForHmi(idTag);
}

Outcome authorize(const QJsonObject &hmi)
{
    const QString idTag = hmi.value(QStringLiteral("idTag")).toString();
    if (!isDeliverableIdTag(idTag))
        return failed(QStringLiteral("idTag missing, longer than 20 characters or not plain text"));
    return succeeded({{QStringLiteral("idTag"), idTag}});
}

Outcome startTransaction(const QJsonObject &hmi, qint64 lastEnergyWh, const QDateTime &now)
{
    qint64 connector = 0;
    qint64 meterStart = 0;
    if (!wholeNumber(hmi.value(QStringLiteral("connectorId")), 0, &connector))
        return failed(QStringLiteral("connectorId is not a connector number"));
    const QString idTag = hmi.value(QStringLiteral("idTag")).toString();
    if (!isDeliverableIdTag(idTag))
        return failed(QStringLiteral("idTag missing, longer than 20 characters or not plain text"));
    if (!wholeNumber(hmi.value(QStringLiteral("meterStart")), 0, &meterStart))
        return failed(QStringLiteral("meterStart is not a register reading"));
    QJsonObject out;
    out.insert(QStringLiteral("connectorId"), connector);
    out.insert(QStringLiteral("idTag"), idTag);
    out.insert(QStringLiteral("meterStart"), refinedWh(meterStart, lastEnergyWh));
    qint64 reservation = 0;
    // The HMI writes 0 for "no reservation".
    if (wholeNumber(hmi.value(QStringLiteral("reservationId")), -2147483647, &reservation) && reservation != 0)
        out.insert(QStringLiteral("reservationId"), reservation);
    out.insert(QStringLiteral("timestamp"), timestamp(hmi.value(QStringLiteral("timestamp")), now));
    return succeeded(out);
}

Outcome stopTransaction(const QJsonObject &hmi, qint64 lastEnergyWh, const QDateTime &now)
{
    qint64 meterStop = 0;
    qint64 transaction = 0;
    if (!wholeNumber(hmi.value(QStringLiteral("meterStop")), 0, &meterStop))
        return failed(QStringLiteral("meterStop is not a register reading"));
    if (!wholeNumber(hmi.value(QStringLiteral("transactionId")), -2147483647, &transaction))
        return failed(QStringLiteral("transactionId is not a number"));
    QJsonObject out;
    out.insert(QStringLiteral("meterStop"), refinedWh(meterStop, lastEnergyWh));
    const QString reason = hmi.value(QStringLiteral("reason")).toString();
    if (stopReasons().contains(reason))
        out.insert(QStringLiteral("reason"), reason);
    else if (!reason.isEmpty())
        out.insert(QStringLiteral("reason"), QStringLiteral("Other"));
    out.insert(QStringLiteral("timestamp"), timestamp(hmi.value(QStringLiteral("timestamp")), now));
    out.insert(QStringLiteral("transactionId"), transaction);
    return succeeded(out);
}

bool sampledValue(const QJsonObject &hmi, QJsonObject *ocpp)
{
    const Measurand *m = measurandByHmiName(hmi.value(QStringLiteral("measurand")).toString());
    const QString value = hmi.value(QStringLiteral("value")).toString();
    if (!m || !isNumberText(value))
        return false;
    QJsonObject out;
    out.insert(QStringLiteral("context"), QStringLiteral("Sample.Periodic"));
    out.insert(QStringLiteral("format"), QStringLiteral("Raw"));
    out.insert(QStringLiteral("measurand"), QLatin1String(m->ocpp));
    out.insert(QStringLiteral("unit"), QLatin1String(m->unit));
    if (qstrcmp(m->unit, "Wh") == 0) {
        const qint64 wh = kWhTextToWh(value);
        if (wh < 0)
            return false;
        out.insert(QStringLiteral("value"), QString::number(wh));
    } else {
        out.insert(QStringLiteral("value"), value);
    }
    if (qstrcmp(m->ocpp, "SoC") == 0)
        out.insert(QStringLiteral("location"), QStringLiteral("EV"));
    *ocpp = out;
    return true;
}

Outcome meterValues(const QJsonObject &hmi, const QDateTime &now, qint64 *energyWh)
{
    if (energyWh)
        *energyWh = -1;
    qint64 connector = 0;
    if (!wholeNumber(hmi.value(QStringLiteral("connectorId")), 0, &connector))
        return failed(QStringLiteral("connectorId is not a connector number"));
    QJsonArray meterValue;
    for (const QJsonValue &entry : hmi.value(QStringLiteral("meterValue")).toArray()) {
        QJsonArray samples;
        for (const QJsonValue &sample : entry.toObject().value(QStringLiteral("sampledValue")).toArray()) {
            QJsonObject ocpp;
            if (!sampledValue(sample.toObject(), &ocpp))
                continue;
            if (energyWh && ocpp.value(QStringLiteral("unit")).toString() == QLatin1String("Wh"))
                *energyWh = ocpp.value(QStringLiteral("value")).toString().toLongLong();
            samples.append(ocpp);
        }
        if (samples.isEmpty())
            continue;
        meterValue.append(QJsonObject{
            {QStringLiteral("sampledValue"), samples},
            {QStringLiteral("timestamp"), timestamp(entry.toObject().value(QStringLiteral("timestamp")), now)}});
    }
    if (meterValue.isEmpty())
        return failed(QStringLiteral("no measurand a central system takes"));
    QJsonObject out;
    out.insert(QStringLiteral("connectorId"), connector);
    out.insert(QStringLiteral("meterValue"), meterValue);
    qint64 transaction = 0;
    if (wholeNumber(hmi.value(QStringLiteral("transactionId")), -2147483647, &transaction))
        out.insert(QStringLiteral("transactionId"), transaction);
    return succeeded(out);
}

Outcome statusNotification(const QJsonObject &hmi, const QDateTime &now)
{
    qint64 connector = 0;
    if (!wholeNumber(hmi.value(QStringLiteral("connectorId")), 0, &connector))
        return failed(QStringLiteral("connectorId is not a connector number"));
    const QString status = hmi.value(QStringLiteral("status")).toString();
    if (!statuses().contains(status))
        return failed(QStringLiteral("status \"%1\" is no connector status").arg(status));
    const QString error = hmi.value(QStringLiteral("errorCode")).toString();
    QJsonObject out;
    out.insert(QStringLiteral("connectorId"), connector);
    out.insert(QStringLiteral("errorCode"), errorCodes().contains(error) ? error : QStringLiteral("OtherError"));
    out.insert(QStringLiteral("status"), status);
    out.insert(QStringLiteral("timestamp"), timestamp(QJsonValue(), now));
    return succeeded(out);
}

QString measurandsToOcpp(const QString &hmiList)
{
    QStringList out;
    for (const QString &part : hmiList.split(QLatin1Char(','))) {
        const Measurand *m = measurandByHmiName(part);
        out << (m ? QString::fromLatin1(m->ocpp) : part);
    }
    return out.join(QLatin1Char(','));
}

QString measurandsToHmi(const QString &ocppList, bool *ok)
{
    *ok = true;
    if (ocppList.trimmed().isEmpty())
        return QString();
    QStringList out;
    for (const QString &part : ocppList.split(QLatin1Char(','))) {
        const QString name = part.trimmed();
        const Measurand *found = nullptr;
        for (const Measurand &m : Measurands)
            if (name == QLatin1String(m.ocpp))
                found = &m;
        if (!found) {
            *ok = false;
            return QString();
        }
        out << QString::fromLatin1(found->hmi);
    }
    return out.join(QLatin1Char(','));
}

QJsonObject hmiIdTagAnswer(const QJsonObject &ocpp)
{
    if (!ocpp.value(QStringLiteral("idTagInfo")).isObject())
        return QJsonObject();
    const QJsonObject info = ocpp.value(QStringLiteral("idTagInfo")).toObject();
    const QString status = info.value(QStringLiteral("status")).toString();
    QJsonObject out;
    out.insert(QStringLiteral("status"), authorizationStatuses().contains(status) ? status : QStringLiteral("Invalid"));
    const QString expiry = info.value(QStringLiteral("expiryDate")).toString();
    if (!expiry.isEmpty() && isSafeForHmi(expiry))
        out.insert(QStringLiteral("expiryDate"), expiry);
    return {{QStringLiteral("idTagInfo"), out}};
}

QJsonObject hmiStartAnswer(const QJsonObject &ocpp, qint64 hmiTransactionId)
{
    QJsonObject out = hmiIdTagAnswer(ocpp);
    if (out.isEmpty())
        out.insert(QStringLiteral("idTagInfo"), QJsonObject{{QStringLiteral("status"), QStringLiteral("Invalid")}});
    out.insert(QStringLiteral("transactionId"), hmiTransactionId);
    return out;
}

QJsonObject localAuthorizeAnswer(bool accepted)
{
    return {{QStringLiteral("idTagInfo"),
             QJsonObject{{QStringLiteral("status"), accepted ? QStringLiteral("Accepted") : QStringLiteral("Invalid")}}}};
}

QJsonObject localStartAnswer(qint64 hmiTransactionId)
{
    return {{QStringLiteral("idTagInfo"), QJsonObject{{QStringLiteral("status"), QStringLiteral("Accepted")}}},
            {QStringLiteral("transactionId"), hmiTransactionId}};
}

const QStringList &stopReasons()
{
    static const QStringList list = {"EmergencyStop", "EVDisconnected", "HardReset", "Local", "Other", "PowerLoss",
                                     "Reboot", "Remote", "SoftReset", "UnlockCommand", "DeAuthorized"};
    return list;
}

} // namespace Translation
