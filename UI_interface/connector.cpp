#include "connector.h"

#include "ccu_records.h"
#include "cloud_wr.h"
#include "globalvariable.h"

#include <QDateTime>

const QStringList objname = {
    QStringLiteral("AmbientTemperature"), QStringLiteral("ChargeStopReason"), QStringLiteral("GunPlugedStatus"),
    QStringLiteral("GunStatus"),          QStringLiteral("OutputCurrent"),    QStringLiteral("OutputVoltage"),
    QStringLiteral("SOC"),                QStringLiteral("SystemStatus"),     QStringLiteral("TimeStamp"),
};

QStringList Connector::statusValues()
{
    // With the CCU link lost its last report is stale: the gun is shown idle
    // and the system as faulted, whatever was last received.
    const bool linkLost = errorinfo.Err_Sys_RS232;

    QString plugged;
    switch (systemstatus.Gun1_plugged_sta) {
    case 0: plugged = tr("unplugged"); break;
    case 1: plugged = tr("plugged"); break;
    default: break;
    }

    if (linkLost) {
        str_gun1sta = tr("Idle");
    } else {
        switch (systemstatus.Gun1_available_sta) {
        case 0: str_gun1sta = tr("Idle"); break;
        case 1: str_gun1sta = tr("Charging"); break;
        case 2: str_gun1sta = tr("Fault"); break;
        case 3: str_gun1sta = tr("Not Installed"); break;
        default: break; // unknown code: keep what was published last
        }
    }

    if (linkLost) {
        str_systa = tr("Fault");
    } else {
        switch (systemstatus.Sys_available_sta) {
        case 0: str_systa = tr("Normal"); break;
        case 1: str_systa = tr("Avaible(but with alarm)"); break;
        case 2: str_systa = tr("Fault"); break;
        case 3: str_systa = tr("FW updating"); break;
        default: break;
        }
    }

    return {
        systemstatus.TemperatureStr.text(),
        Str_ChargeStopReason,
        plugged,
        str_gun1sta,
        str_chargeCurrent + "A",
        str_chargeVoltage + "V",
        str_soc + "%",
        str_systa,
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
    };
}

bool Connector::writeIfDue(qint64 nowMs)
{
    QStringList values = statusValues();
    const QString stamp = values.takeLast();
    if (m_written && values == m_lastValues && nowMs - m_lastWriteMs < AliveIntervalMs)
        return false;
    // A missing or broken template is tried again at the same cadence, so
    // its log line does not repeat every 5 s either.
    m_written = true;
    m_lastWriteMs = nowMs;
    m_lastValues = values;
    values << stamp;
    Cloud_WR writer;
    writer.JsonWrite(objname, values);
    return true;
}

void Connector::Json_Write()
{
    writeIfDue(m_clock.elapsed());
}
