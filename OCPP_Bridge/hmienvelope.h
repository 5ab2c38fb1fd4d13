#ifndef OCPP_BRIDGE_HMIENVELOPE_H
#define OCPP_BRIDGE_HMIENVELOPE_H

// The HMI's message form on both FIFOs: key "=" action "=" JSON object.
// The HMI writes its JSON indented, so its messages end with a closing
// brace on a line of its own.

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace HmiEnvelope {

struct Message
{
    bool ok = false;
    QString key;
    QString action;
    QJsonObject payload;
    QString problem; // why it is not a message, for the log
};

Message parse(const QByteArray &text);

// One message for the HMI. The key must not contain "=".
QByteArray build(const QString &key, const QString &action, const QJsonObject &payload);

// Everything read in one open-close of "ocppout", taken apart into the
// messages in it: each ends after a line that is a closing brace alone
// (the end of the HMI's indented object); blank lines between are dropped.
QList<QByteArray> split(const QByteArray &chunk);

} // namespace HmiEnvelope

#endif // OCPP_BRIDGE_HMIENVELOPE_H
