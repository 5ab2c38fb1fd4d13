#ifndef OCPP_BRIDGE_TRANSLATION_H
#define OCPP_BRIDGE_TRANSLATION_H

// The two dialects the bridge stands between. The HMI counts energy in kWh
// (whole kWh in Start/StopTransaction, 0.1 kWh in MeterValues), names its
// energy register "Power.Active.Export" and marks what it cannot measure
// "NotSupported"; a central system expects OCPP 1.6 payloads that pass the
// standard's schemas. Everything here is a pure function of its arguments.

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace Translation {

// Outcome of translating one HMI request.
struct Outcome
{
    bool ok = false;
    QJsonObject payload; // the OCPP payload when ok
    QString problem;     // why not, for the log
};

// Energy register text in kWh ("1234.5") to whole Wh; -1 when the text is
// not a non-negative decimal number.
qint64 kWhTextToWh(const QString &text);

// The finest start or stop reading the bridge can give: the HMI's whole kWh
// in Wh, raised to the latest 0.1 kWh register reading it sent in MeterValues
// when that reading lies within the same kWh (the register only grows, so it
// is a closer lower bound). lastWh < 0: no reading known.
qint64 refinedWh(qint64 wholeKWh, qint64 lastWh);

// OCPP timestamp of the HMI's text, or of `now` when the text is not one.
QString timestamp(const QJsonValue &value, const QDateTime &now);

// An idTag the central system accepts (at most 20 characters) that also
// survives the HMI's reading (no quote, backslash or control character).
bool isDeliverableIdTag(const QString &idTag);

// Text the HMI reads back intact: it drops every backslash before parsing,
// and a quote or control character would come back escaped.
bool isSafeForHmi(const QString &text);

Outcome authorize(const QJsonObject &hmi);
Outcome startTransaction(const QJsonObject &hmi, qint64 lastEnergyWh, const QDateTime &now);
Outcome stopTransaction(const QJsonObject &hmi, qint64 lastEnergyWh, const QDateTime &now);
// energyWh receives the register reading the message carries, or -1.
Outcome meterValues(const QJsonObject &hmi, const QDateTime &now, qint64 *energyWh = nullptr);
Outcome statusNotification(const QJsonObject &hmi, const QDateTime &now);

// One "sampledValue" entry of the HMI in OCPP form; false for an entry that
// is dropped ("NotSupported", an unknown measurand, a value that is no number).
bool sampledValue(const QJsonObject &hmi, QJsonObject *ocpp);

// MeterValuesSampledData between the two namings: the HMI's list in the
// names the central system knows, and back. ok is false for a measurand the
// HMI cannot deliver.
QString measurandsToOcpp(const QString &hmiList);
QString measurandsToHmi(const QString &ocppList, bool *ok);

// Answers for the HMI, built from a central system's CALLRESULT. Only the
// members the HMI reads are passed, and only text it reads back intact.
QJsonObject hmiIdTagAnswer(const QJsonObject &ocpp);                  // Authorize, StopTransaction
QJsonObject hmiStartAnswer(const QJsonObject &ocpp, qint64 hmiTransactionId);
// Answers the bridge gives itself when the central system cannot.
QJsonObject localAuthorizeAnswer(bool accepted);
QJsonObject localStartAnswer(qint64 hmiTransactionId);

// The stop reasons OCPP 1.6 knows; anything else the HMI sends goes as "Other".
const QStringList &stopReasons();

} // namespace Translation

#endif // OCPP_BRIDGE_TRANSLATION_H
