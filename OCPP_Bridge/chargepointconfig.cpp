#include "chargepointconfig.h"

#include "logging.h"
#include "translation.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>

const QString ChargePointConfig::HeartbeatInterval = QStringLiteral("HeartbeatInterval");

namespace {

enum class Kind { Seconds, Count, Boolean, Measurands, Text };

// The keys the HMI reads, and what a value of each must look like.
Kind kindOf(const QString &key)
{
    if (key == QLatin1String("ConnectionTimeOut") || key == QLatin1String("MeterValueSampleInterval") ||
        key == QLatin1String("TransactionMessageRetryInterval") || key == ChargePointConfig::HeartbeatInterval)
        return Kind::Seconds;
    if (key == QLatin1String("TransactionMessageAttempts"))
        return Kind::Count;
    if (key == QLatin1String("StopTransactionOnInvalidId") || key == QLatin1String("StopTransactionOnEVSideDisconnect"))
        return Kind::Boolean;
    if (key == QLatin1String("MeterValuesSampledData"))
        return Kind::Measurands;
    return Kind::Text;
}

// One JSON value as it stands in a document.
QByteArray jsonText(const QJsonValue &v)
{
    return QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
}

bool isKnown(const QString &key) { return kindOf(key) != Kind::Text; }

// The value as the file should hold it, or a null string when it is none.
QString normalised(Kind kind, const QString &value)
{
    switch (kind) {
    case Kind::Seconds:
    case Kind::Count: {
        static const QRegularExpression whole(QStringLiteral("^[0-9]{1,7}$"));
        return whole.match(value).hasMatch() ? QString::number(value.toInt()) : QString();
    }
    case Kind::Boolean:
        if (value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("true");
        if (value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("false");
        return QString();
    case Kind::Measurands: {
        bool ok = false;
        const QString hmi = Translation::measurandsToHmi(value, &ok);
        return ok ? (hmi.isNull() ? QStringLiteral("") : hmi) : QString();
    }
    case Kind::Text:
        return value;
    }
    return QString();
}

QString textOf(const QJsonValue &v)
{
    if (v.isString())
        return v.toString();
    if (v.isDouble())
        return QString::number(v.toDouble(), 'g', 15);
    if (v.isBool())
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return QString();
}

} // namespace

ChargePointConfig::ChargePointConfig(const QString &path) : m_path(path) {}

bool ChargePointConfig::read(QJsonObject *root, QList<Key> *keys) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject())
        return false;
    *root = doc.object();
    for (const QJsonValue &v : root->value(QStringLiteral("configurationKey")).toArray()) {
        const QJsonObject o = v.toObject();
        const QString name = o.value(QStringLiteral("key")).toString();
        if (name.isEmpty())
            continue;
        Key k{name, o.value(QStringLiteral("readonly")).toBool(), textOf(o.value(QStringLiteral("value")))};
        bool replaced = false;
        for (Key &existing : *keys)
            if (existing.key == name) {
                existing = k; // the HMI keeps the last of a repeated key
                replaced = true;
            }
        if (!replaced)
            keys->append(k);
    }
    return true;
}

// The file's own layout: one key per line, so that a person comparing it
// with the shipped file sees only what changed.
bool ChargePointConfig::write(const QJsonObject &root, const QList<Key> &keys) const
{
    QByteArray text = "{\n";
    QStringList names = root.keys();
    if (!names.contains(QStringLiteral("configurationKey")))
        names.append(QStringLiteral("configurationKey"));
    for (int i = 0; i < names.size(); ++i) {
        const QString &name = names.at(i);
        text += "    " + jsonText(name) + ": ";
        if (name == QLatin1String("configurationKey")) {
            text += "[\n";
            for (int k = 0; k < keys.size(); ++k) {
                text += "        { \"key\": " + jsonText(keys.at(k).key) + ", \"readonly\": " +
                        (keys.at(k).readonly ? "true" : "false") + ", \"value\": " + jsonText(keys.at(k).value) +
                        (k + 1 < keys.size() ? " },\n" : " }\n");
            }
            text += "    ]";
        } else {
            const QJsonValue v = root.value(name);
            text += jsonText(v);
        }
        text += i + 1 < names.size() ? ",\n" : "\n";
    }
    text += "}\n";
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        qCCritical(lcQueue).noquote() << "cannot write" << m_path << ":" << file.errorString();
        return false;
    }
    return true;
}

QList<ChargePointConfig::Key> ChargePointConfig::get(const QStringList &wanted, int heartbeatSeconds,
                                                     QStringList *unknown) const
{
    QJsonObject root;
    QList<Key> all;
    read(&root, &all);
    for (Key &k : all)
        if (k.key == QLatin1String("MeterValuesSampledData"))
            k.value = Translation::measurandsToOcpp(k.value);
    QList<Key> withHeartbeat;
    for (const Key &k : all)
        if (k.key != HeartbeatInterval)
            withHeartbeat.append(k);
    withHeartbeat.append(Key{HeartbeatInterval, false, QString::number(heartbeatSeconds)});
    if (wanted.isEmpty())
        return withHeartbeat;
    QList<Key> out;
    for (const QString &name : wanted) {
        bool found = false;
        for (const Key &k : withHeartbeat)
            if (k.key == name) {
                out.append(k);
                found = true;
            }
        if (!found)
            unknown->append(name);
    }
    return out;
}

QString ChargePointConfig::change(const QString &key, const QString &value, int *heartbeatSeconds)
{
    QJsonObject root;
    QList<Key> keys;
    const bool readable = read(&root, &keys);
    int at = -1;
    for (int i = 0; i < keys.size(); ++i)
        if (keys.at(i).key == key)
            at = i;
    if (at < 0 && !isKnown(key))
        return QStringLiteral("NotSupported");
    if (at >= 0 && keys.at(at).readonly)
        return QStringLiteral("Rejected");
    const QString stored = normalised(kindOf(key), value);
    if (stored.isNull())
        return QStringLiteral("Rejected");
    if (!readable && QFile::exists(m_path)) {
        // Rewriting an unreadable file would throw away what a person may
        // still recover from it.
        qCWarning(lcQueue).noquote() << m_path << "is not readable JSON; not changed";
        return QStringLiteral("Rejected");
    }
    if (at >= 0)
        keys[at].value = stored;
    else
        keys.append(Key{key, false, stored});
    if (!write(root, keys))
        return QStringLiteral("Rejected");
    qCInfo(lcQueue).noquote() << "configuration" << key << "=" << stored;
    if (key == HeartbeatInterval) {
        *heartbeatSeconds = stored.toInt();
        return QStringLiteral("Accepted");
    }
    return QStringLiteral("RebootRequired");
}

QString ChargePointConfig::value(const QString &key) const
{
    QJsonObject root;
    QList<Key> keys;
    read(&root, &keys);
    for (const Key &k : keys)
        if (k.key == key)
            return k.value;
    return QString();
}
