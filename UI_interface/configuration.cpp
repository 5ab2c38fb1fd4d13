#include "configuration.h"

#include "globalvariable.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cmath>

static const char EnergyFileName[] = "EnergyMeter_Lcd.json";
static const char EnergyMember[] = "EnergyMeter_LCD";

QJsonObject readJsonFile(const QString &path, bool *ok)
{
    if (ok)
        *ok = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QJsonObject();
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    file.close();
    if (!doc.isObject())
        return QJsonObject();
    if (ok)
        *ok = true;
    return doc.object();
}

bool writeJsonFile(const QString &path, const QJsonObject &object)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(QJsonDocument(object).toJson(QJsonDocument::Indented));
    return file.commit();
}

QString configText(const QString &key)
{
    const QJsonValue value = ConfigObj.value(key);
    return value.isString() ? value.toString() : QString();
}

// Seconds as text to milliseconds, raised to the interval's minimum.
static quint32 intervalMs(const QString &key, quint32 minimumMs)
{
    bool ok = false;
    const qlonglong seconds = configText(key).toLongLong(&ok, 10);
    const qlonglong ms = ok ? seconds * 1000 : 0;
    if (ms < qlonglong(minimumMs)) {
        qDebug() << "configuration" << key << "missing or too small, using" << minimumMs / 1000 << "s";
        return minimumMs;
    }
    return ms > 0xFFFFFFFFLL ? 0xFFFFFFFFu : quint32(ms);
}

void ReadConfigration()
{
    const QJsonObject root = readJsonFile(dataFile("configuration.json"));
    const QJsonArray keys = root.value("configurationKey").toArray();
    qDebug() << "configration file has keys =" << keys.size();
    for (const QJsonValue &element : keys) {
        const QJsonObject pair = element.toObject();
        ConfigObj.insert(pair.value("key").toString(), pair.value("value"));
    }
    Config.ConnectionTimeOut = intervalMs("ConnectionTimeOut", MinConnectionTimeOutMs);
    Config.MeterValueSampleInterval = intervalMs("MeterValueSampleInterval", MinMeterValueSampleIntervalMs);
    Config.TransactionMessageRetryInterval =
        intervalMs("TransactionMessageRetryInterval", MinTransactionMessageRetryIntervalMs);
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

void VariableInit()
{
    Status &gun = gun_status[1];
    if (!coldboot) {
        ReadConfigration();
        gun.status = sta_Unavailable;
        gun.gun_plugin = false;
        gun.errorcode = err_NoError;
        writeStatusNotificationFile();
        gun.f_energy_LcdCal = readEnergyRegister();
    }

    gun.charge_style = 0;
    gun.page = page_home;
    gun.IDtag.clear();
    gun.IDtag_stop.clear();
    gun.Charging_phase = 1;
    gun.startRequest = 0;
    gun.soc = 0;
    gun.f_voltage = 0;
    gun.f_current = 0;
    gun.f_startmeter = 0;
    gun.f_chargedkWh = 0;
    gun.f_chargedMoney = 0;
    gun.f_togokWh = 0;
    gun.str_togokWh = "--";
    gun.int_remaintime = 0;
    gun.int_chargedtime = 0;
    gun.str_remaintime = "--";
    gun.f_CusSetkWh = 0;
    gun.f_CusSetAmount = 0;

    coldboot = true;
    Start_command_set_1 = false;
    Stop_command_set_1 = false;
    SystemResetReq = 0;
}
