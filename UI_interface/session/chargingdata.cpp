#include "chargingdata.h"

#include "ccu_records.h"
#include "datafiles.h"
#include "dc_meter_data.h"
#include "globalvariable.h"

#include <QDebug>

#include <cmath>

namespace {
// The registers count up to this value and then start again from 0.
constexpr double RegisterWrap = 999999.9;

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// Rounds to the nearest integer, halves upward (2.5 -> 3, -2.5 -> -2).
int roundHalfUp(double value)
{
    return int(std::floor(value + 0.5));
}

} // namespace

double ChargingData::sessionRegister()
{
    return Config_DC_Meter ? double(dc_meter_data[1].Powerquantity) : gun_status[1].f_energy_LcdCal;
}

void ChargingData::update()
{
    Status &gun = gun_status[1];

    // 1. Electrical values.
    if (errorinfo.Err_Sys_RS232) {
        gun.soc = 0;
        gun.Charging_phase = 1;
        gun.f_voltage = 0;
        gun.f_current = 0;
    } else if (!DebugMode) {
        gun.soc = charginfo.SOC_Current;
        gun.f_voltage = charginfo.DC_Voltage_Out;
        gun.f_current = charginfo.DC_Current_Out;
        gun.Charging_phase = charginfo.Charging_phase;
    }

    // 2. Elapsed time.
    if (++int_chargedtime_s >= 60) {
        int_chargedtime_s = 0;
        ++gun.int_chargedtime;
    }

    // 3. Energy of this second.
    double step = 0;
    if (!DebugMode) {
        step = double(gun.f_voltage) * double(gun.f_current) / 1000.0 / 3600.0;
    } else if (!Stop_command_set_1 && !Debug_EVSideDisconnect) {
        struct Row
        {
            quint16 phase;
            float volts, amps;
            quint16 soc;
        };
        static const Row profile[] = {
            {3, 370, 60, 70}, {3, 370, 60, 75}, {3, 375, 60, 80}, {3, 380, 55, 85}, {3, 390, 30, 90}, {3, 400, 20, 95},
        };
        const int m = gun.int_chargedtime;
        if (m == 0 && int_chargedtime_s <= 9) {
            gun.Charging_phase = 1;
            gun.soc = 70;
            step = double(gun.f_voltage) * double(gun.f_current) / 3600000.0;
        } else if (m >= 0 && m <= 5) {
            const Row &r = profile[m];
            gun.Charging_phase = r.phase;
            gun.f_voltage = r.volts;
            gun.f_current = r.amps;
            gun.soc = r.soc;
            step = double(r.volts) * double(r.amps) / 3600000.0;
        } else {
            gun.Charging_phase = 6;
            gun.f_voltage = 0;
            gun.f_current = 0;
            gun.soc = 95;
            step = 0;
        }
    } else {
        gun.Charging_phase = 6;
        step = double(gun.f_voltage) * double(gun.f_current) / 1000.0 / 3600.0;
    }

    // 4. The HMI's own register.
    const double sum = gun.f_energy_LcdCal + step;
    gun.f_energy_LcdCal = sum >= RegisterWrap ? 0.0 : sum;

    // 5. Session energy, across a wrap of the register.
    const double reg = sessionRegister();
    gun.f_energy = reg;
    const double start = gun.f_startmeter;
    gun.f_chargedkWh = float(reg >= start ? reg - start : reg + RegisterWrap - start);
    if (Config_DC_Meter)
        f_chargedkWh_meter = gun.f_chargedkWh;

    // 6. Cost.
    gun.f_chargedMoney = f_price * gun.f_chargedkWh;

    // 7. To go and remaining time.
    if (gun.charge_style == 1) {
        gun.f_togokWh = 0;
        gun.str_togokWh = "--";
        const quint32 togo = charginfo.Time_Full_Togo;
        if (togo == 0 || togo == 65535) {
            gun.int_remaintime = 0;
            gun.str_remaintime = "--";
        } else {
            gun.int_remaintime = qint32(togo);
            gun.str_remaintime = QString::number(togo);
        }
    } else if (gun.charge_style == 2) {
        gun.f_togokWh = gun.f_CusSetkWh - gun.f_chargedkWh;
        gun.str_togokWh = fixed(gun.f_togokWh, 1);
        const double power = double(gun.f_voltage) * double(gun.f_current);
        if (power < 500) {
            gun.int_remaintime = 0;
            gun.str_remaintime = "--";
        } else {
            gun.int_remaintime = roundHalfUp(double(gun.f_togokWh) * 60000.0 / power);
            gun.str_remaintime = QString::number(gun.int_remaintime);
        }
    }

    // 8. Log every sixth update.
    if (++int_chargedtime_log > 5) {
        qDebug().noquote() << str_datetime + ":";
        qDebug() << "Charging,Voltage(V) = " << gun.f_voltage;
        qDebug() << "Charging,Current(A) = " << gun.f_current;
        qDebug() << "Charging,Remain time(min) = " << gun.int_remaintime;
        qDebug() << "Charging,charged(kwh) = " << gun.f_chargedkWh;
        int_chargedtime_log = 0;
    }

    // 9. Display texts.
    Charging_phase = gun.Charging_phase;
    publishDisplayTexts();
}

void ChargingData::publishDisplayTexts()
{
    const Status &gun = gun_status[1];
    str_togokWh = gun.str_togokWh;
    str_remaintime = gun.str_remaintime;
    str_chargedkWh = fixed(gun.f_chargedkWh, 1);
    str_chargedtime = fixed(gun.int_chargedtime, 0);
    str_chargedMoney = fixed(gun.f_chargedMoney, 1);
    str_chargeVoltage = fixed(gun.f_voltage, 0);
    str_chargeCurrent = fixed(gun.f_current, 0);
    str_soc = fixed(gun.soc, 0);
    int_soc = gun.soc;
}

void ChargingData::beginSession()
{
    timer_SendMeterValue_1.start(int(Config.MeterValueSampleInterval));
    gun_status[1].f_startmeter = sessionRegister();
}

void ChargingData::clearLiveFigures()
{
    Status &gun = gun_status[1];
    gun.str_togokWh = "0";
    gun.str_remaintime = "0";
    gun.f_voltage = 0;
    gun.f_current = 0;
    publishDisplayTexts();
}

void ChargingData::closeRegister()
{
    timer_SendMeterValue_1.stop();
    gun_status[1].f_stopmeter = sessionRegister();
    saveRegister();
}

void ChargingData::saveRegister()
{
    writeEnergyRegister(gun_status[1].f_energy_LcdCal);
}
