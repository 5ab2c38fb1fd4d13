#include "bridgesettings.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool readSeconds(const QJsonObject &o, const char *name, int minimum, int *out, QString *problem)
{
    const QJsonValue v = o.value(QLatin1String(name));
    if (v.isUndefined())
        return true;
    const double d = v.toDouble(-1);
    if (!v.isDouble() || d < minimum || d > 86400 || d != int(d)) {
        *problem = QStringLiteral("%1: a whole number of seconds from %2 is expected").arg(QLatin1String(name)).arg(minimum);
        return false;
    }
    *out = int(d);
    return true;
}

bool readText(const QJsonObject &o, const char *name, int maxLength, QString *out, QString *problem)
{
    const QJsonValue v = o.value(QLatin1String(name));
    if (v.isUndefined())
        return true;
    if (!v.isString() || (maxLength > 0 && v.toString().size() > maxLength)) {
        *problem = maxLength > 0 ? QStringLiteral("%1: text of at most %2 characters is expected")
                                       .arg(QLatin1String(name))
                                       .arg(maxLength)
                                 : QStringLiteral("%1: text is expected").arg(QLatin1String(name));
        return false;
    }
    *out = v.toString();
    return true;
}

bool parseUrl(const QString &text, QUrl *url, QString *problem)
{
    const QUrl u(text, QUrl::StrictMode);
    if (!u.isValid() || (u.scheme() != QLatin1String("ws") && u.scheme() != QLatin1String("wss")) ||
        u.host().isEmpty() || u.path().section(QLatin1Char('/'), -1).isEmpty()) {
        *problem = QStringLiteral("central system URL \"%1\": ws://HOST[:PORT]/PATH/CHARGEPOINTID or wss://... expected")
                       .arg(text);
        return false;
    }
    *url = u;
    return true;
}

bool parsePolicy(const QString &text, bool *accept, QString *problem)
{
    if (text.compare(QLatin1String("accept"), Qt::CaseInsensitive) == 0)
        *accept = true;
    else if (text.compare(QLatin1String("reject"), Qt::CaseInsensitive) == 0)
        *accept = false;
    else {
        *problem = QStringLiteral("offline authorization: \"Accept\" or \"Reject\" expected, not \"%1\"").arg(text);
        return false;
    }
    return true;
}

} // namespace

QString BridgeSettings::usage()
{
    return QStringLiteral(
        "Usage: ocpp-bridge [options]\n"
        "\n"
        "The charger's local OCPP client: takes the HMI's requests from the FIFO\n"
        "DATA_DIR/ocppout, sends them to a central system over OCPP 1.6J (WebSocket)\n"
        "and writes the answers and the central system's commands to DATA_DIR/ocppin.\n"
        "Settings come from DATA_DIR/bridge.json; the options below win over it.\n"
        "\n"
        "Options:\n"
        "  --data-dir DIR            data directory: FIFOs, configuration.json, the\n"
        "                            offline queue OcppQueue.json (HMI_DATA_DIR;\n"
        "                            default /home/root/Tarnel-LCD/)\n"
        "  --config FILE             settings file (default DATA_DIR/bridge.json)\n"
        "  --csms URL                central system, ws://HOST:PORT/PATH/CHARGEPOINTID or\n"
        "                            wss://...; the last path segment is the charge\n"
        "                            point's identity (bridge.json: centralSystemUrl)\n"
        "  --ca-file FILE            PEM file of the CA certificates that wss:// trusts\n"
        "                            instead of the system's (bridge.json: caFile)\n"
        "  --offline-authorize accept|reject\n"
        "                            answer to Authorize while the central system is\n"
        "                            unreachable (bridge.json: offlineAuthorize; default\n"
        "                            reject; tags in offlineIdTags are always accepted)\n"
        "  --reconnect-max SECONDS   longest pause between connection attempts\n"
        "                            (bridge.json: reconnectMaxSeconds; default 60)\n"
        "  -h, --help                this text\n"
        "\n"
        "bridge.json members (all optional but the URL):\n"
        "  centralSystemUrl, chargePointVendor (<= 20 characters), chargePointModel\n"
        "  (<= 20), chargePointSerialNumber (<= 25), firmwareVersion (<= 50),\n"
        "  authorizationKey (HTTP Basic password; security profile 1 over ws://,\n"
        "  2 over wss://), caFile, offlineAuthorize (\"Accept\"/\"Reject\"),\n"
        "  offlineIdTags (array), callTimeoutSeconds (30), hmiAnswerTimeoutSeconds (8),\n"
        "  pingIntervalSeconds (60; 0: no ping), reconnectMinSeconds (1),\n"
        "  reconnectMaxSeconds (60), heartbeatIntervalSeconds (300, until the central\n"
        "  system gives one).\n"
        "\n"
        "Runs until SIGTERM or SIGINT. Log categories: bridge.csms, bridge.hmi,\n"
        "bridge.queue (QT_LOGGING_RULES=\"bridge.*.debug=false\" hides the frames).\n");
}

