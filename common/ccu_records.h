#ifndef CCU_RECORDS_H
#define CCU_RECORDS_H

// What the CCU last reported. The CCU worker writes these records on its own
// thread; the GUI thread reads single fields once per second.

#include "sharedvalue.h"

struct SysStatus
{
    Shared<quint32> Temperature{0}; // 0.1 degC
    SharedText TemperatureStr;
    Shared<quint16> Sys_available_sta{0};
    Shared<quint16> Sys_available_sta_old{0};
    Shared<bool> Sys_available_sta_change{false};
    Shared<quint16> Gun1_available_sta{0};
    Shared<quint16> Gun1_available_sta_old{0};
    Shared<bool> Gun1_available_sta_change{false};
    Shared<quint16> Gun1_plugged_sta{0};
    Shared<quint16> Gun1_plugged_sta_old{0};
    Shared<bool> Gun1_plugged_sta_change{false};
    SharedText Sys_time;
};

struct ErrorInfo
{
    Shared<bool> Err_Sys_RS232{false}; // link to the CCU lost
    Shared<bool> Err_Sys_DoorOpen{false};
    Shared<bool> Err_Sys_EPO{false};
    Shared<bool> Err_Sys_SPD{false};
    Shared<bool> Err_Sys_Rectifier{false};
    Shared<bool> Err_Sys_TemperatureOver{false};
    Shared<bool> Err_Sys_Fan{false};
    Shared<bool> Err_Sys_others{false};
    Shared<bool> Err_Sys_PowerSupply{false};
    Shared<bool> Err_Sys_Rectifier_Com{false};
    Shared<bool> Err_Gun1_ISO{false};
    Shared<bool> Err_Gun1_Elock{false};
    Shared<bool> Err_Gun1_TemperatureOver{false};
    Shared<bool> Err_Gun1_Rectifier{false};
    Shared<bool> Err_Gun1_others{false};
    Shared<bool> Err_Gun1_Rectifier_Com{false};
    Shared<bool> Err_Gun1_ISO_Com{false};
    Shared<bool> Err_Gun1_Output_ShortCircuit{false};
    Shared<bool> Err_Gun1_PLC_Com{false};
};

struct BootupInfo
{
    SharedText ControllerBar;
    SharedText ControllerMAC;
    Shared<quint16> AvailableGunNum{0};
    Shared<quint32> ACGunPower{0};
    Shared<quint16> EPO_Vol_Level{0};
    Shared<bool> DoorOpen_pro_enble{false};
    Shared<bool> SPD_pro_enable{false};
    Shared<quint16> E_lock_Type{0};
    Shared<bool> Gun1_SelfCheck_enable{false};
    Shared<bool> Gun2_SelfCheck_enable{false};
    Shared<bool> Gun3_SelfCheck_enable{false};
    Shared<bool> Gun4_SelfCheck_enable{false};
    Shared<quint32> Max_DC_Voltage{0}; // 0.1 V
    Shared<bool> PowerLimit_enable{false};
    SharedText CCU_FW_Ver;
    Shared<quint16> CCU_Adr{0};
    Shared<quint16> ChargeMergingMode{0};
    Shared<quint16> Fan_Speed{0};
};

struct ChargInfo
{
    Shared<quint16> Charging_phase{0};
    Shared<float> DC_Voltage_Out{0};
    Shared<float> DC_Current_Out{0};
    Shared<quint16> BMS_Protocol_Type{0};
    Shared<quint16> SOC_Current{0};
    Shared<quint16> SOC_Full{0};
    Shared<quint16> SOC_Bulk{0};
    Shared<float> DC_Voltage_Request{0};
    Shared<float> DC_Current_Request{0};
    Shared<quint32> Time_Full_Togo{0};
    Shared<quint32> Time_Bulk_Togo{0};
    Shared<quint32> BMS_Voltage_Limit{0};
    Shared<quint32> BMS_Current_Limit{0};
    Shared<qint16> BMS_Temperature_Limit{0};
    Shared<qint16> BMS_Temperature_Max{0};
    Shared<quint32> BMS_Voltage_Max{0};
    Shared<quint16> Stop_Reason{0};
    Shared<quint16> Code_diagnostic{0};
};

struct SetPara
{
    Shared<quint16> CCU_Adr{0};
    SharedText Sync_RTC;
    Shared<float> AC_Gun_Power{0};
    Shared<quint32> Alarm_Mask{0};
    Shared<float> EVSE_Max_Voltage{0};
    Shared<bool> Power_Limit_Enable{false};
    Shared<quint16> Fan_Speed{0};
};

extern SysStatus systemstatus;
extern ErrorInfo errorinfo;
extern BootupInfo bootupinfo;
extern ChargInfo charginfo;
extern SetPara setpara;

#endif // CCU_RECORDS_H
