#include "datafiles.h"

#include "globalvariable.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>

#include <cmath>

static const char EnergyFileName[] = "EnergyMeter_Lcd.json";
static const char EnergyMember[] = "EnergyMeter_LCD";

QJsonObject readJsonFile(const QString &path, bool *ok, QJsonParseError::ParseError *error)
{
    if (ok)
        *ok = false;
    if (error)
        *error = QJsonParseError::NoError;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QJsonObject();
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    file.close();
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = parseError.error;
        return QJsonObject();
    }
    if (!doc.isObject()) {
        if (error)
            *error = QJsonParseError::MissingObject;
        return QJsonObject();
    }
    if (ok)
        *ok = true;
    return doc.object();
}

bool writeJsonFile(const QString &path, const QJsonObject &object, QFileDevice::Permissions permissions)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    // Set on the temporary file, before any content, and kept by the rename.
    if (permissions && !file.setPermissions(permissions)) {
        file.cancelWriting();
        return false;
    }
    file.write(QJsonDocument(object).toJson(QJsonDocument::Indented));
    return file.commit();
}

QString configText(const QString &key)
{
    const QJsonValue value = ConfigObj.value(key);
    return value.isString() ? value.toString() : QString();
}

float readEnergyRegister()
{
    const QString path = dataFile(EnergyFileName);
    if (!QFile::exists(path))
        return 0;
    bool parsed = false;
    const QJsonObject root = readJsonFile(path, &parsed);
    bool ok = false;
    const float value = root.value(EnergyMember).toString().toFloat(&ok);
    if (parsed && ok && std::isfinite(value) && value >= 0)
        return value;
    // The next save would overwrite the only trace of the register: keep the
    // damaged file beside it for the service technician.
    const QString aside = path + ".corrupt";
    QFile::remove(aside);
    QFile::copy(path, aside);
    qWarning() << "energy register file unreadable, kept as" << aside << "- register starts at 0";
    return 0;
}

bool writeEnergyRegister(float kWh)
{
    QJsonObject root;
    root.insert(EnergyMember, QString::number(double(kWh), 'f', 1));
    return writeJsonFile(dataFile(EnergyFileName), root);
}

bool writeStatusNotificationFile()
{
    QJsonObject root;
    root.insert("connectorId", 1);
    root.insert("errorCode", gun_status[1].errorcode);
    root.insert("status", gun_status[1].status);
    return writeJsonFile(dataFile("StatusNotification.json"), root);
}
