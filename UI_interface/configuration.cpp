#include "configuration.h"

#include "datafiles.h"
#include "globalvariable.h"

#include <QDebug>
#include <QJsonArray>

#include <algorithm>

// Seconds as text to milliseconds. Only a value that gives no usable
// interval (missing, not a number, zero or less) takes the fallback; a
// value beyond a day is held to a day.
static quint32 intervalMs(const QString &key, quint32 fallbackMs)
{
    const QString text = configText(key);
    bool ok = false;
    const qlonglong seconds = text.toLongLong(&ok, 10);
    const bool overlong = !ok && !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    if (overlong || (ok && seconds > qlonglong(MaxIntervalMs / 1000))) {
        qDebug() << "configuration" << key << "too large, using" << MaxIntervalMs / 1000 << "s";
        return MaxIntervalMs;
    }
    if (!ok || seconds <= 0) {
        qDebug() << "configuration" << key << "missing or unusable, using" << fallbackMs / 1000 << "s";
        return fallbackMs;
    }
    return quint32(seconds * 1000);
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
    Config.IdleReturnTimeout = intervalMs("IdleReturnTimeout", DefaultIdleReturnMs);
    Config.CompletionIdleReturnTimeout = intervalMs("CompletionIdleReturnTimeout", DefaultCompletionIdleReturnMs);
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
