#include "stopreason.h"

const QStringList StopReason = {
    "0NA",
    "1Para Config Failed",
    "2Charge Enabling Timeout",
    "3Contact Voltage Abnormal",
    "4Conractor Locking Failed",
    "5-Upper Controller Request Stop",
    "6EV Request Stop",
    "7Insulation Abnormal Detect",
    "8Insulation Abnormal Timeout",
    "9EV Contact Acted Abnormal",
    "10EV Request Current Timeout",
    "11Remain Time Over",
    "12Reserved",
    "13Ring Failed Alarm",
    "14(BMS)Over Voltage",
    "15(BMS)Under Voltage",
    "16(BMS)Current Deviation Error",
    "17(BMS)Hign Temperture",
    "18(BMS)Voltage Deviation Error",
    "19(BMS)Contactor Locking Failed",
    "20EV Shift position",
    "21EV Communication Failed",
    "22Upper Controller Com Failed",
    "23Contactor Plugged Timeout",
    "24Precharge Failed",
    "25Door Open Alarm",
    "26EPO Alarm",
    "27SPD Alarm",
    "28All Recitifier Fail Alarm",
    "29Mains Fail Alarm",
    "30Recitifier Com Failed",
    "31E-Lock Failed",
    "32Gun1 Over Temperature",
    "33Output Short Circuit Alarm",
    "34PWM Failed",
    "35-Communicate with CCU Failed",
};

QString stopReasonText(int code)
{
    if (code >= 0 && code < StopReason.size())
        return StopReason.at(code);
    return QString::number(code) + QStringLiteral("Unknown Stop Reason");
}
