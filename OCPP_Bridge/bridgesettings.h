#ifndef OCPP_BRIDGE_BRIDGESETTINGS_H
#define OCPP_BRIDGE_BRIDGESETTINGS_H

// What the bridge is told: bridge.json in the data directory, and the
// command line over it.

#include <QString>
#include <QStringList>
#include <QUrl>

struct BridgeSettings
{
    QString dataDir = QStringLiteral("/home/root/Tarnel-LCD/");
    QString configFile; // default: dataDir + "bridge.json"
    QUrl centralSystemUrl;

    // BootNotification
    QString chargePointVendor = QStringLiteral("Tarnel");
    QString chargePointModel = QStringLiteral("DC Fast Charger");
    QString chargePointSerialNumber;
    QString firmwareVersion;

    // Security profiles 1 and 2
    QString authorizationKey; // HTTP Basic password; the user is the charge point's identity
    QString caFile;

    // Offline
    bool offlineAuthorizeAccept = false;
    QStringList offlineIdTags;

    int callTimeoutSeconds = 30;
    int hmiAnswerTimeoutSeconds = 8;
    int pingIntervalSeconds = 60;
    int reconnectMinSeconds = 1;
    int reconnectMaxSeconds = 60;
    int heartbeatIntervalSeconds = 300; // until the central system gives one

    // Reads the command line and the file it names (or the default one).
    // False with a message in *problem for an option or file that cannot be
    // used; *helpShown when --help was asked for.
    bool load(const QStringList &arguments, QString *problem, bool *helpShown);

    QString dataFile(const QString &name) const { return dataDir + name; }

    static QString usage();
};

#endif // OCPP_BRIDGE_BRIDGESETTINGS_H