bool BridgeSettings::load(const QStringList &arguments, QString *problem, bool *helpShown)
{
    *helpShown = false;
    const QByteArray envDir = qgetenv("HMI_DATA_DIR");
    if (!envDir.isEmpty())
        dataDir = QFile::decodeName(envDir);
    QString url, caOption, policyOption, reconnectOption;
    bool urlGiven = false, caGiven = false, policyGiven = false, reconnectGiven = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString a = arguments.at(i);
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            *helpShown = true;
            return false;
        }
        const bool takesValue = a == QLatin1String("--data-dir") || a == QLatin1String("--config") ||
                                a == QLatin1String("--csms") || a == QLatin1String("--ca-file") ||
                                a == QLatin1String("--offline-authorize") || a == QLatin1String("--reconnect-max");
        if (!takesValue) {
            *problem = QStringLiteral("unknown option %1 (see --help)").arg(a);
            return false;
        }
        if (i + 1 >= arguments.size()) {
            *problem = QStringLiteral("%1 needs a value").arg(a);
            return false;
        }
        const QString v = arguments.at(++i);
        if (a == QLatin1String("--data-dir"))
            dataDir = v;
        else if (a == QLatin1String("--config"))
            configFile = v;
        else if (a == QLatin1String("--csms"))
            url = v, urlGiven = true;
        else if (a == QLatin1String("--ca-file"))
            caOption = v, caGiven = true;
        else if (a == QLatin1String("--offline-authorize"))
            policyOption = v, policyGiven = true;
        else
            reconnectOption = v, reconnectGiven = true;
    }
    if (!dataDir.endsWith(QLatin1Char('/')))
        dataDir += QLatin1Char('/');
    const bool configNamed = !configFile.isEmpty();
    if (!configNamed)
        configFile = dataFile(QStringLiteral("bridge.json"));

    QJsonObject o;
    QFile file(configFile);
    if (file.exists() || configNamed) {
        QJsonParseError error;
        const QJsonDocument doc =
            file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll(), &error) : QJsonDocument();
        if (!doc.isObject()) {
            *problem = QStringLiteral("%1: not a readable JSON object").arg(configFile);
            return false;
        }
        o = doc.object();
    }
    QString text;
    if (!readText(o, "centralSystemUrl", 0, &text, problem) ||
        !readText(o, "chargePointVendor", 20, &chargePointVendor, problem) ||
        !readText(o, "chargePointModel", 20, &chargePointModel, problem) ||
        !readText(o, "chargePointSerialNumber", 25, &chargePointSerialNumber, problem) ||
        !readText(o, "firmwareVersion", 50, &firmwareVersion, problem) ||
        !readText(o, "authorizationKey", 0, &authorizationKey, problem) ||
        !readText(o, "caFile", 0, &caFile, problem) ||
        !readSeconds(o, "callTimeoutSeconds", 1, &callTimeoutSeconds, problem) ||
        !readSeconds(o, "hmiAnswerTimeoutSeconds", 1, &hmiAnswerTimeoutSeconds, problem) ||
        !readSeconds(o, "pingIntervalSeconds", 0, &pingIntervalSeconds, problem) ||
        !readSeconds(o, "reconnectMinSeconds", 1, &reconnectMinSeconds, problem) ||
        !readSeconds(o, "reconnectMaxSeconds", 1, &reconnectMaxSeconds, problem) ||
        !readSeconds(o, "heartbeatIntervalSeconds", 1, &heartbeatIntervalSeconds, problem))
        return false;
    if (!urlGiven)
        url = text;
    QString policy;
    if (!readText(o, "offlineAuthorize", 0, &policy, problem))
        return false;
    if (policyGiven)
        policy = policyOption;
    if (!policy.isEmpty() && !parsePolicy(policy, &offlineAuthorizeAccept, problem))
        return false;
    for (const QJsonValue &tag : o.value(QStringLiteral("offlineIdTags")).toArray())
        if (tag.isString())
            offlineIdTags << tag.toString();
    if (caGiven)
        caFile = caOption;
    if (reconnectGiven) {
        bool ok = false;
        reconnectMaxSeconds = reconnectOption.toInt(&ok);
        if (!ok || reconnectMaxSeconds < 1) {
            *problem = QStringLiteral("--reconnect-max: a whole number of seconds from 1 is expected");
            return false;
        }
    }
    reconnectMinSeconds = qMin(reconnectMinSeconds, reconnectMaxSeconds);
    if (url.isEmpty()) {
        *problem = QStringLiteral("no central system: give --csms URL or centralSystemUrl in %1").arg(configFile);
        return false;
    }
    if (!parseUrl(url, &centralSystemUrl, problem))
        return false;
    if (!caFile.isEmpty() && !QFile::exists(caFile)) {
        *problem = QStringLiteral("CA file %1 does not exist").arg(caFile);
        return false;
    }
    return true;
}
