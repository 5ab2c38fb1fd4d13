#ifndef OCPP_BRIDGE_CHARGEPOINTCONFIG_H
#define OCPP_BRIDGE_CHARGEPOINTCONFIG_H

// The HMI's configuration.json as the central system sees it through
// GetConfiguration and ChangeConfiguration. The file keeps its form (an
// array "configurationKey" of {key, readonly, value} with text values) and
// is rewritten whole and atomically. The HMI reads it only when it starts,
// so a change of its keys answers "RebootRequired"; HeartbeatInterval is the
// bridge's own and takes effect at once.

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

class ChargePointConfig
{
public:
    struct Key
    {
        QString key;
        bool readonly = false;
        QString value;
    };

    explicit ChargePointConfig(const QString &path);

    // Every key of the file, then HeartbeatInterval (with the bridge's
    // current interval); only the asked ones when `wanted` is not empty,
    // the others named in `unknown`.
    QList<Key> get(const QStringList &wanted, int heartbeatSeconds, QStringList *unknown) const;

    // "Accepted", "Rejected", "RebootRequired" or "NotSupported". A changed
    // HeartbeatInterval is returned in *heartbeatSeconds.
    QString change(const QString &key, const QString &value, int *heartbeatSeconds);

    // A key's text, read from the file at the moment of use ("" if absent).
    QString value(const QString &key) const;

    static const QString HeartbeatInterval;

private:
    bool read(QJsonObject *root, QList<Key> *keys) const;
    bool write(const QJsonObject &root, const QList<Key> &keys) const;

    QString m_path;
};

#endif // OCPP_BRIDGE_CHARGEPOINTCONFIG_H
